// Reading data files: what kind of file a text is, its set blocks, and the one result that
// tells the caller what was read and what the user must hear.
#include "data/DataFile.h"

#include "data/SetUnits.h"
#include "data/SimImport.h"
#include "data/Text.h"
#include "data/Text8.h"
#include "data/TextNumbers.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace vemo {

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

// The text after a line's first character.
std::string_view AfterFirst(std::string_view line) {
    return line.empty() ? line : line.substr(1);
}

bool StartsWith(std::string_view line, char c) {
    return !line.empty() && line[0] == c;
}

// Earlier versions write the header "Vemo Plot"; a text that merely starts with a "V" is none.
bool IsPlotHeader(std::string_view line) {
    constexpr std::string_view header = "vemo plot";
    return line.size() >= header.size() &&
           std::equal(header.begin(), header.end(), line.begin(), [](char h, char c) {
               return h == std::tolower(static_cast<unsigned char>(c));
           });
}

// A sample line holds a time and, after a comma, an altitude.
bool ScanSample(NumberScanner& s, double& time, double& altitude) {
    return s.Double(time) && s.Lit(',') && s.Ws().Double(altitude);
}

// Whether a line of the text is a sample. A zero byte outside the header lines before the
// first sample marks a file that is not text (a picture); in a data file it comes only after
// the data, where a crash left it.
bool HoldsSample(std::string_view text) {
    LineReader in(text);
    while (!in.AtEnd()) {
        const std::string_view line = in.ReadLine();
        if (StartsWith(line, '#') || StartsWith(line, '!')) continue;
        if (line.find('\0') != std::string_view::npos) return false;
        NumberScanner s(line);
        double time = 0.0, altitude = 0.0;
        if (ScanSample(s, time, altitude)) return true;
    }
    return false;
}

