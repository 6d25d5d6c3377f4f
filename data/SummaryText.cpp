#include "data/SummaryText.h"

#include "data/Text8.h"
#include "data/TextNumbers.h"

#include <cmath>

namespace vemo {

namespace {

constexpr std::size_t LabelColumn = 15;

std::string Num(double v) {
    // A value that rounds to zero is shown without a minus sign.
    return FormatNumber(std::abs(v) < 0.005 ? 0.0 : v, 'f', 2);
}

std::string WithUnit(double v, std::string_view unit) {
    return Num(v) + ' ' + std::string(unit);
}

std::string At(const Figure& f, std::string_view unit) {
    return WithUnit(*f.Value, unit) + " at " + Num(f.Time) + " s";
}

std::string NotFound(const Figure& f) {
    return "not found: " + f.Missing;
}

// A spreadsheet field: quoted when it holds a separator, a quote or a line end.
void AppendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string CsvValue(const Figure& f) {
    return f.Found() ? Num(*f.Value) : std::string();
}

} // namespace

void AppendSummaryLine(std::string& out, std::string_view label, std::string_view value) {
    const std::size_t start = out.size();
    out += label;
    if (!label.empty()) out += ':'; // a continuation line has no label
    const std::size_t used = out.size() - start;
    if (!value.empty()) out.append(used < LabelColumn ? LabelColumn - used : 1, ' ');
    out += value;
    out += '\n';
}

namespace {

void AppendFlight(std::string& out, const FlightFigures& f, std::string_view unit) {
    const std::string rate = std::string(unit) + "/s";
    AppendSummaryLine(out, "Apogee", f.Apogee.Found() ? At(f.Apogee, unit) : NotFound(f.Apogee));
    AppendSummaryLine(out, "Ground level",
                      f.GroundLevel.Found() ? WithUnit(*f.GroundLevel.Value, unit)
                                            : NotFound(f.GroundLevel));
    for (const auto& [label, g] : {std::pair{"Launch", &f.Launch}, std::pair{"Landing", &f.Landing},
                                   std::pair{"Flight time", &f.FlightTime}})
        AppendSummaryLine(out, label, g->Found() ? Num(*g->Value) + " s" : NotFound(*g));
    AppendSummaryLine(out, "Max climb",
                      f.MaxClimb.Found() ? At(f.MaxClimb, rate) : NotFound(f.MaxClimb));
    AppendSummaryLine(out, "Max descent",
                      f.MaxDescent.Found() ? At(f.MaxDescent, rate) : NotFound(f.MaxDescent));
}

} // namespace

std::string SummaryBlock(const FlightSummary& s, std::string_view unit) {
    std::string out;
    std::string samples = std::to_string(s.Samples);
    std::string remarks;
    if (s.NotNumbers > 0) remarks = std::to_string(s.NotNumbers) + " not numbers, left out";
    if (s.OutOfOrder > 0)
        remarks += (remarks.empty() ? "" : "; ") + std::to_string(s.OutOfOrder) +
                   " out of time order, taken in time order";
    if (!remarks.empty()) samples += " (" + remarks + ")";
    AppendSummaryLine(out, "Samples", samples);
    const std::size_t count = s.Flights.size();
    for (std::size_t k = 0; k < count; ++k) {
        if (count > 1)
            out += "Flight " + std::to_string(k + 1) + " of " + std::to_string(count) + '\n';
        AppendFlight(out, s.Flights[k], unit);
    }

    std::string triggers = s.Triggers.empty() ? "none" : "";
    for (std::size_t i = 0; i < s.Triggers.size(); ++i)
        triggers += (i > 0 ? ", " : "") + Num(s.Triggers[i]);
    if (!s.Triggers.empty()) triggers += " s";
    AppendSummaryLine(out, "Triggers", triggers);

    const std::string rate = std::string(unit) + "/s";
    if (s.ClimbMarks.empty()) AppendSummaryLine(out, "Climb marks", "none");
    for (std::size_t i = 0; i < s.ClimbMarks.size(); ++i) {
        const ClimbMarkRate& m = s.ClimbMarks[i];
        const std::string span = "from " + Num(m.FirstTime) + " s to " + Num(m.SecondTime) + " s";
        AppendSummaryLine(out, i == 0 ? "Climb marks" : "",
                          (m.Rate ? WithUnit(*m.Rate, rate) : "no rate (one time)") + ' ' + span);
    }
    return out;
}

std::string LogbookHeader() {
    return "File,Data set,Flight,Date note,Samples,Unit,Apogee,Apogee time (s),Launch (s),"
           "Landing (s),Flight time (s),Max climb rate (Unit/s),Max descent rate (Unit/s),"
           "Triggers\n";
}

std::string LogbookRows(std::string_view file, const Signal& alt, const FlightSummary& s,
                        std::string_view unit) {
    std::string out;
    for (std::size_t k = 0; k < s.Flights.size(); ++k) {
        const FlightFigures& f = s.Flights[k];
        const std::string fields[] = {
            std::string(file),
            Utf8OfEightBit(alt.Name),
            f.Flew ? std::to_string(k + 1) : "",
            Utf8OfEightBit(alt.Note2),
            std::to_string(s.Samples),
            std::string(unit),
            CsvValue(f.Apogee),
            f.Apogee.Found() ? Num(f.Apogee.Time) : "",
            CsvValue(f.Launch),
            CsvValue(f.Landing),
            CsvValue(f.FlightTime),
            CsvValue(f.MaxClimb),
            CsvValue(f.MaxDescent),
            std::to_string(s.Triggers.size()),
        };
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0) out += ',';
            AppendCsvField(out, fields[i]);
        }
        out += '\n';
    }
    return out;
}

} // namespace vemo
