#pragma once
// The Output dialog's texts and the placement they stand for.
#include "plot/PrintSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace vemo {

// The number a text starts with: leading blanks are skipped and the longest leading part that
// forms a decimal number is read ("2.5in" gives 2.5, " 3" gives 3). Only the first 255
// characters count. Nothing when the text does not start with a finite number.
std::optional<double> LeadingNumber(std::string_view text);

// A size in general format: up to 15 significant digits, no trailing zeros (7 shows as "7").
std::string InchesText(double inches);

// The Output dialog's OK: each text that starts with a number replaces its value, in the order
// width, height, left, top; the others leave theirs. The colour choice is always taken.
void ReadPlacement(PrintSettings& settings, std::string_view width, std::string_view height,
                   std::string_view left, std::string_view top, bool colour);

} // namespace vemo
