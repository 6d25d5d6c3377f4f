// vemo-cli summary FILE.csv [FILE.csv ...] [--csv]
// Loads each file as "Load" does and prints each data set's flight summary: an aligned block
// per set in the set's units, or with --csv a logbook of one row per flight of every file.
#include "data/DataFile.h"
#include "data/SimImport.h"
#include "data/SummaryText.h"
#include "data/Text.h"
#include "tools/Commands.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

int SummaryUsage() {
    return UsageError("summary");
}

// A set file carries the axis labels of the plot it came from in its lines 2 and 3; loading
// leaves the plot's labels alone, but they name the set's units.
void TakeSetFileLabels(std::string_view text, vemo::PlotDocument& doc) {
    vemo::LineReader in(text);
    if (!in.ReadLine().starts_with('#')) return;
    const std::string_view x = in.ReadLine(), y = in.ReadLine();
    if (x.starts_with('#')) doc.XAxisLabel = vemo::CutText(x.substr(1), vemo::TextLength);
    if (y.starts_with('#')) doc.YAxisLabel = vemo::CutText(y.substr(1), vemo::TextLength);
}

// Loads one file into doc; on failure returns the message for standard error.
bool LoadFile(const char* name, vemo::PlotDocument& doc, QString& message) {
    const QString path = QString::fromLocal8Bit(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        message = QString("Unable to open %1!").arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (vemo::IsSimulationExport(text)) {
        QString notice;
        if (!vemo::LoadSimulationText(doc, text, path, &message, &notice)) return false;
        if (!notice.isEmpty()) message = path + ": " + notice;
        return true;
    }
    if (vemo::ReadDataText(doc, text) == vemo::DataFileKind::Set) TakeSetFileLabels(text, doc);
    return true;
}

} // namespace

int CmdSummary(int argc, char** argv) {
    std::vector<const char*> files;
    bool csv = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--csv")
            csv = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return SummaryUsage();
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) return SummaryUsage();

    int status = 0;
    std::string out = csv ? vemo::LogbookHeader() : "";
    for (const char* name : files) {
        vemo::PlotDocument doc;
        QString message;
        const bool loaded = LoadFile(name, doc, message);
        if (!message.isEmpty()) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        if (!loaded) {
            status = 2;
            continue;
        }
        const std::string unit = vemo::UnitNameOfLabel(doc.YAxisLabel);
        if (!csv && doc.SetCount() == 0) {
            if (!out.empty()) out += '\n';
            vemo::AppendSummaryLine(out, "File", name);
            vemo::AppendSummaryLine(out, "Data sets", "none");
        }
        for (int k = 0; k < doc.SetCount(); ++k) {
            const vemo::Signal& alt = *doc.AltSignal(k);
            const vemo::FlightSummary s = vemo::SummariseFlight(alt);
            if (csv) {
                out += vemo::LogbookRows(name, alt, s, unit);
                continue;
            }
            if (!out.empty()) out += '\n';
            vemo::AppendSummaryLine(out, "File", name);
            vemo::AppendSummaryLine(out, "Data set", alt.Name);
            vemo::AppendSummaryLine(out, "Note", alt.Note2);
            out += vemo::SummaryBlock(s, unit);
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}
