// vemo-cli import-sim SIM.csv OUT.csv [--unit feet|meters|yards]
// Turns a flight simulator's CSV export into a set file that "Load" reads: time in seconds,
// altitude in the chosen unit (feet unless told), each event a trigger mark on the sample
// nearest to it, the design's name and notes that say it is a simulation.
#include "data/DataFile.h"
#include "data/SimImport.h"
#include "data/Text8.h"
#include "plot/Scaling.h"
#include "tools/CliLoad.h"
#include "tools/Commands.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

int ImportUsage() {
    return UsageError("import-sim");
}

bool ParseUnit(std::string_view text, int& unit) {
    if (text == "feet")
        unit = vemo::UnitFeet;
    else if (text == "yards")
        unit = vemo::UnitYards;
    else if (text == "meters")
        unit = vemo::UnitMeters;
    else
        return false;
    return true;
}

} // namespace

int CmdImportSim(int argc, char** argv) {
    std::vector<const char*> files;
    int unit = vemo::UnitFeet;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--unit") {
            if (i + 1 >= argc || !ParseUnit(argv[i + 1], unit)) return ImportUsage();
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return ImportUsage();
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() != 2) return ImportUsage();
    const QString in = QString::fromLocal8Bit(files[0]);
    const QString out = QString::fromLocal8Bit(files[1]);

    QFile file(in);
    if (!file.open(QIODevice::ReadOnly)) {
        vemocli::PrintError(QString("Unable to open %1!").arg(in));
        return 2;
    }
    const QByteArray bytes = file.readAll();
    vemo::Simulation sim;
    std::string why;
    if (!vemo::ReadSimulation(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), unit, sim,
            why)) {
        vemocli::PrintError(in + ": " + vemo::ToWidgetText(why));
        return 2;
    }

    vemo::PlotDocument doc;
    doc.YAxisLabel = vemo::AltitudeAxisLabel(unit);
    const vemo::Signal* alt =
        vemo::AddSimulationSet(doc, sim, unit, vemo::FromWidgetText(QFileInfo(in).fileName()));
    vemo::AutoRangeTime(doc);
    vemo::AutoRangeAlt(doc);
    QString error;
    if (!vemo::SaveSetFile(doc, 0, out, &error)) {
        vemocli::PrintError(error);
        return 2;
    }
    if (const std::string notice = vemo::ImportNotice(sim); !notice.empty())
        vemocli::PrintError(in + ": " + vemo::ToWidgetText(notice));
    std::printf("%s: %d samples, %zu events, %d trigger marks\n", files[1], alt->Samples.Count(),
                sim.Events.size(), alt->TriggerSignal->Samples.Count());
    return 0;
}
