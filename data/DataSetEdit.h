#pragma once
// Editing one data set: the values the Data Properties dialog shows and applies, the pressure
// drift correction and the list of triggers for matching photos to altitudes.
#include "data/PlotDocument.h"

#include <QString>

#include <string>

namespace vemo {

// What the Data Properties dialog shows for one data set. The offsets and scales are texts
// as the edits hold them.
struct SetProperties {
    std::string Name;
    Colour LineColor = 0;
    Colour PointColor = 0;
    Colour TrigColor = 0;
    int LineStyle = LineSolid;
    int PointStyle = PointNone;
    int TrigStyle = PointTriangle;
    std::string TimeOffset, AltOffset; // "%lf" of the set's offsets, normally 0.000000
    std::string TimeScale, AltScale;   // "%lf" of the set's scales
    std::string Note1, Note2, Note3;

    bool operator==(const SetProperties&) const = default;
};

// Offsets of this magnitude or less are ignored.
constexpr double OffsetThreshold = 0.00001;

// The dialog's contents for data set k; defaults for an index out of range.
SetProperties ReadSetProperties(const PlotDocument& doc, int k);

// Stores p into data set k. The offsets are added to the samples and the trigger entries
// themselves (the set's TimeOffset and AltOffset stay as they were); a text that does not
// convert shifts nothing. Name and notes are cut to their fields, and both name lists show the
// new name. Does nothing for an index out of range.
void ApplySetProperties(PlotDocument& doc, int k, const SetProperties& p);

// Removes a linear pressure drift: the lowest reading of the first tenth and of the last
// tenth become equal, the samples before the first and from the second on are flat at that
// value, triggers take the corrected altitude of their sample and a "max=" in the plot's Info3
// names the new maximum. Returns false, changing nothing, for a set of fewer than 10 samples
// or without a usable reading in either tenth.
bool FixDrift(PlotDocument& doc, int k);

// The photo list of data set k: the plot's six texts, the column header and one row per
// trigger numbered from 1, with its time and altitude.
std::string PhotoListText(const PlotDocument& doc, int k);
bool ExportPhotoList(const PlotDocument& doc, int k, const QString& path, QString* error);

} // namespace vemo
