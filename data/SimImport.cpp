#include "data/SimImport.h"

#include "data/DataFile.h"
#include "data/Text.h"
#include "data/Text8.h"
#include "data/TextNumbers.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>

namespace vemo {

namespace {

struct UnitFactor {
    std::string_view Name;
    double Factor;
};

constexpr UnitFactor TimeUnits[] = {{"s", 1.0}, {"ms", 0.001}, {"min", 60.0}, {"h", 3600.0}};
// Metres per unit.
constexpr UnitFactor LengthUnits[] = {{"m", 1.0},     {"cm", 0.01},    {"mm", 0.001},
                                      {"km", 1000.0}, {"ft", 0.3048},  {"in", 0.0254},
                                      {"yd", 0.9144}, {"mi", 1609.344}};
constexpr double MetresOfUnit[] = {0.3048, 0.9144, 1.0}; // feet, yards, meters

std::string_view Trim(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

std::optional<double> FactorOf(std::string_view unit, std::span<const UnitFactor> table) {
    for (const UnitFactor& u : table)
        if (SameText(unit, u.Name)) return u.Factor;
    return std::nullopt;
}

bool IsComment(std::string_view line) {
    return !line.empty() && line[0] == '#';
}

std::vector<std::string_view> Split(std::string_view line, char sep) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t at = line.find(sep);
        fields.push_back(Trim(line.substr(0, at)));
        if (at == std::string_view::npos) return fields;
        line.remove_prefix(at + 1);
    }
}

std::string EightBit(std::string_view text);

// A header column "Name (unit)".
struct Column {
    std::string_view Name, Unit;
};

Column ColumnOf(std::string_view field) {
    const std::size_t open = field.rfind('(');
    if (open == std::string_view::npos || field.back() != ')') return {field, {}};
    return {Trim(field.substr(0, open)), Trim(field.substr(open + 1, field.size() - open - 2))};
}

struct Header {
    char Sep = ',';
    std::vector<Column> Columns;
};

// A comment line naming a time column first and at least one more column.
std::optional<Header> HeaderOf(std::string_view line) {
    const std::string_view text = Trim(line.substr(1));
    const std::size_t sep = text.find_first_of(",;\t");
    if (sep == std::string_view::npos) return std::nullopt;
    Header h;
    h.Sep = text[sep];
    for (std::string_view f : Split(text, h.Sep))
        h.Columns.push_back(ColumnOf(f));
    const Column& first = h.Columns.front();
    if (!SameText(first.Name, "Time") || first.Unit.empty()) return std::nullopt;
    return h;
}

std::optional<double> NumberOf(std::string_view field);

// The program's own set file: six header lines, then "#<four numbers>,<0 or 1>". Its notes may
// hold any text, even one that reads like a column header.
bool IsSetFileHeader(std::string_view text) {
    LineReader in(text);
    for (int i = 0; i < 6; ++i)
        if (!IsComment(in.ReadLine())) return false;
    const std::string_view line7 = in.ReadLine();
    if (!IsComment(line7)) return false;
    const std::vector<std::string_view> values = Split(line7.substr(1), ',');
    return values.size() == 5 && std::all_of(values.begin(), values.end(),
                                             [](auto v) { return NumberOf(v).has_value(); });
}

// The column header: the last one among the comment lines before the first data line.
std::optional<Header> FindHeader(std::string_view text) {
    if (IsSetFileHeader(text)) return std::nullopt;
    LineReader in(text);
    std::optional<Header> found;
    while (!in.AtEnd()) {
        const std::string_view line = in.ReadLine();
        if (Trim(line).empty()) continue;
        if (!IsComment(line)) break;
        if (auto h = HeaderOf(line)) found = std::move(h);
    }
    return found;
}

int AltitudeColumn(const Header& h) {
    for (std::size_t i = 1; i < h.Columns.size(); ++i)
        if (SameText(h.Columns[i].Name, "Altitude")) return static_cast<int>(i);
    // "Altitude above sea level" and the like, when no plain altitude is given.
    for (std::size_t i = 1; i < h.Columns.size(); ++i)
        if (StartsWithText(h.Columns[i].Name, "Altitude")) return static_cast<int>(i);
    return -1;
}

std::optional<double> NumberOf(std::string_view field) {
    if (!field.empty() && field[0] == '+') field.remove_prefix(1);
    double v = 0.0;
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (r.ec != std::errc() || r.ptr != field.data() + field.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// "Event APOGEE occurred at t=27.782 seconds"
std::optional<SimEvent> EventOf(std::string_view line) {
    std::string_view text = Trim(line.substr(1));
    constexpr std::string_view head = "Event ", at = " occurred at t=";
    if (!StartsWithText(text, head)) return std::nullopt;
    text.remove_prefix(head.size());
    const std::size_t pos = text.find(at);
    if (pos == std::string_view::npos) return std::nullopt;
    std::string_view time = text.substr(pos + at.size());
    time = time.substr(0, time.find(' '));
    const std::optional<double> t = NumberOf(time);
    if (!t) return std::nullopt;
    return SimEvent{EightBit(Trim(text.substr(0, pos))), *t};
}

// The program's texts are 8-bit; a simulator writes UTF-8. Text that is valid UTF-8 becomes
// the same characters in the program's character set ("?" where it has none); anything else
// is taken byte for byte.
std::string EightBit(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::string(text);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? std::string(text) : FromWidgetText(decoded);
}

std::string NumberText(double v) {
    std::string out;
    AppendG(out, v);
    return out;
}

} // namespace

bool IsSimulationExport(std::string_view text) {
    return FindHeader(text).has_value();
}

bool ReadSimulation(std::string_view text, int unit, Simulation& sim, std::string& error) {
    sim = Simulation{};
    const std::optional<Header> header = FindHeader(text);
    if (!header) {
        error = "no column header naming a time and an altitude column";
        return false;
    }
    const int altCol = AltitudeColumn(*header);
    if (altCol < 0) {
        error = "the column header names no altitude column";
        return false;
    }
    const Column& timeCol = header->Columns.front();
    const Column& alt = header->Columns[static_cast<std::size_t>(altCol)];
    const std::optional<double> timeFactor = FactorOf(timeCol.Unit, TimeUnits);
    const std::optional<double> altMetres = FactorOf(alt.Unit, LengthUnits);
    if (!timeFactor) {
        error = "unknown time unit \"" + std::string(timeCol.Unit) + "\"";
        return false;
    }
    if (!altMetres) {
        error = "unknown altitude unit \"" + std::string(alt.Unit) + "\"";
        return false;
    }
    const int target = std::clamp(unit, 0, 2);
    const double altFactor = *altMetres / MetresOfUnit[target];

    LineReader in(text);
    bool titled = false;
    while (!in.AtEnd()) {
        const std::string_view line = in.ReadLine();
        if (Trim(line).empty()) continue;
        if (IsComment(line)) {
            auto event = EventOf(line);
            // The first comment line names the design, unless the file starts with its header.
            if (!titled && !event && !HeaderOf(line)) sim.Title = EightBit(Trim(line.substr(1)));
            titled = true;
            if (event) sim.Events.push_back(std::move(*event));
            continue;
        }
        ++sim.Rows;
        if (static_cast<int>(sim.Time.size()) >= MaxSamples) {
            ++sim.Cut;
            continue;
        }
        const std::vector<std::string_view> fields = Split(line, header->Sep);
        if (fields.size() <= static_cast<std::size_t>(altCol)) {
            ++sim.Skipped;
            continue;
        }
        const std::optional<double> t = NumberOf(fields[0]);
        const std::optional<double> a = NumberOf(fields[static_cast<std::size_t>(altCol)]);
        // Samples are kept in time order; a row that goes back in time is not a sample.
        if (!t || !a || (!sim.Time.empty() && *t * *timeFactor < sim.Time.back())) {
            ++sim.Skipped;
            continue;
        }
        sim.Time.push_back(*t * *timeFactor);
        sim.Alt.push_back(*a * altFactor);
    }
    if (sim.Time.empty()) {
        error = "no data rows with a time and an altitude";
        return false;
    }
    return true;
}

Signal* AddSimulationSet(PlotDocument& doc, const Simulation& sim, std::string_view source) {
    Signal* alt = doc.CreateDataSet();
    Signal* trig = alt->TriggerSignal;
    if (!sim.Title.empty()) {
        alt->Name = CutText(sim.Title, NameLength);
        doc.RenameInLists(doc.SetCount() - 1, alt->Name);
    }
    SampleStore& a = alt->Samples;
    a.Clear();
    for (std::size_t i = 0; i < sim.Time.size(); ++i)
        a.Append(sim.Time[i], sim.Alt[i]);

    std::vector<int> marked;
    const double first = sim.Time.front(), last = sim.Time.back();
    for (const SimEvent& e : sim.Events) {
        if (e.Time < first || e.Time > last) continue;
        const auto next = std::lower_bound(sim.Time.begin(), sim.Time.end(), e.Time);
        auto i = static_cast<int>(next - sim.Time.begin());
        if (i > 0 && (next == sim.Time.end() ||
                      e.Time - sim.Time[static_cast<std::size_t>(i - 1)] <= *next - e.Time))
            --i;
        marked.push_back(i);
    }
    std::sort(marked.begin(), marked.end());
    marked.erase(std::unique(marked.begin(), marked.end()), marked.end());
    trig->Samples.Clear();
    for (int i : marked)
        trig->Samples.Append(a.Time[static_cast<std::size_t>(i)],
                             a.Alt[static_cast<std::size_t>(i)]);
    trig->Visible = marked.empty() ? 0 : 1;

    alt->Note1 = CutText("Simulation: " + sim.Title, TextLength);
    std::string note2 =
        "Simulation " + std::string(source) + ", " + std::to_string(sim.Time.size()) + " samples";
    if (const std::string notice = ImportNotice(sim); !notice.empty()) note2 += ", " + notice;
    alt->Note2 = CutText(note2, TextLength);
    std::string events = "Events:";
    for (std::size_t i = 0; i < sim.Events.size(); ++i)
        events +=
            (i > 0 ? ", " : " ") + sim.Events[i].Name + ' ' + NumberText(sim.Events[i].Time) + " s";
    if (sim.Events.empty()) events += " none";
    alt->Note3 = CutText(events, TextLength);
    return alt;
}

std::string ImportNotice(const Simulation& sim) {
    std::string out;
    if (sim.Skipped > 0)
        out += std::to_string(sim.Skipped) + (sim.Skipped == 1 ? " row" : " rows") +
               " skipped (time or altitude not a number, or out of time order)";
    if (sim.Cut > 0) {
        if (!out.empty()) out += "; ";
        out += "kept the first " + std::to_string(MaxSamples) + " of " + std::to_string(sim.Rows) +
               " rows";
    }
    return out;
}

int UnitOfAxisLabel(std::string_view label) {
    std::string lower(label);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto has = [&](std::string_view word) { return lower.find(word) != std::string::npos; };
    if (has("meter") || has("metre") || has("(m)")) return UnitMeters;
    if (has("yard") || has("(yd)")) return UnitYards;
    return UnitFeet;
}

bool LoadSimulationText(PlotDocument& doc, std::string_view text, const QString& path,
                        QString* error, QString* notice) {
    Simulation sim;
    std::string why;
    if (!ReadSimulation(text, UnitOfAxisLabel(doc.YAxisLabel), sim, why)) {
        if (error) *error = path + ": " + ToWidgetText(why);
        return false;
    }
    const QByteArray name = QFileInfo(path).fileName().toLocal8Bit();
    AddSimulationSet(doc, sim,
                     std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    doc.SetListBox->Select(0);
    if (notice) *notice = ToWidgetText(ImportNotice(sim));
    return true;
}

} // namespace vemo
