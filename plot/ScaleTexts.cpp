#include "plot/ScaleTexts.h"

#include "data/TextNumbers.h"

namespace vemo {

std::string FormatRangeValue(double v) {
    return FormatNumber(v);
}

bool ParseLeadingNumber(std::string_view text, double& value) {
    const std::optional<double> v = LeadingNumber(text, ScaleEditLength);
    if (!v) return false;
    value = *v;
    return true;
}

} // namespace vemo
