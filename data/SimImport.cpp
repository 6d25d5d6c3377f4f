#include "data/SimImport.h"

#include "data/DataFile.h"
#include "data/Text.h"
#include "data/Text8.h"
#include "data/TextNumbers.h"

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

constexpr UnitFactor TimeUnits[] = {
    {"s", 1.0}, {"sec", 1.0}, {"ms", 0.001}, {"min", 60.0}, {"h", 3600.0}};
// Meters per unit.
constexpr UnitFactor LengthUnits[] = {{"m", 1.0},     {"cm", 0.01},    {"mm", 0.001},
                                      {"km", 1000.0}, {"ft", 0.3048},  {"in", 0.0254},
                                      {"yd", 0.9144}, {"mi", 1609.344}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<double> FactorOf(std::string_view unit, std::span<const UnitFactor> table) {
    for (const UnitFactor& u : table)
        if (SameText(unit, u.Name)) return u.Factor;
    return std::nullopt;
}

// Comment lines begin with "#", or with "%" as numeric programs write them.
bool IsComment(std::string_view line) {
    return !line.empty() && (line[0] == '#' || line[0] == '%');
}

// Fields between separators; a space separator stands for any run of blanks.
std::vector<std::string_view> Split(std::string_view line, char sep) {
    std::vector<std::string_view> fields;
    if (sep == ' ') {
        for (line = Trim(line); !line.empty(); line = Trim(line)) {
            std::size_t end = 0;
            while (end < line.size() && !IsBlank(line[end]))
                ++end;
            fields.push_back(line.substr(0, end));
            line.remove_prefix(end);
        }
        return fields;
    }
    for (;;) {
        const std::size_t at = line.find(sep);
        fields.push_back(Trim(line.substr(0, at)));
        if (at == std::string_view::npos) return fields;
        line.remove_prefix(at + 1);
    }
}

// A header column "Name (unit)".
struct Column {
    std::string_view Name, Unit;
};

Column ColumnOf(std::string_view field) {
    const std::size_t open = field.rfind('(');
    if (open == std::string_view::npos || field.empty() || field.back() != ')') return {field, {}};
    return {Trim(field.substr(0, open)), Trim(field.substr(open + 1, field.size() - open - 2))};
}

// Columns lined up with spaces: each column ends at a ")" followed by a blank or the line's
// end, so only columns with a unit can be told apart.
std::vector<Column> ColumnsBySpaces(std::string_view text) {
    std::vector<Column> columns;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ')' || (i + 1 < text.size() && !IsBlank(text[i + 1]))) continue;
        columns.push_back(ColumnOf(Trim(text.substr(start, i + 1 - start))));
        start = i + 1;
    }
    return columns;
}

struct Header {
    char Sep = ',';
    std::vector<Column> Columns;
};

// A comment line naming two or more columns, the first and another with a unit. The separator
// is a semicolon where there is one (names may hold commas then), else a tab, else a comma,
// else blanks.
std::optional<Header> HeaderOf(std::string_view line) {
    const std::string_view text = Trim(line.substr(1));
    Header h;
    h.Sep = text.find(';') != std::string_view::npos    ? ';'
            : text.find('\t') != std::string_view::npos ? '\t'
            : text.find(',') != std::string_view::npos  ? ','
                                                        : ' ';
    if (h.Sep == ' ') {
        h.Columns = ColumnsBySpaces(text);
    } else {
        for (std::string_view f : Split(text, h.Sep))
            h.Columns.push_back(ColumnOf(f));
    }
    if (h.Columns.size() < 2 || h.Columns.front().Unit.empty()) return std::nullopt;
    if (std::none_of(h.Columns.begin() + 1, h.Columns.end(),
                     [](const Column& c) { return !c.Unit.empty(); }))
        return std::nullopt;
    // Tab-separated rows are often lined up with more blanks.
    if (h.Sep == '\t') h.Sep = ' ';
    return h;
}

// The column header: the last one among the comment lines before the first data line.
std::optional<Header> FindHeader(std::string_view text) {
    if (IsSetFileText(text)) return std::nullopt;
    LineReader in(WithoutBom(text));
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
    // In any language: the first length after the time.
    for (std::size_t i = 1; i < h.Columns.size(); ++i)
        if (FactorOf(h.Columns[i].Unit, LengthUnits)) return static_cast<int>(i);
    return -1;
}

// A number as an export writes it; a decimal comma where commas do not separate the fields.
std::optional<double> NumberOf(std::string_view field, bool decimalComma) {
    std::string text(field);
    if (decimalComma) std::replace(text.begin(), text.end(), ',', '.');
    const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    double v = 0.0;
    const auto r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool IsEventNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || c == '_' || (c >= '0' && c <= '9');
}

// An event comment in any language: "t=" and a time in seconds, and the event's name in
// capitals ("# Event APOGEE occurred at t=27.782 seconds"); without such a name, the words
// before the time.
std::optional<SimEvent> EventOf(std::string_view line) {
    const std::string_view text = Trim(line.substr(1));
    const std::size_t at = text.find("t=");
    if (at == std::string_view::npos || (at > 0 && !IsBlank(text[at - 1]))) return std::nullopt;
    std::string_view time = text.substr(at + 2);
    time = time.substr(0, time.find(' '));
    const std::optional<double> t = NumberOf(time, true);
    if (!t) return std::nullopt;
    std::string_view name;
    for (std::size_t i = 0; i < at && name.empty();) {
        std::size_t end = i;
        while (end < at && IsEventNameChar(text[end]))
            ++end;
        const std::string_view word = text.substr(i, end - i);
        const bool wordEnds = end == at || IsBlank(text[end]);
        if (word.size() >= 2 && wordEnds && (i == 0 || IsBlank(text[i - 1])) &&
            std::any_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            name = word;
        i = end + 1;
    }
    if (name.empty()) name = Trim(text.substr(0, at));
    return SimEvent{EightBitOfUtf8(name), *t};
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
    const std::optional<double> altMeters = FactorOf(alt.Unit, LengthUnits);
    if (!timeFactor) {
        error = "unknown time unit \"" + EightBitOfUtf8(timeCol.Unit) + "\"";
        return false;
    }
    if (!altMeters) {
        error = "unknown altitude unit \"" + EightBitOfUtf8(alt.Unit) + "\"";
        return false;
    }
    const double altFactor = *altMeters / MetersPerUnit(IsUnit(unit) ? unit : UnitFeet);
    const bool decimalComma = header->Sep != ',';

    LineReader in(WithoutBom(text));
    bool titled = false;
    while (!in.AtEnd()) {
        const std::string_view line = in.ReadLine();
        if (Trim(line).empty()) continue;
        if (IsComment(line)) {
            auto event = EventOf(line);
            // The first comment line names the design, unless the file starts with its header.
            if (!titled && !event && !HeaderOf(line))
                sim.Title = EightBitOfUtf8(Trim(line.substr(1)));
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
        const std::optional<double> t = NumberOf(fields[0], decimalComma);
        const std::optional<double> a =
            NumberOf(fields[static_cast<std::size_t>(altCol)], decimalComma);
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

Signal* AddSimulationSet(PlotDocument& doc, const Simulation& sim, int unit,
                         std::string_view source) {
    Signal* alt = doc.CreateDataSet();
    Signal* trig = alt->TriggerSignal;
    alt->Unit = unit;
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

} // namespace vemo
