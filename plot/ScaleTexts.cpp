#include "plot/ScaleTexts.h"

#include <QString>

#include <charconv>
#include <cmath>

namespace vemo {

std::string FormatRangeValue(double v) {
    // Qt's formatting ignores the process locale, so the decimal point is always a point.
    return QString::asprintf("%.15g", v).toStdString();
}

bool ParseLeadingNumber(std::string_view text, double& value) {
    text = text.substr(0, ScaleEditLength);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t mantissa = i;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i - from;
    };
    std::size_t count = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        count += digits();
    }
    if (count == 0) return false;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() > 0) end = i; // an exponent without digits is not part of the number
    }
    // from_chars takes no leading '+' and ignores the locale.
    std::string number(text.substr(mantissa, end - mantissa));
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (ec != std::errc() || ptr != number.data() + number.size() || !std::isfinite(v))
        return false;
    value = text[start] == '-' ? -v : v;
    return true;
}

} // namespace vemo
