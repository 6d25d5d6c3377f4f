// vemo-cli summary FILE.csv [FILE.csv ...] [--csv]
// Loads each file as "Load" does and prints each data set's flight summary: an aligned block
// per set in the set's unit, or with --csv a logbook of one row per flight of every file.
// Everything printed is UTF-8; the sets' names and notes are converted from their 8-bit text.
#include "data/SetUnits.h"
#include "data/SummaryText.h"
#include "data/Text8.h"
#include "tools/CliLoad.h"
#include "tools/Commands.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

int CmdSummary(int argc, char** argv) {
    std::vector<const char*> files;
    bool csv = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--csv")
            csv = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return UsageError("summary");
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) return UsageError("summary");

    int status = 0;
    std::string out = csv ? vemo::LogbookHeader() : "";
    for (const char* name : files) {
        vemo::PlotDocument doc;
        if (!vemocli::LoadAndTell(doc, name).Done) {
            status = 2;
            continue;
        }
        if (!csv && doc.SetCount() == 0) {
            if (!out.empty()) out += '\n';
            vemo::AppendSummaryLine(out, "File", name);
            vemo::AppendSummaryLine(out, "Data sets", "none");
        }
        for (int k = 0; k < doc.SetCount(); ++k) {
            const vemo::Signal& alt = *doc.AltSignal(k);
            const vemo::FlightSummary s = vemo::SummariseFlight(alt);
            const std::string_view unit = vemo::SetUnitWord(doc, k);
            if (csv) {
                out += vemo::LogbookRows(name, alt, s, unit);
                continue;
            }
            if (!out.empty()) out += '\n';
            vemo::AppendSummaryLine(out, "File", name);
            vemo::AppendSummaryLine(out, "Data set", vemo::Utf8OfEightBit(alt.Name));
            vemo::AppendSummaryLine(out, "Note", vemo::Utf8OfEightBit(alt.Note2));
            out += vemo::SummaryBlock(s, unit);
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}