// A line without a time and an altitude is no sample and is passed over.
void ReadSampleLine(std::string_view line, bool columns4, Signal& alt, Signal& trig) {
    NumberScanner s(line);
    double time = 0.0, altitude = 0.0;
    int flag = 0, peak = 0;
    if (!ScanSample(s, time, altitude)) return;
    int converted = 2;
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

// A header line's text in the program's 8-bit set, cut to n bytes.
std::string HeaderText(std::string_view line, bool utf8, std::size_t n) {
    const std::string_view text = AfterFirst(line);
    return CutText(utf8 ? EightBitOfUtf8(text) : std::string(text), n);
}

// One set block; *label receives its altitude line's text (empty without a header).
Signal* ReadBlock(PlotDocument& doc, LineReader& in, long long* dropped, bool utf8,
                  std::string* label) {
    Signal* alt = doc.CreateDataSet();
    Signal* trig = alt->TriggerSignal;
    const int k = doc.SetCount() - 1;
    for (ClimbMark& m : alt->ClimbMarks)
        m = ClimbMark{};
    bool columns4 = false;

    const std::size_t start = in.Pos();
    std::string_view line = in.ReadLine();
    if (StartsWith(line, '#')) {
        alt->Name = HeaderText(line, utf8, NameLength);
        doc.RenameInLists(k, alt->Name);
        // The axis labels belong to the plot; the altitude label names the set's unit.
        in.ReadLine();
        const std::string altitudeLabel = HeaderText(in.ReadLine(), utf8, TextLength);
        alt->Unit = UnitOfLabel(altitudeLabel);
        if (label) *label = altitudeLabel;
        alt->Note1 = HeaderText(in.ReadLine(), utf8, TextLength);
        alt->Note2 = HeaderText(in.ReadLine(), utf8, TextLength);
        alt->Note3 = HeaderText(in.ReadLine(), utf8, TextLength);
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
            NumberScanner s(line);
            double time = 0.0, altitude = 0.0;
            if (dropped && ScanSample(s, time, altitude)) ++*dropped;
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

// Lines 2 to 8 and the data sets of a plot file; the reader stands after line 1. Returns the
// file's altitude label.
std::string ReadPlot(PlotDocument& doc, LineReader& in, long long& dropped, bool utf8) {
    const int first = doc.SetCount();
    std::string texts[6]; // title, axis labels, info lines
    for (std::string& text : texts)
        text = HeaderText(in.ReadLine(), utf8, TextLength);
    std::optional<double> range[4]; // a value that does not convert leaves its field as it was
    NumberScanner s(AfterFirst(in.ReadLine()));
    for (int i = 0; i < 4; ++i) {
        double v = 0.0;
        if ((i == 0 || s.Lit(',')) && s.Double(v)) range[i] = v;
    }

    // The sets' unit is the one the plot's label names; a label that names none leaves each
    // set the unit of its own altitude line.
    const int fileUnit = UnitOfLabel(texts[2]);
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
        Signal* alt = ReadBlock(doc, in, &dropped, utf8, nullptr);
        Signal* trig = alt->TriggerSignal;
        if (IsUnit(fileUnit)) alt->Unit = fileUnit;
        // Values that do not convert, and style codes the program does not have, keep the new
        // set's defaults.
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

    // Sets already in the plot keep their unit and its label; the file's sets and its
    // altitude range are converted into it.
    const int had = UnitOfSets(doc, first);
    const bool keepLabel = IsUnit(had) && IsUnit(fileUnit) && fileUnit != had;
    const double factor = keepLabel ? MetersPerUnit(fileUnit) / MetersPerUnit(had) : 1.0;
    doc.Title = texts[0];
    doc.XAxisLabel = texts[1];
    if (!keepLabel) doc.YAxisLabel = texts[2];
    doc.Info1 = texts[3];
    doc.Info2 = texts[4];
    doc.Info3 = texts[5];
    if (range[0]) doc.TimeMin = *range[0];
    if (range[1]) doc.AltMin = *range[1] * factor;
    if (range[2]) doc.TimeMax = *range[2];
    if (range[3]) doc.AltMax = *range[3] * factor;
    return texts[2];
}

void ReadExport(PlotDocument& doc, std::string_view text, const QString& source, LoadResult& r) {
    const int unit = PlotUnit(doc);
    Simulation sim;
    std::string why;
    if (!ReadSimulation(text, unit, sim, why)) {
        r.Error = source + ": " + ToWidgetText(why);
        return;
    }
    AddSimulationSet(doc, sim, unit, FromWidgetText(QFileInfo(source).fileName()));
    r.Dropped = sim.Cut;
    if (const std::string notice = ImportNotice(sim); !notice.empty())
        r.Notices << source + ": " + ToWidgetText(notice);
    r.Done = true;
}

// Samples whose time lies below the one before.
int OutOfOrder(const SampleStore& s) {
    int n = 0;
    for (std::size_t i = 1; i < s.Time.size(); ++i)
        n += s.Time[i] < s.Time[i - 1] ? 1 : 0;
    return n;
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

std::string_view WithoutBom(std::string_view text) {
    return text.starts_with(Bom) ? text.substr(Bom.size()) : text;
}

bool IsSetFileText(std::string_view text) {
    LineReader in(WithoutBom(text));
    for (int i = 0; i < 6; ++i)
        if (!StartsWith(in.ReadLine(), '#')) return false;
    const std::string_view line7 = in.ReadLine();
    if (!StartsWith(line7, '#')) return false;
    int fields = 0;
    for (std::string_view rest = AfterFirst(line7);; ++fields) {
        const std::size_t comma = rest.find(',');
        double v = 0.0;
        if (!NumberScanner(rest.substr(0, comma)).Double(v)) return false;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return fields == 3 || fields == 4; // four numbers, or four and the trigger column's flag
}

Signal* ReadSetBlock(PlotDocument& doc, LineReader& in, long long* dropped, bool utf8Texts) {
    return ReadBlock(doc, in, dropped, utf8Texts, nullptr);
}

LoadResult ReadDataText(PlotDocument& doc, std::string_view text, const QString& source) {
    LoadResult r;
    const bool utf8 = text.starts_with(Bom); // a program that marks its text writes UTF-8
    text = WithoutBom(text);
    const int first = doc.SetCount();
    LineReader in(text);
    std::string label;
    if (IsPlotHeader(in.ReadLine())) {
        r.Kind = DataFileKind::Plot;
        label = ReadPlot(doc, in, r.Dropped, utf8);
    } else if (IsSimulationExport(text)) {
        r.Kind = DataFileKind::Simulation;
        ReadExport(doc, text, source, r);
        if (!r.Done) return r;
    } else if (!IsSetFileText(text) && !HoldsSample(text)) {
        r.Kind = DataFileKind::NotData;
        r.Error = QString("%1 holds no data samples.").arg(source);
        return r;
    } else {
        r.Kind = DataFileKind::Set;
        in.Seek(0);
        ReadBlock(doc, in, &r.Dropped, utf8, &label);
    }

    if (r.Kind != DataFileKind::Simulation && r.Dropped > 0)
        r.Notices << QString("%1 holds more than %2 samples in a data set; %3 samples were not "
                             "loaded.")
                         .arg(source)
                         .arg(MaxSamples)
                         .arg(r.Dropped);
    if (const JoinedSets joined = JoinSets(doc, first, label); joined.Converted())
        r.Notices << source + ' ' + ToWidgetText(ConvertedSentence(joined));
    int outOfOrder = 0;
    for (int k = first; k < doc.SetCount(); ++k)
        outOfOrder += OutOfOrder(doc.AltSignal(k)->Samples);
    if (outOfOrder == 1) r.Notices << source + ": 1 sample is out of time order.";
    if (outOfOrder > 1)
        r.Notices << QString("%1: %2 samples are out of time order.").arg(source).arg(outOfOrder);
    doc.SetListBox->Select(0);
    r.Done = true;
    return r;
}

LoadResult LoadDataFile(PlotDocument& doc, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LoadResult r;
        r.Error = QString("Unable to open %1!").arg(path);
        return r;
    }
    const QByteArray bytes = file.readAll();
    return ReadDataText(
        doc, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), path);
}

} // namespace vemo
