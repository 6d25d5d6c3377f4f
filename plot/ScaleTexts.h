#pragma once
// The texts of the Graph Scale dialog: how a range limit is shown in its edit and how an
// edit's text is read back.
#include <string>
#include <string_view>

namespace vemo {

constexpr std::size_t ScaleEditLength = 39;

// FormatNumber's general format with up to 15 significant digits: 20.0 shows as "20", 0.5 as
// "0.5".
std::string FormatRangeValue(double v);

// The number the first ScaleEditLength characters of text start with (LeadingNumber), so
// "12abc" gives 12. False, with value untouched, when they do not start with a finite number.
bool ParseLeadingNumber(std::string_view text, double& value);

} // namespace vemo
