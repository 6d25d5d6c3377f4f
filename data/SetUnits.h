#pragma once
// One plot, one unit. Each data set knows the unit of its altitudes; the sets of a plot are all
// in the plot's unit, which its altitude label names. A set of another unit that joins a plot
// already holding sets is converted into the plot's unit; a plot that holds no set with a unit
// (only the start-up placeholder, or nothing) takes the unit of the first set that joins.
#include "data/PlotDocument.h"

#include <string>
#include <string_view>

namespace vemo {

// The unit of the first of sets 0..count-1 that has one; UnitNone when none has.
int UnitOfSets(const PlotDocument& doc, int count);
// The plot's unit: that of its sets, else the one its altitude label names, else feet. What
// an import is read in.
int PlotUnit(const PlotDocument& doc);

// What joining did: the unit a converted set was recorded in (UnitNone when none was
// converted) and the plot's unit.
struct JoinedSets {
    int From = UnitNone;
    int To = UnitNone;
    bool Converted() const { return From != UnitNone; }
};

// Brings the sets from index first on, just added, into the plot's unit: a set without a unit
// takes it, a set of another unit is converted. When the plot takes a new unit and its label
// names another, the label becomes `label` (the file's own, when it names that unit) or
// "Altitude (<unit>)".
JoinedSets JoinSets(PlotDocument& doc, int first, std::string_view label = {});

// What the user is told after the name of what was converted: "was recorded in meters;
// converted to feet like the other sets."
std::string ConvertedSentence(const JoinedSets& joined);

// The altitude label set k is written under (line 3 of its set block): the plot's label when it
// names the set's unit or the set has none, else "Altitude (<unit>)".
std::string SetAxisLabel(const PlotDocument& doc, int k);
// The unit word of set k's summary: its unit, or the plot's for a set without one.
std::string_view SetUnitWord(const PlotDocument& doc, int k);

} // namespace vemo
