#pragma once
// The Output dialog's texts and the placement they stand for.
#include "data/TextNumbers.h"
#include "plot/PrintSettings.h"

#include <string>
#include <string_view>

namespace vemo {

// A size in FormatNumber's general format: up to 15 significant digits, no trailing zeros (7
// shows as "7").
std::string InchesText(double inches);

// The Output dialog's OK: each text that starts with a number (LeadingNumber, of the first 255
// characters) replaces its value, in the order
// width, height, left, top; the others leave theirs. The colour choice is always taken.
void ReadPlacement(PrintSettings& settings, std::string_view width, std::string_view height,
                   std::string_view left, std::string_view top, bool colour);

} // namespace vemo
