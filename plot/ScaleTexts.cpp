#include "plot/ScaleTexts.h"

#include "data/TextNumbers.h"

#include <QString>

namespace vemo {

std::string FormatRangeValue(double v) {
    // Qt's formatting ignores the process locale, so the decimal point is always a point.
    return QString::asprintf("%.15g", v).toStdString();
}

bool ParseLeadingNumber(std::string_view text, double& value) {
    const std::optional<double> v = LeadingNumber(text, ScaleEditLength);
    if (!v) return false;
    value = *v;
    return true;
}

} // namespace vemo
