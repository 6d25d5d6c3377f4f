#pragma once
// The altitude units the module records in.
#include <array>

namespace vemo {

// Altitude unit names, indexed by the module's unit code.
inline constexpr std::array<const char*, 3> UnitNames = {"Feet", "Yards", "Meters"};

} // namespace vemo
