#include "app/CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// Options the window toolkit itself takes from the command line; they are left to it. Those
// with a description are listed by --help-all; the others are older ones it may still take.
struct ToolkitOption {
    const char* name;
    const char* value; // the value's name; none for a switch
    const char* description;
};

const ToolkitOption ToolkitOptions[] = {
    {"platform", "platformName[:options]", "The platform plugin: xcb, wayland, offscreen, ..."},
    {"platformpluginpath", "path", "Path to the platform plugins."},
    {"platformtheme", "theme", "Platform theme."},
    {"plugin", "plugin", "Additional plugins to load, can be specified multiple times."},
    {"qwindowgeometry", "geometry",
     "Window geometry for the main window, using the X11-syntax, like 100x100+50+50."},
    {"qwindowicon", "icon", "Default window icon."},
    {"qwindowtitle", "title", "Title of the first window."},
    {"reverse", nullptr, "Lays the windows out from right to left (debugging helper)."},
    {"session", "session", "Restores the application from an earlier session."},
    {"display", "hostname:screen_number", "Switches displays on X11."},
    {"name", "name", "Sets the application name."},
    {"style", "style", "The widget style: Fusion, Windows, ..."},
    {"stylesheet", "stylesheet", "Sets the application style sheet."},
    {"widgetcount", nullptr,
     "Prints at the end how many widgets were left undestroyed and how many existed at most."},
    {"geometry", "geometry", nullptr},
    {"title", "title", nullptr},
    {"visual", "visual", nullptr},
    {"ncols", "count", nullptr},
    {"cmap", nullptr, nullptr},
    {"sync", nullptr, nullptr},
    {"nograb", nullptr, nullptr},
    {"dograb", nullptr, nullptr},
    {"qmljsdebugger", "value", nullptr},
};

// The program's options, and the toolkit's: known to the parser so that their values are not
// taken for files, shown only with --help-all.
void Describe(QCommandLineParser& parser, bool withToolkitOptions = false) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Vemo: the desktop companion of the Vemo altitude recording module.\n"
        "Connects to the module, downloads, plots, saves and exports its recordings.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("files",
                                 "Data files to load after start-up, as \"Load\" does; the "
                                 "Recorded Data page then shows them.",
                                 "[FILE.csv ...]");
    for (const ToolkitOption& t : ToolkitOptions) {
        QCommandLineOption option(t.name, t.description ? t.description : "");
        if (t.value) option.setValueName(t.value);
        if (!withToolkitOptions || !t.description)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

std::optional<int> AnswerBeforeStart(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    Describe(parser);
    parser.parse(arguments);
    if (!parser.unknownOptionNames().isEmpty()) {
        std::fprintf(stderr, "vemo: unknown option '%s'\nRun 'vemo --help' for the options.\n",
                     qPrintable(parser.unknownOptionNames().first()));
        return 1;
    }
    if (parser.isSet("version")) {
        std::printf("vemo %s\n", VEMO_VERSION_TEXT);
        return 0;
    }
    const bool all = parser.isSet("help-all");
    if (!all && !parser.isSet("help")) return std::nullopt;
    // The usage line names the program as it was started. The toolkit's options are answered
    // here, with no window system asked for, rather than by the toolkit.
    QCoreApplication app(argc, argv);
    QCommandLineParser help;
    Describe(help, all);
    std::fputs(qPrintable(help.helpText()), stdout);
    return 0;
}

QStringList DataFileArguments(const QCoreApplication& app) {
    QCommandLineParser parser;
    Describe(parser);
    parser.parse(app.arguments());
    return parser.positionalArguments();
}
