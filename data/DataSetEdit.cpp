#include "data/DataSetEdit.h"

#include "data/DataFile.h"
#include "data/SetUnits.h"
#include "data/Text.h"
#include "data/TextNumbers.h"

#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

// "%lf": six decimals.
std::string FormatLf(double v) {
    return FormatNumber(v, 'f', 6);
}

bool ReadLf(const std::string& text, double& v) {
    const std::optional<double> read = LeadingNumber(text);
    if (read) v = *read;
    return read.has_value();
}

// Index of the lowest reading in [from, to), the first on ties; -1 when no reading is below
// the search's start value.
int LowestIn(const SampleStore& a, int from, int to) {
    double lowest = 99999.0;
    int index = -1;
    for (int i = from; i < to; ++i) {
        const double v = a.Alt[static_cast<std::size_t>(i)];
        if (v < lowest) {
            lowest = v;
            index = i;
        }
    }
    return index;
}

// The altitude of the last sample within 0.001 s of time; false when no sample is that near.
bool AltitudeAt(const SampleStore& a, bool ascending, double time, double& alt) {
    const auto matches = [&](std::size_t l) { return std::fabs(a.Time[l] - time) <= 0.001; };
    if (!ascending) {
        bool found = false;
        for (std::size_t l = 0; l < a.Time.size(); ++l)
            if (matches(l)) {
                alt = a.Alt[l];
                found = true;
            }
        return found;
    }
    // Times ascend: the matches are one run; walk back from just past its end.
    auto it = std::upper_bound(a.Time.begin(), a.Time.end(), time + 0.002);
    for (auto l = static_cast<std::size_t>(it - a.Time.begin()); l-- > 0;) {
        if (a.Time[l] < time - 0.002) break;
        if (matches(l)) {
            alt = a.Alt[l];
            return true;
        }
    }
    return false;
}

} // namespace

SetProperties ReadSetProperties(const PlotDocument& doc, int k) {
    SetProperties p;
    const Signal* alt = doc.AltSignal(k);
    if (!alt) return p;
    const Signal* trig = alt->TriggerSignal;
    p.Name = alt->Name;
    p.LineColor = alt->LineColor;
    p.PointColor = alt->PointColor;
    p.TrigColor = trig->PointColor;
    p.LineStyle = alt->LineStyle;
    p.PointStyle = alt->PointStyle;
    p.TrigStyle = trig->PointStyle;
    p.TimeOffset = FormatLf(alt->TimeOffset);
    p.AltOffset = FormatLf(alt->AltOffset);
    p.TimeScale = FormatLf(alt->TimeScale);
    p.AltScale = FormatLf(alt->AltScale);
    p.Note1 = alt->Note1;
    p.Note2 = alt->Note2;
    p.Note3 = alt->Note3;
    return p;
}

void ApplySetProperties(PlotDocument& doc, int k, const SetProperties& p) {
    Signal* alt = doc.AltSignal(k);
    if (!alt) return;
    Signal* trig = alt->TriggerSignal;
    alt->LineColor = p.LineColor;
    alt->PointColor = p.PointColor;
    trig->PointColor = p.TrigColor;
    alt->LineStyle = p.LineStyle;
    alt->PointStyle = p.PointStyle;
    trig->PointStyle = p.TrigStyle;

    double dt = 0.0, da = 0.0;
    if (!ReadLf(p.TimeOffset, dt)) dt = 0.0;
    if (!ReadLf(p.AltOffset, da)) da = 0.0;
    double scale = 0.0;
    if (ReadLf(p.TimeScale, scale)) alt->TimeScale = scale;
    if (ReadLf(p.AltScale, scale)) alt->AltScale = scale;

    // A shift that is not a finite number would wipe the data out; it is no shift.
    if (std::isfinite(dt) && std::fabs(dt) > OffsetThreshold) {
        alt->Samples.ShiftTimes(dt);
        trig->Samples.ShiftTimes(dt);
    }
    if (std::isfinite(da) && std::fabs(da) > OffsetThreshold) {
        alt->Samples.ShiftAlts(da);
        trig->Samples.ShiftAlts(da);
    }

    alt->Name = CutText(p.Name, NameLength);
    alt->Note1 = CutText(p.Note1, TextLength);
    alt->Note2 = CutText(p.Note2, TextLength);
    alt->Note3 = CutText(p.Note3, TextLength);
    doc.RenameInLists(k, alt->Name);
}

bool FixDrift(PlotDocument& doc, int k) {
    Signal* alt = doc.AltSignal(k);
    if (!alt) return false;
    SampleStore& a = alt->Samples;
    const int n = a.Count();
    const int s = LowestIn(a, 0, n / 10);
    const int e = LowestIn(a, static_cast<int>(0.9 * n), n);
    if (s < 0 || e < 0 || e <= s) return false;
    const auto at = [&](int i) { return a.Alt[static_cast<std::size_t>(i)]; };

    const double slope = (at(e) - at(s)) / (e - s);
    for (int i = s; i <= e; ++i)
        a.SetAlt(i, at(i) - (i - s) * slope);
    for (int i = 0; i < s; ++i)
        a.SetAlt(i, at(s));
    for (int i = e; i < n; ++i)
        a.SetAlt(i, at(e));

    const bool ascending = std::is_sorted(a.Time.begin(), a.Time.end());
    SampleStore& t = alt->TriggerSignal->Samples;
    for (std::size_t j = 0; j < t.Time.size(); ++j) {
        double corrected = 0.0;
        if (AltitudeAt(a, ascending, t.Time[j], corrected))
            t.SetAlt(static_cast<int>(j), corrected);
    }

    double highest = -99999.0;
    for (double v : a.Alt)
        highest = std::max(highest, v);
    const auto pos = doc.Info3.find("max=");
    if (pos != std::string::npos) {
        std::string info = doc.Info3.substr(0, pos) + "max=";
        AppendG(info, highest);
        doc.Info3 = CutText(info, TextLength);
    }
    return true;
}

std::string PhotoListText(const PlotDocument& doc, int k) {
    std::string out;
    for (const std::string& text :
         {doc.Title, doc.XAxisLabel, SetAxisLabel(doc, k), doc.Info1, doc.Info2, doc.Info3})
        AppendTextLine(out, text);
    out += "# pic    time   altitude\r\n";
    const Signal* trig = doc.TrigSignal(k);
    if (!trig) return out;
    // Right edges under the header's columns: "%5d %7.2f %10.2f".
    for (int j = 0; j < trig->Samples.Count(); ++j) {
        const auto uj = static_cast<std::size_t>(j);
        std::string number;
        AppendInt(number, j + 1);
        if (number.size() < 5) out.append(5 - number.size(), ' ');
        out += number;
        out += ' ';
        AppendFixed(out, trig->Samples.Time[uj], 7, 2);
        out += ' ';
        AppendFixed(out, trig->Samples.Alt[uj], 10, 2);
        out += "\r\n";
    }
    return out;
}

bool ExportPhotoList(const PlotDocument& doc, int k, const QString& path, QString* error) {
    return WriteFileAtomically(path, PhotoListText(doc, k), error);
}

} // namespace vemo
