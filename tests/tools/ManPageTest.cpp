// The manual pages say what --help says: every command the tool lists has its section in
// vemo-cli(1) with each option its --help names, no section describes a command that does not
// exist, and vemo(1) and vemo-sim(1) name every option of their programs' --help. Help goes to
// standard output with status 0; usage errors to standard error with status 1.
#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

namespace {

struct Output {
    int status = -1;
    QString out, err;
};

Output Start(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// The page's text with the roff escapes of dashes and fonts taken out.
QString ManText(const char* page) {
    QFile file(QString(VEMO_MAN_DIR) + "/" + page);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << page;
    QString text = QString::fromUtf8(file.readAll());
    text.replace("\\-", "-");
    text.remove(QRegularExpression("\\\\f[BIRP]"));
    return text;
}

// The text of each ".SS NAME" subsection of the page's COMMANDS section, by name.
QMap<QString, QString> CommandSections(const QString& man) {
    QMap<QString, QString> sections;
    const qsizetype start = man.indexOf(".SH COMMANDS");
    const qsizetype end = man.indexOf("\n.SH ", start + 1);
    const QStringList parts = man.mid(start, end - start).split("\n.SS ");
    for (qsizetype i = 1; i < parts.size(); ++i)
        sections.insert(parts[i].section('\n', 0, 0).trimmed(), parts[i]);
    return sections;
}

QString Section(const QString& man, const QString& heading) {
    const qsizetype start = man.indexOf(".SH " + heading);
    if (start < 0) return {};
    const qsizetype end = man.indexOf("\n.SH ", start + 1);
    return man.mid(start, end < 0 ? -1 : end - start);
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
    const Output help = Start(VEMO_CLI, {"--help"});
    ASSERT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.isEmpty());
    EXPECT_EQ(Start(VEMO_CLI, {"-h"}).out, help.out);

    // The command list: "  name   one-line description" under "Commands:".
    QStringList commands;
    const QString list = help.out.section("Commands:\n", 1).section("\n\n", 0, 0);
    for (const QString& line : list.split('\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(words.size(), 2) << "no description: " << line.toStdString();
        commands << words.first();
    }
    ASSERT_GE(commands.size(), 6) << help.out.toStdString();

    const QString man = ManText("vemo-cli.1");
    const QMap<QString, QString> sections = CommandSections(man);
    QStringList described = sections.keys(), listed = commands;
    described.sort();
    listed.sort();
    EXPECT_EQ(described.join(' ').toStdString(), listed.join(' ').toStdString());
    const QString options = Section(man, "OPTIONS");
    for (const QString& option : HelpOptions(help.out.section("Options:\n", 1)))
        EXPECT_TRUE(Names(options, option)) << option.toStdString();

    for (const QString& command : commands) {
        const Output usage = Start(VEMO_CLI, {command, "--help"});
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
        const Output help = Start(program, {"--help"});
        ASSERT_EQ(help.status, 0) << page;
        const QSet<QString> options = HelpOptions(help.out);
        EXPECT_GE(options.size(), 3) << help.out.toStdString();
        const QString man = Section(ManText(page), "OPTIONS");
        for (const QString& option : options)
            EXPECT_TRUE(Names(man, option)) << page << " lacks " << option.toStdString();
    }
    const Output version = Start(VEMO_GUI, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.contains(QRegularExpression("^vemo \\d+\\.\\d+\\.\\d+\\n$")))
        << version.out.toStdString();
}

TEST(ManPages, VersionOnStandardOutputAndUsageErrorsOnStandardError) {
    const Output version = Start(VEMO_CLI, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.contains(QRegularExpression("^vemo-cli \\d+\\.\\d+\\.\\d+\\n$")));

    for (const QStringList& args : {QStringList{}, QStringList{"nonsense"}, QStringList{"export"},
                                    QStringList{"info", "--speed", "300", "--port", "x"}}) {
        const Output r = Start(VEMO_CLI, args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains("usage: vemo-cli") || r.err.contains("--help"))
            << r.err.toStdString();
    }
    const Output gui = Start(VEMO_GUI, {"--no-such-option"});
    EXPECT_EQ(gui.status, 1);
    EXPECT_TRUE(gui.err.contains("no-such-option")) << gui.err.toStdString();
}
