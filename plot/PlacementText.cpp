#include "plot/PlacementText.h"

namespace vemo {

std::string InchesText(double inches) {
    return FormatNumber(inches);
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
