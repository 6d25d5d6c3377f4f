#pragma once
// The altitude units the module records in: their codes, names and labels, and how many
// meters each is. Every data set knows the unit of its altitudes (Signal::Unit).
#include <array>
#include <string>
#include <string_view>

namespace vemo {

// The module's unit codes. UnitNone is the start-up placeholder's: a ramp of no unit.
enum { UnitNone = -1, UnitFeet = 0, UnitYards = 1, UnitMeters = 2 };

// Altitude unit names, indexed by the module's unit code, as the Configure page lists them.
inline constexpr std::array<const char*, 3> UnitNames = {"Feet", "Yards", "Meters"};

inline bool IsUnit(int unit) {
    return unit >= UnitFeet && unit <= UnitMeters;
}

// "feet", "yards", "meters": the unit as summaries and messages name it; "units" for none.
std::string_view UnitWord(int unit);

// The altitude axis label of a unit, as a download sets it: "Altitude (feet)", "Altitude
// (yards)", "Altitude (meters)"; empty for a code that is no unit.
std::string AltitudeAxisLabel(int unit);

// The text in a label's last parentheses ("Feet" of "Altitude (Feet)"); empty when it has none.
std::string_view ParenthesisedText(std::string_view label);

// The unit an altitude label names: the text in its last parentheses ("Altitude (Meters)",
// "Höhe (m)", "Altitude AGL (ft)"), else a unit word anywhere in it. UnitNone when it names
// none ("Height").
int UnitOfLabel(std::string_view label);

// Meters in one unit (1 for a code that is no unit).
double MetersPerUnit(int unit);

} // namespace vemo
