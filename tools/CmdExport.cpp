// vemo-cli export IN.csv OUT.bmp|.jpg|.gif|.png|.svg|.pdf [--width IN] [--height IN] [--mono]
//                 [--logo] [--no-info] [--speed]
// Loads IN into an empty document as "Load" does and writes the picture as "Export" would:
// 100 pixels per inch, 7 x 3.5 inches unless told otherwise, the type from the extension (SVG
// and PDF as vectors of the same size in inches).
#include "plot/Export.h"
#include "plot/Scaling.h"
#include "tools/CliLoad.h"
#include "tools/Commands.h"

#include <QGuiApplication>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

bool ParseInches(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, value, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

// Standard error carries this tool's own words only, not the toolkit's chatter.
void QuietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Text needs the toolkit's fonts, which need a GUI application; it never shows a window.
std::unique_ptr<QGuiApplication> StartToolkit() {
    if (QCoreApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietToolkit);
    static int argc = 1;
    static char name[] = "vemo-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int CmdExport(int argc, char** argv) {
    std::vector<const char*> files;
    vemo::PrintSettings settings; // 7 x 3.5 inches
    settings.PrtColor = true;
    bool logo = false, info = true, speed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--width" || arg == "--height") {
            double& target = arg == "--width" ? settings.PrtWidth : settings.PrtHeight;
            if (i + 1 >= argc) return UsageError("export", std::string(arg) + ": needs a value");
            if (!ParseInches(argv[i + 1], target))
                return UsageError("export",
                                  std::string(arg) + ": not a number: " + std::string(argv[i + 1]));
            ++i;
        } else if (arg == "--mono") {
            settings.PrtColor = false;
        } else if (arg == "--logo") {
            logo = true;
        } else if (arg == "--no-info") {
            info = false;
        } else if (arg == "--speed") {
            speed = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("export", "unknown option: " + std::string(arg));
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() < 2) return UsageError("export", "needs a data file and a picture's name");
    if (files.size() > 2)
        return UsageError("export", "one file too many: " + std::string(files[2]));
    const QString out = QString::fromLocal8Bit(files[1]);
    const int type = vemo::ExportTypeOfName(out);
    if (type == 0) {
        std::fprintf(stderr,
                     "vemo-cli export: the picture's name must end in .bmp, .jpg, .gif, .png, .svg "
                     "or .pdf\n");
        return 1;
    }
    try {
        vemo::ExportPixelSize(settings.PrtWidth, settings.PrtHeight);
    } catch (const vemo::OutputError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    const auto app = StartToolkit();
    vemo::PlotDocument doc;
    const vemo::LoadResult loaded = vemocli::LoadAndTell(doc, files[0]);
    if (!loaded.Done) return 2;
    // A plot file keeps its stored range; a set or a simulation is shown whole.
    if (loaded.Kind != vemo::DataFileKind::Plot) vemo::AutoRangeAll(doc);
    vemo::PlotSwitches switches;
    switches.ShowInfo = info;
    switches.ShowBackground = logo;
    switches.ShowVerticalSpeed = speed;
    try {
        vemo::ExportPlot(doc, settings, out, type, &vemo::RenderPlot, switches);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}
