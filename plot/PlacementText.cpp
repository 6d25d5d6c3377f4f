#include "plot/PlacementText.h"

#include "data/Text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vemo {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> LeadingNumber(std::string_view text) {
    text = text.substr(0, std::min(text.size(), TextLength));
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    // from_chars takes a minus sign only, so a plus sign is stepped over.
    if (i < text.size() && text[i] == '+' && !(i + 1 < text.size() && text[i + 1] == '-')) ++i;
    const std::size_t start = i;
    if (i < text.size() && text[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    double value = 0.0;
    const auto r =
        std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string InchesText(double inches) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", inches);
    return buf;
}

void ReadPlacement(PrintSettings& s, std::string_view width, std::string_view height,
                   std::string_view left, std::string_view top, bool colour) {
    if (auto v = LeadingNumber(width)) s.PrtWidth = *v;
    if (auto v = LeadingNumber(height)) s.PrtHeight = *v;
    if (auto v = LeadingNumber(left)) s.PrtLeft = *v;
    if (auto v = LeadingNumber(top)) s.PrtTop = *v;
    s.PrtColor = colour;
}

} // namespace vemo
