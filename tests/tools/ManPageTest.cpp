// The manual pages say what --help says: each command vemo-cli lists has its section in
// vemo-cli(1) naming every option of its --help, and vemo(1) and vemo-sim(1) name every option
// of theirs. Help and version go to standard output with status 0, usage errors to standard
// error with status 1.
#include "CliRun.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Section ".SH heading" of the page, with the roff escapes of dashes and fonts taken out.
QString ManSection(const char* page, const QString& heading) {
    QFile file(QString(VEMO_MAN_DIR) + "/" + page);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << page;
    QString text = QString::fromUtf8(file.readAll());
    text.replace("\\-", "-");
    text.remove(QRegularExpression("\\\\f[BIRP]"));
    const qsizetype start = text.indexOf(".SH " + heading);
    if (start < 0) return {};
    const qsizetype end = text.indexOf("\n.SH ", start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

// The options a help text lists: the words starting with a dash at the start of its lines.
QSet<QString> HelpOptions(const QString& help) {
    QSet<QString> options;
    static const QRegularExpression line("^\\s+(-[-\\w]+)(?:, (--[-\\w]+))?",
                                         QRegularExpression::MultilineOption);
    for (auto m = line.globalMatch(help); m.hasNext();) {
        const auto match = m.next();
        options << match.captured(1);
        if (match.hasCaptured(2)) options << match.captured(2);
    }
    return options;
}

bool Names(const QString& text, const QString& option) {
    return text.contains(
        QRegularExpression("(^|[^-\\w])" + QRegularExpression::escape(option) + "($|[^-\\w])"));
}

} // namespace

TEST(ManPages, VemoCliPageDescribesEveryCommandWithItsOptions) {
    const CliRun help = Cli({"--help"});
    ASSERT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.isEmpty());
    EXPECT_EQ(Cli({"-h"}).out, help.out);

    // The command list: "  name   one-line description" under "Commands:".
    QStringList commands;
    const QString list = help.out.section("Commands:\n", 1).section("\n\n", 0, 0);
    for (const QString& line : list.split('\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(words.size(), 2) << "no description: " << line.toStdString();
        commands << words.first();
    }
    ASSERT_GE(commands.size(), 6) << help.out.toStdString();

    // A ".SS NAME" subsection of COMMANDS for each command, and for no other.
    QMap<QString, QString> sections;
    const QStringList parts = ManSection("vemo-cli.1", "COMMANDS").split("\n.SS ");
    for (qsizetype i = 1; i < parts.size(); ++i)
        sections.insert(parts[i].section('\n', 0, 0).trimmed(), parts[i]);
    QStringList listed = commands;
    listed.sort();
    EXPECT_EQ(sections.keys().join(' ').toStdString(), listed.join(' ').toStdString());
    const QString options = ManSection("vemo-cli.1", "OPTIONS");
    for (const QString& option : HelpOptions(help.out.section("Options:\n", 1)))
        EXPECT_TRUE(Names(options, option)) << option.toStdString();

    for (const QString& command : commands) {
        const CliRun usage = Cli({command, "--help"});
        EXPECT_EQ(usage.status, 0) << command.toStdString();
        EXPECT_TRUE(usage.out.startsWith("usage: vemo-cli " + command)) << usage.out.toStdString();
        for (const QString& option : HelpOptions(usage.out)) {
            if (option == "-h" || option == "--help") continue; // in OPTIONS, for every command
            EXPECT_TRUE(Names(sections.value(command), option))
                << "vemo-cli.1 lacks " << option.toStdString() << " of " << command.toStdString();
        }
    }
}

TEST(ManPages, VemoAndSimulatorPagesNameEveryOptionOfTheirHelp) {
    for (const auto& [program, page] : {std::pair{VEMO_GUI, "vemo.1"}, {VEMO_SIM, "vemo-sim.1"}}) {
        const CliRun help = RunProgram(program, {"--help"});
        ASSERT_EQ(help.status, 0) << page;
        const QSet<QString> options = HelpOptions(help.out);
        EXPECT_GE(options.size(), 3) << help.out.toStdString();
        const QString man = ManSection(page, "OPTIONS");
        for (const QString& option : options)
            EXPECT_TRUE(Names(man, option)) << page << " lacks " << option.toStdString();
    }
    // The toolkit's options, beside the program's own.
    const CliRun all = RunProgram(VEMO_GUI, {"-platform", "offscreen", "--help-all"});
    ASSERT_EQ(all.status, 0) << all.err.toStdString();
    for (const QString& option : HelpOptions(all.out))
        EXPECT_TRUE(Names(ManSection("vemo.1", "OPTIONS"), option)) << option.toStdString();
}

TEST(CommandLine, VersionOnStandardOutputAndUsageErrorsOnStandardError) {
    for (const auto& [program, name] :
         {std::pair{VEMO_CLI, "vemo-cli"}, {VEMO_GUI, "vemo"}, {VEMO_SIM, "vemo-sim"}}) {
        const CliRun version = RunProgram(program, {"--version"});
        EXPECT_EQ(version.status, 0) << name;
        EXPECT_TRUE(version.out.contains(
            QRegularExpression(QString("^%1 \\d+\\.\\d+\\.\\d+\\n$").arg(name))))
            << version.out.toStdString();
    }
    EXPECT_EQ(RunProgram(VEMO_GUI, {"-platform", "offscreen", "--version"}).out,
              RunProgram(VEMO_GUI, {"--version"}).out);
    for (const QStringList& args : {QStringList{}, QStringList{"nonsense"}, QStringList{"export"},
                                    QStringList{"info", "--speed", "300", "--port", "x"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains("usage: vemo-cli") || r.err.contains("--help"))
            << r.err.toStdString();
    }
    const CliRun gui = RunProgram(VEMO_GUI, {"--no-such-option"});
    EXPECT_EQ(gui.status, 1);
    EXPECT_TRUE(gui.err.contains("no-such-option")) << gui.err.toStdString();
}

// A usage error says which option or field was wrong and with what value, then the usage.
TEST(CommandLine, UsageErrorsNameTheOptionOrFieldAndItsValue) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"config", "--port", "x", "Units=2"}, "config: Units: unknown field"},
        {{"config", "--port", "x", "AltUnit=meters"}, "config: AltUnit: not a number: meters"},
        {{"config", "--port", "x", "AltUnit=3"}, "config: AltUnit: out of range: 3 (0 to 2)"},
        {{"export", "in.csv", "out.png", "--width", "abc"}, "export: --width: not a number: abc"}};
    for (const auto& [arguments, why] : cases) {
        const CliRun r = Cli(arguments);
        EXPECT_EQ(r.status, 1) << why;
        EXPECT_TRUE(r.err.startsWith(QString("vemo-cli %1\nusage: vemo-cli ").arg(why)))
            << r.err.toStdString();
    }
}
