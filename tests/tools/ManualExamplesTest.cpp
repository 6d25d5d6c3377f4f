// The user manual's vemo-cli examples, typed as a reader would type them: in a shell, in a
// folder that holds the files they name (the simulated module's recordings, downloaded there,
// and the simulator exports among the fixtures), with the simulated module's port in place of
// the manual's. The output must be the manual's text, so that an example can only change with
// the program.
//
// A fenced block with a line "$ vemo-cli ..." is a transcript: each line "$ COMMAND" is a
// command and the lines after it, up to the next "$ " line, what it prints. A block with a
// line "vemo-cli ..." is a script: each line is a command whose output the manual does not
// show. Every command must succeed. A table right after a block whose last command writes a
// CSV file ("> FILE.csv") shows that file, each of its rows as a column.
#include "CliRun.h"
#include "sim/Simulator.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString ManualDate = "2026-12-08"; // the day the manual's recordings were downloaded
// A command that writes its output to a CSV file.
const QRegularExpression WritesCsv(">\\s*(\\S+\\.csv)");

struct Example {
    QString where; // chapter file and line, for failures
    QString command;
    bool shown = false; // the manual shows what it prints
    QStringList output;
    QList<QStringList> table; // the table after it, cell by cell, when there is one
};

QStringList Cells(const QString& row) {
    QStringList cells = row.trimmed().split('|');
    cells = cells.mid(1, cells.size() - 2);
    for (QString& c : cells)
        c = c.trimmed();
    return cells;
}

// The examples of one fenced block whose lines start at line `first` (counted from 0).
void BlockExamples(const QStringList& block, const QString& where, int first,
                   std::vector<Example>& examples) {
    auto isCommand = [](const QString& line, const QString& prompt) {
        return line.startsWith(prompt + "vemo-cli ");
    };
    const bool transcript = std::any_of(block.begin(), block.end(),
                                        [&](const QString& l) { return isCommand(l, "$ "); });
    if (!transcript && std::none_of(block.begin(), block.end(),
                                    [&](const QString& l) { return isCommand(l, ""); }))
        return;
    for (int i = 0; i < block.size(); ++i) {
        const QString& line = block[i];
        const QString at = where + ":" + QString::number(first + i + 1);
        if (!transcript && !line.trimmed().isEmpty())
            examples.push_back({at, line, false, {}, {}});
        else if (transcript && line.startsWith("$ "))
            examples.push_back({at, line.mid(2), true, {}, {}});
        else if (transcript && !examples.empty())
            examples.back().output << line;
    }
}

std::vector<Example> Examples(const QString& chapterPath) {
    QFile f(chapterPath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    const QString chapter = QFileInfo(chapterPath).fileName();
    std::vector<Example> examples;
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith("```")) continue;
        int end = i + 1;
        while (end < lines.size() && !lines[end].startsWith("```"))
            ++end;
        const std::size_t before = examples.size();
        BlockExamples(lines.mid(i + 1, end - i - 1), chapter, i + 1, examples);
        i = end;
        if (examples.size() == before || !WritesCsv.match(examples.back().command).hasMatch())
            continue;
        int row = end + 1;
        while (row < lines.size() && lines[row].trimmed().isEmpty())
            ++row;
        for (; row < lines.size() && lines[row].startsWith('|'); ++row)
            if (!lines[row].contains("---")) examples.back().table << Cells(lines[row]);
    }
    return examples;
}

// A CSV file's fields, row by row; quoted fields may hold commas.
QList<QStringList> ReadCsv(const QString& path) {
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(ReadFile(path)).split('\n', Qt::SkipEmptyParts)) {
        QStringList fields{QString()};
        bool quoted = false;
        for (QChar c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                fields << QString();
            else if (c != '\r')
                fields.last() += c;
        }
        rows << fields;
    }
    return rows;
}

} // namespace

TEST(ManualExamples, PrintWhatTheManualShows) {
    vemosim::Simulator sim;
    ASSERT_TRUE(sim.Start());
    const QString port = QString::fromStdString(sim.PortPath());
    QTemporaryDir home;
    const QDir dir(home.path());
    const QString fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";
    for (const char* name : {"sim_export.csv", "sim_handmade.csv"})
        ASSERT_TRUE(QFile::copy(fixtures + name, dir.filePath(name)));
    ASSERT_EQ(Cli({"download", "--port", port, "--out", dir.path()}).status, 0);

    // The manual's recordings were downloaded on its own day; these on today.
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    auto ofToday = [&](QString text) {
        return text.replace(ManualDate, today).replace("/dev/pts/3", port).replace("/dev/ttyUSB0",
                                                                                   port);
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.path());
    env.insert("PATH", QFileInfo(VEMO_CLI).absolutePath() + ":" + env.value("PATH"));
    env.insert("QT_QPA_PLATFORM", "offscreen");

    int count = 0;
    QDir manual(VEMO_MANUAL_DIR);
    for (const QString& name : manual.entryList({"*.md"}, QDir::Files, QDir::Name)) {
        for (const Example& example : Examples(manual.filePath(name))) {
            ++count;
            SCOPED_TRACE((example.where + ": " + example.command).toStdString());
            QProcess shell;
            shell.setProcessEnvironment(env);
            shell.setWorkingDirectory(dir.path());
            shell.setProcessChannelMode(QProcess::MergedChannels);
            shell.start("bash", {"-c", ofToday(example.command)});
            ASSERT_TRUE(shell.waitForFinished(60000));
            const QString printed = QString::fromUtf8(shell.readAll());
            EXPECT_EQ(shell.exitCode(), 0) << printed.toStdString();
            if (example.shown) {
                EXPECT_EQ(printed, example.output.isEmpty()
                                       ? QString()
                                       : ofToday(example.output.join('\n')) + '\n');
            }
            if (example.table.isEmpty()) continue;
            const QList<QStringList> rows =
                ReadCsv(dir.filePath(WritesCsv.match(example.command).captured(1)));
            ASSERT_EQ(rows.size(), example.table.value(0).size());
            for (int r = 0; r < rows.size(); ++r)
                for (int field = 0; field < example.table.size(); ++field)
                    EXPECT_EQ(rows[r].value(field), ofToday(example.table[field].value(r)))
                        << "logbook row " << r << ", field " << field;
        }
    }
    EXPECT_GE(count, 8) << "the examples were not found in " << VEMO_MANUAL_DIR;
}
