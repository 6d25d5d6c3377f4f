#pragma once
// The texts of the Graph Scale dialog: how a range limit is shown in its edit and how an
// edit's text is read back.
#include <string>
#include <string_view>

namespace vemo {

constexpr std::size_t ScaleEditLength = 39;

// General floating format with up to 15 significant digits: 20.0 shows as "20", 0.5 as "0.5".
std::string FormatRangeValue(double v);

// Reads a decimal number from the start of text (at most ScaleEditLength characters): leading
// blanks are skipped and the longest leading part that forms a number is used, so "12abc"
// gives 12. False, with value untouched, when the text does not start with a finite number.
bool ParseLeadingNumber(std::string_view text, double& value);

} // namespace vemo
