#include "data/SummaryText.h"

#include "data/TextNumbers.h"

#include <cmath>

namespace vemo {

namespace {

constexpr std::size_t LabelColumn = 15;

std::string Num(double v) {
    std::string out;
    // A value that rounds to zero is shown without a minus sign.
    AppendFixed(out, std::abs(v) < 0.005 ? 0.0 : v, 0, 2);
    return out;
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

std::string UnitNameOfLabel(std::string_view axisLabel) {
    const std::size_t close = axisLabel.rfind(')');
    if (close != std::string_view::npos) {
        const std::size_t open = axisLabel.rfind('(', close);
        if (open != std::string_view::npos && close > open + 1)
            return std::string(axisLabel.substr(open + 1, close - open - 1));
    }
    return "units";
}

void AppendSummaryLine(std::string& out, std::string_view label, std::string_view value) {
    const std::size_t start = out.size();
    out += label;
    if (!label.empty()) out += ':'; // a continuation line has no label
    const std::size_t used = out.size() - start;
    if (!value.empty()) out.append(used < LabelColumn ? LabelColumn - used : 1, ' ');
    out += value;
    out += '\n';
}

std::string SummaryBlock(const FlightSummary& s, std::string_view unit) {
    std::string out;
    const std::string rate = std::string(unit) + "/s";
    std::string samples = std::to_string(s.Samples);
    if (s.NotNumbers > 0)
        samples += " (" + std::to_string(s.NotNumbers) + " not numbers, left out)";
    AppendSummaryLine(out, "Samples", samples);
    AppendSummaryLine(out, "Apogee", s.Apogee.Found() ? At(s.Apogee, unit) : NotFound(s.Apogee));
    AppendSummaryLine(out, "Ground level",
                      s.GroundLevel.Found() ? WithUnit(*s.GroundLevel.Value, unit)
                                            : NotFound(s.GroundLevel));
    for (const auto& [label, f] : {std::pair{"Launch", &s.Launch}, std::pair{"Landing", &s.Landing},
                                   std::pair{"Flight time", &s.FlightTime}})
        AppendSummaryLine(out, label, f->Found() ? Num(*f->Value) + " s" : NotFound(*f));
    AppendSummaryLine(out, "Max climb",
                      s.MaxClimb.Found() ? At(s.MaxClimb, rate) : NotFound(s.MaxClimb));
    AppendSummaryLine(out, "Max descent",
                      s.MaxDescent.Found() ? At(s.MaxDescent, rate) : NotFound(s.MaxDescent));

    std::string triggers = s.Triggers.empty() ? "none" : "";
    for (std::size_t i = 0; i < s.Triggers.size(); ++i)
        triggers += (i > 0 ? ", " : "") + Num(s.Triggers[i]);
    if (!s.Triggers.empty()) triggers += " s";
    AppendSummaryLine(out, "Triggers", triggers);

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
    return "File,Data set,Date note,Samples,Unit,Apogee,Apogee time (s),Launch (s),Landing (s),"
           "Flight time (s),Max climb rate (Unit/s),Max descent rate (Unit/s),Triggers\n";
}

std::string LogbookRow(std::string_view file, const Signal& alt, const FlightSummary& s,
                       std::string_view unit) {
    std::string out;
    const std::string fields[] = {
        std::string(file),
        alt.Name,
        alt.Note2,
        std::to_string(s.Samples),
        std::string(unit),
        CsvValue(s.Apogee),
        s.Apogee.Found() ? Num(s.Apogee.Time) : "",
        CsvValue(s.Launch),
        CsvValue(s.Landing),
        CsvValue(s.FlightTime),
        CsvValue(s.MaxClimb),
        CsvValue(s.MaxDescent),
        std::to_string(s.Triggers.size()),
    };
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) out += ',';
        AppendCsvField(out, fields[i]);
    }
    out += '\n';
    return out;
}

} // namespace vemo
