#include "data/DataFile.h"

#include "data/SimImport.h"
#include "data/Text.h"
#include "data/TextNumbers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

constexpr std::string_view Eol = "\r\n";

// The text after a line's first character.
std::string_view AfterFirst(std::string_view line) {
    return line.empty() ? line : line.substr(1);
}

bool StartsWith(std::string_view line, char c) {
    return !line.empty() && line[0] == c;
}

void ReadSampleLine(std::string_view line, bool columns4, Signal& alt, Signal& trig) {
    NumberScanner s(line);
    double time = 0.0, altitude = 0.0;
    int flag = 0, peak = 0;
    if (!s.Double(time)) return; // no number at all: not a sample
    int converted = 1;
    if (s.Lit(',') && s.Ws().Double(altitude)) ++converted;
    if (columns4) {
        if (s.Lit(',') && s.Ws().Int(flag)) ++converted;
        if (s.Lit(',') && s.Ws().Int(peak)) ++converted;
        if (converted < 4) peak = 0;
        if (converted < 3) flag = 0;
    } else {
        if (s.Lit(',') && s.Ws().Int(peak)) ++converted;
        if (converted < 3) peak = 0;
    }
    alt.Samples.Append(time, altitude, static_cast<std::uint8_t>(peak & 0xFF));
    if (flag != 0) trig.Samples.Append(time, altitude);
}

// Room for the sample lines ahead, judged by size (a sample line the program writes takes at
// least 24 bytes), so the store does not grow step by step.
void ReserveForBlock(std::size_t bytesLeft, SampleStore& a) {
    a.Reserve(static_cast<int>(std::min<std::size_t>(bytesLeft / 16 + 16, MaxSamples)));
}

void ReadClimbLine(std::string_view line, Signal& alt) {
    NumberScanner s(line.substr(2));
    int first = 0, second = 0;
    if (!(s.Int(first) && s.Lit(',') && s.Ws().Int(second))) return;
    const int free = alt.FreeClimbMark();
    if (free < 0) return;
    alt.ClimbMarks[static_cast<std::size_t>(free)] = {first, second, 1};
}

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

std::string_view LineReader::ReadLine() {
    if (AtEnd()) return {};
    const std::size_t start = pos_;
    std::size_t end = text_.find('\n', start);
    if (end == std::string_view::npos) {
        end = text_.size();
        pos_ = end;
    } else {
        pos_ = end + 1;
    }
    if (end > start && text_[end - 1] == '\r') --end;
    return text_.substr(start, end - start);
}

