#include "app/CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// Options the toolkit itself takes from the command line (-platform, -style, ...); they are
// left to it.
const QStringList ToolkitOptions{"platform",
                                 "platformpluginpath",
                                 "platformtheme",
                                 "plugin",
                                 "qwindowgeometry",
                                 "qwindowicon",
                                 "qwindowtitle",
                                 "reverse",
                                 "session",
                                 "style",
                                 "stylesheet",
                                 "widgetcount",
                                 "display",
                                 "geometry",
                                 "title",
                                 "name",
                                 "visual",
                                 "ncols",
                                 "cmap",
                                 "sync",
                                 "nograb",
                                 "dograb",
                                 "qmljsdebugger"};

void Describe(QCommandLineParser& parser) {
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
}

} // namespace

std::optional<int> AnswerBeforeStart(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    Describe(parser);
    parser.parse(arguments);
    QStringList unknown = parser.unknownOptionNames();
    unknown.removeIf([](const QString& name) { return ToolkitOptions.contains(name); });
    if (!unknown.isEmpty()) {
        std::fprintf(stderr, "vemo: unknown option '%s'\nRun 'vemo --help' for the options.\n",
                     qPrintable(unknown.first()));
        return 1;
    }
    const bool help = parser.isSet("help") || parser.isSet("help-all");
    if (!help && !parser.isSet("version")) return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vemo");
    QCoreApplication::setApplicationVersion(VEMO_VERSION_TEXT);
    parser.process(app); // prints the help or the version and ends the process
    return 0;
}

QStringList DataFileArguments(const QCoreApplication& app) {
    QCommandLineParser parser;
    Describe(parser);
    parser.parse(app.arguments());
    return parser.positionalArguments();
}
