#include "data/DataFile.h"

#include "data/SetUnits.h"
#include "data/TextNumbers.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

constexpr std::string_view Eol = "\r\n";

// "#TimeMin,AltMin,TimeMax,AltMax" without its line end: the set block and the plot file
// header both carry the visible range.
void AppendRanges(std::string& out, const PlotDocument& doc) {
    out += '#';
    AppendG(out, doc.TimeMin);
    out += ',';
    AppendG(out, doc.AltMin);
    out += ',';
    AppendG(out, doc.TimeMax);
    out += ',';
    AppendG(out, doc.AltMax);
}

} // namespace

void WriteSetBlock(const PlotDocument& doc, int k, std::string& out) {
    const Signal* alt = doc.AltSignal(k);
    const Signal* trig = doc.TrigSignal(k);
    if (!alt || !trig) return;
    const bool triggers = trig->Visible != 0;

    AppendTextLine(out, alt->Name);
    AppendTextLine(out, doc.XAxisLabel);
    AppendTextLine(out, SetAxisLabel(doc, k)); // the label of its own unit
    AppendTextLine(out, alt->Note1);
    AppendTextLine(out, alt->Note2);
    AppendTextLine(out, alt->Note3);
    AppendRanges(out, doc);
    out += ',';
    AppendInt(out, triggers ? 1 : 0);
    out += Eol;

    const SampleStore& a = alt->Samples;
    const SampleStore& t = trig->Samples;
    const int n = a.Count();
    out.reserve(out.size() + static_cast<std::size_t>(n) * 32);
    int cursor = 0; // next trigger entry to attach to a sample
    for (int j = 0; j < n; ++j) {
        const auto uj = static_cast<std::size_t>(j);
        AppendFixed(out, a.Time[uj], 9, 4);
        out += ", ";
        AppendFixed(out, a.Alt[uj], 9, 4);
        if (triggers) {
            // A trigger whose time is not a number belongs to no sample; waiting for it would
            // keep every later trigger from being written.
            while (cursor < t.Count() && std::isnan(t.Time[static_cast<std::size_t>(cursor)]))
                ++cursor;
            const bool flagged =
                cursor < t.Count() && a.Time[uj] >= t.Time[static_cast<std::size_t>(cursor)];
            if (flagged) ++cursor;
            out += flagged ? ", 1" : ", 0";
        }
        out += ", ";
        AppendInt(out, uj < a.PeakMarks.size() ? a.PeakMarks[uj] : 0);
        out += Eol;
    }
    for (const ClimbMark& m : alt->ClimbMarks) {
        if (!m.InUse) continue;
        out += "#C ";
        AppendInt(out, m.FirstSample);
        out += ", ";
        AppendInt(out, m.SecondSample);
        out += Eol;
    }
}

void WritePlotFile(const PlotDocument& doc, std::string& out) {
    out += "Vemo Plot";
    out += Eol;
    for (const std::string* text :
         {&doc.Title, &doc.XAxisLabel, &doc.YAxisLabel, &doc.Info1, &doc.Info2, &doc.Info3})
        AppendTextLine(out, *text);
    AppendRanges(out, doc);
    out += Eol;
    for (int k = 0; k < doc.SetCount(); ++k) {
        const Signal* alt = doc.AltSignal(k);
        const Signal* trig = doc.TrigSignal(k);
        const long long values[] = {static_cast<std::int32_t>(alt->LineColor),   alt->LineStyle,
                                    static_cast<std::int32_t>(alt->PointColor),  alt->PointStyle,
                                    static_cast<std::int32_t>(trig->PointColor), trig->PointStyle};
        out += '!';
        for (int i = 0; i < 6; ++i) {
            if (i > 0) out += ',';
            out += ' ';
            AppendInt(out, values[i]);
        }
        out += Eol;
        WriteSetBlock(doc, k, out);
    }
}

bool WriteFileAtomically(const QString& path, std::string_view bytes, QString* error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QString("Unable to open %1!").arg(path);
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        if (error) *error = QString("Unable to write %1!").arg(path);
        return false;
    }
    if (!file.commit()) {
        if (error) *error = QString("Unable to write %1!").arg(path);
        return false;
    }
    return true;
}

bool SaveSetFile(const PlotDocument& doc, int k, const QString& path, QString* error) {
    std::string text;
    WriteSetBlock(doc, k, text);
    return WriteFileAtomically(path, text, error);
}

bool SavePlotFile(const PlotDocument& doc, const QString& path, QString* error) {
    std::string text;
    WritePlotFile(doc, text);
    return WriteFileAtomically(path, text, error);
}

QString DefaultSetFileName(const QDate& date, int setNumber) {
    return QString("Alt_%1_%2.csv").arg(date.toString("yyyy-MM-dd")).arg(setNumber);
}

QString DefaultPlotFileName(const QDate& date) {
    return QString("Plot_%1.csv").arg(date.toString("yyyy-MM-dd"));
}

QString WithDataFileExtension(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.suffix().isEmpty() || info.fileName().isEmpty()) return path;
    return path.endsWith('.') ? path + "csv" : path + ".csv";
}

} // namespace vemo
