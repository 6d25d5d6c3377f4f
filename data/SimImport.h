#pragma once
// A flight simulator's CSV export, read as one more data set so that a simulation can be
// plotted beside the recorded flight. An export is known by its structure, whatever the
// language it was written in:
// - comment lines beginning with "#" (or "%"); the first one names the design;
// - a column header comment naming at least two columns with their units in parentheses, the
//   first a time ("# Time (s),Altitude (m),..." or "# Zeit (s);Höhe (m);...");
// - event comments naming an event in capitals and its time ("# Event APOGEE occurred at
//   t=27.782 seconds");
// - data lines of numbers separated as the header is: comma, semicolon, tab or spaces. Where
//   the separator is not a comma, a decimal comma is read as a point. "NaN" may stand for a
//   number.
// A byte-order mark before the first line is passed over. The altitude is the column named
// "Altitude", else the first whose unit is a length. Time becomes seconds and altitude the
// unit asked for; names in UTF-8 become the program's 8-bit text. Each event marks the sample
// nearest to it as a trigger; events on one sample make one mark, and events outside the
// samples' time range make none (the notes list every event).
#include "data/PlotDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace vemo {

struct SimEvent {
    std::string Name;
    double Time = 0.0; // seconds
};

struct Simulation {
    std::string Title; // the first comment line
    std::vector<double> Time, Alt;
    std::vector<SimEvent> Events;
    int Rows = 0;    // data rows in the file
    int Skipped = 0; // rows without a number for time or altitude, or earlier than the row before
    int Cut = 0;     // rows after the first MaxSamples kept ones
};

// True when the comment lines before the first data line hold a column header (and the text
// is not the program's own set file, whose notes may read like one).
bool IsSimulationExport(std::string_view text);

// Reads an export, converting altitudes to unit. On failure returns false with the reason in
// error, in 8-bit text ("the column header names no altitude column", ...).
bool ReadSimulation(std::string_view text, int unit, Simulation& sim, std::string& error);

// Appends the simulation as a new data set in unit (it becomes the active set): the name is
// the first comment line cut to 19 characters; the notes say it is a simulation from source
// (a file name in 8-bit text), how many samples it has, and list its events.
Signal* AddSimulationSet(PlotDocument& doc, const Simulation& sim, int unit,
                         std::string_view source);

// What the user is told after an import: rows skipped, rows cut. Empty when every row was
// kept.
std::string ImportNotice(const Simulation& sim);

} // namespace vemo
