#pragma once
// A flight simulator's CSV export, read as one more data set so that a simulation can be
// plotted beside the recorded flight. Such an export holds:
// - comment lines beginning with "#"; the first one names the design;
// - a column header comment such as "# Time (s),Altitude (m),Vertical velocity (m/s),...";
// - event comments such as "# Event APOGEE occurred at t=27.782 seconds";
// - data lines of numbers separated as the header is (comma, semicolon or tab), "NaN"
//   included.
// Time becomes seconds and altitude the unit asked for; names in UTF-8 become the program's
// 8-bit text. Each event marks the sample nearest
// to it as a trigger; events on one sample make one mark, and events outside the samples'
// time range make none (the notes list every event).
#include "data/PlotDocument.h"

#include <QString>

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

// The module's unit codes: 0 feet, 1 yards, 2 meters.
enum { UnitFeet = 0, UnitYards = 1, UnitMeters = 2 };

// True when the comment lines before the first data line hold a column header whose first
// column is a time with its unit ("Time (s)") and which names at least one more column.
bool IsSimulationExport(std::string_view text);

// Reads an export, converting altitudes to unit. On failure returns false with the reason in
// error ("the column header names no altitude column", ...).
bool ReadSimulation(std::string_view text, int unit, Simulation& sim, std::string& error);

// Appends the simulation as a new data set (it becomes the active set): the name is the first
// comment line cut to 19 characters; the notes say it is a simulation from source (a file
// name), how many samples it has, and list its events.
Signal* AddSimulationSet(PlotDocument& doc, const Simulation& sim, std::string_view source);

// What the user is told after an import: rows skipped, rows cut. Empty when every row was
// kept.
std::string ImportNotice(const Simulation& sim);

// The unit code an altitude axis label names ("Altitude (Meters)"), feet when it names none.
int UnitOfAxisLabel(std::string_view label);

// "Load" of a simulation export already read into text: adds one data set in the unit of the
// plot's altitude label. On failure returns false with "<path>: <reason>" in *error; a notice
// about skipped or cut rows goes to *notice.
bool LoadSimulationText(PlotDocument& doc, std::string_view text, const QString& path,
                        QString* error, QString* notice);

} // namespace vemo