void WriteSetBlock(const PlotDocument& doc, int k, std::string& out) {
    const Signal* alt = doc.AltSignal(k);
    const Signal* trig = doc.TrigSignal(k);
    if (!alt || !trig) return;
    const bool triggers = trig->Visible != 0;

    AppendTextLine(out, alt->Name);
    AppendTextLine(out, doc.XAxisLabel);
    AppendTextLine(out, doc.YAxisLabel);
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

Signal* ReadSetBlock(PlotDocument& doc, LineReader& in, long long* dropped) {
    Signal* alt = doc.CreateDataSet();
    Signal* trig = alt->TriggerSignal;
    const int k = doc.SetCount() - 1;
    for (ClimbMark& m : alt->ClimbMarks)
        m = ClimbMark{};
    bool columns4 = false;

    const std::size_t start = in.Pos();
    std::string_view line = in.ReadLine();
    if (StartsWith(line, '#')) {
        alt->Name = CutText(AfterFirst(line), NameLength);
        doc.RenameInLists(k, alt->Name);
        in.ReadLine(); // the axis labels belong to the plot, not to the set
        in.ReadLine();
        alt->Note1 = CutText(AfterFirst(in.ReadLine()), TextLength);
        alt->Note2 = CutText(AfterFirst(in.ReadLine()), TextLength);
        alt->Note3 = CutText(AfterFirst(in.ReadLine()), TextLength);
        // The stored range is not restored from a set block; only the trigger column flag.
        NumberScanner s(AfterFirst(in.ReadLine()));
        double range[4];
        int triggers = 0;
        if (s.Double(range[0]) && s.Lit(',') && s.Double(range[1]) && s.Lit(',') &&
            s.Double(range[2]) && s.Lit(',') && s.Double(range[3]) && s.Lit(',') &&
            s.Ws().Int(triggers))
            columns4 = (triggers & 0xFF) != 0;
    } else {
        in.Seek(start);
    }

    SampleStore& a = alt->Samples;
    a.Clear();
    trig->Samples.Clear();
    ReserveForBlock(in.Rest().size(), a);
    while (!in.AtEnd()) {
        const std::size_t pos = in.Pos();
        line = in.ReadLine();
        if (StartsWith(line, '!')) {
            in.Seek(pos);
            break;
        }
        if (StartsWith(line, '#')) {
            if (line.size() >= 2 && line[1] == 'C') ReadClimbLine(line, *alt);
            continue;
        }
        // A store is full at MaxSamples; further sample lines of the block are passed over
        // so that its climb marks and the data sets after it are still read.
        if (a.Count() >= MaxSamples) {
            double time = 0.0;
            if (dropped && NumberScanner(line).Double(time)) ++*dropped;
            continue;
        }
        ReadSampleLine(line, columns4, *alt, *trig);
    }

    // A climb mark must name samples of this set; anything else would point outside it.
    for (ClimbMark& m : alt->ClimbMarks)
        if (m.InUse && !ClimbMarkValid(m, a.Count())) m = ClimbMark{};
    // A short block in a long file was given more room than it used.
    if (a.Time.capacity() > static_cast<std::size_t>(a.Count()) * 5 / 4 + 64) a.Shrink();
    trig->Visible = columns4 ? 1 : 0;
    return alt;
}

DataFileKind ReadDataText(PlotDocument& doc, std::string_view text, long long* dropped) {
    LineReader in(text);
    const std::string_view first = in.ReadLine();
    DataFileKind kind = DataFileKind::Set;
    if (StartsWith(first, 'V')) {
        kind = DataFileKind::Plot;
        for (std::string* field :
             {&doc.Title, &doc.XAxisLabel, &doc.YAxisLabel, &doc.Info1, &doc.Info2, &doc.Info3})
            *field = CutText(AfterFirst(in.ReadLine()), TextLength);
        // A value that does not convert leaves its field as it was.
        NumberScanner s(AfterFirst(in.ReadLine()));
        double v = 0.0;
        if (s.Double(v)) doc.TimeMin = v;
        if (s.Lit(',') && s.Double(v)) doc.AltMin = v;
        if (s.Lit(',') && s.Double(v)) doc.TimeMax = v;
        if (s.Lit(',') && s.Double(v)) doc.AltMax = v;

        std::string_view line = in.ReadLine();
        while (StartsWith(line, '!')) {
            NumberScanner props(AfterFirst(line));
            int values[6];
            int converted = 0;
            for (int i = 0; i < 6; ++i) {
                if (i > 0 && !props.Lit(',')) break;
                if (!props.Ws().Int(values[i])) break;
                ++converted;
            }
            Signal* alt = ReadSetBlock(doc, in, dropped);
            Signal* trig = alt->TriggerSignal;
            // Values that do not convert, and style codes the program does not have, keep
            // the new set's defaults.
            const auto colour = [](int v) { return static_cast<Colour>(v) & 0x00FFFFFFu; };
            const auto lineStyle = [](int v) { return v >= LineNone && v <= LineDashDotDot; };
            const auto pointStyle = [](int v) { return v >= PointNone && v <= PointTriangle; };
            if (converted > 0) alt->LineColor = colour(values[0]);
            if (converted > 1 && lineStyle(values[1])) alt->LineStyle = values[1];
            if (converted > 2) alt->PointColor = colour(values[2]);
            if (converted > 3 && pointStyle(values[3])) alt->PointStyle = values[3];
            if (converted > 4) trig->PointColor = colour(values[4]);
            if (converted > 5 && pointStyle(values[5])) trig->PointStyle = values[5];
            if (in.AtEnd()) break;
            line = in.ReadLine();
        }
    } else {
        in.Seek(0);
        ReadSetBlock(doc, in, dropped);
    }
    doc.SetListBox->Select(0);
    return kind;
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

bool LoadDataFile(PlotDocument& doc, const QString& path, QString* error, DataFileKind* kind,
                  QString* notice, long long* dropped) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QString("Unable to open %1!").arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (notice) notice->clear();
    if (dropped) *dropped = 0;
    if (kind) *kind = DataFileKind::Set;
    if (IsSimulationExport(text)) return LoadSimulationText(doc, text, path, error, notice);
    const DataFileKind k = ReadDataText(doc, text, dropped);
    if (kind) *kind = k;
    return true;
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
