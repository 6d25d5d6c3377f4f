// The user manual's vemo-cli examples, typed in a shell as a reader types them: in a folder
// holding the files they name (the simulated module's recordings, downloaded there, and the
// simulator exports among the fixtures), with the simulated module's port for the manual's.
// A fenced block with "$ vemo-cli" lines is a transcript: each "$ " line a command, the lines
// up to the next one what it prints. A block with "vemo-cli" lines is a script whose output is
// not shown. Every command must succeed. A table right after a block whose last command writes
// "> FILE.csv" shows that file, each of its rows as a column.
#include "CliRun.h"
#include "sim/Simulator.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QRegularExpression WritesCsv(">\\s*(\\S+\\.csv)");

struct Example {
    QString where, command;
    bool shown; // the manual shows what it prints
    QStringList output;
    QList<QStringList> table; // the table after it, row by row
};

std::vector<Example> Examples(const QString& chapter) {
    const QStringList lines = QString::fromUtf8(ReadFile(chapter)).split('\n');
    std::vector<Example> examples;
    for (int i = 0, end = 0; i < lines.size(); i = end + 1) {
        if (!lines[i].startsWith("```")) {
            end = i;
            continue;
        }
        for (end = i + 1; end < lines.size() && !lines[end].startsWith("```");)
            ++end;
        const QStringList block = lines.mid(i + 1, end - i - 1);
        const bool transcript = !block.filter(QRegularExpression("^\\$ vemo-cli ")).isEmpty();
        if (!transcript && block.filter(QRegularExpression("^vemo-cli ")).isEmpty()) continue;
        for (int j = 0; j < block.size(); ++j) {
            const QString where = QFileInfo(chapter).fileName() + ":" + QString::number(i + j + 2);
            if (!transcript || block[j].startsWith("$ "))
                examples.push_back({where, block[j].mid(transcript ? 2 : 0), transcript, {}, {}});
            else if (!examples.empty())
                examples.back().output << block[j];
        }
        int row = end + 1;
        while (row < lines.size() && lines[row].trimmed().isEmpty())
            ++row;
        for (; !examples.empty() && WritesCsv.match(examples.back().command).hasMatch() &&
               row < lines.size() && lines[row].startsWith('|');
             ++row) {
            QStringList cells = lines[row].split('|');
            for (QString& cell : cells)
                cell = cell.trimmed();
            if (!lines[row].contains("---"))
                examples.back().table << cells.mid(1, cells.size() - 2);
        }
    }
    return examples;
}

// A CSV line's fields; a quoted field may hold commas.
QStringList CsvFields(const QString& line) {
    static const QRegularExpression field("(?:\"([^\"]*)\"|([^,]*))(?:,|$)");
    QStringList fields;
    for (auto it = field.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        fields << m.captured(1) + m.captured(2);
        if (m.capturedEnd() >= line.size()) break;
    }
    return fields;
}

} // namespace

TEST(ManualExamples, PrintWhatTheManualShows) {
    vemosim::Simulator sim;
    ASSERT_TRUE(sim.Start());
    const QString port = QString::fromStdString(sim.PortPath());
    QTemporaryDir home;
    const QDir dir(home.path());
    for (const char* name : {"sim_export.csv", "sim_handmade.csv"})
        ASSERT_TRUE(QFile::copy(QString(VEMO_TEST_DATA) + "/fixtures/" + name, dir.filePath(name)));
    ASSERT_EQ(Cli({"download", "--port", port, "--out", dir.path()}).status, 0);
    // The manual's recordings were downloaded on its day, these today.
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    auto here = [&](QString text) {
        return text.replace("2026-12-08", today)
            .replace("/dev/pts/3", port)
            .replace("/dev/ttyUSB0", port);
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.path());
    env.insert("PATH", QFileInfo(VEMO_CLI).absolutePath() + ":" + env.value("PATH"));

    int count = 0;
    const QDir manual(VEMO_MANUAL_DIR);
    for (const QString& name : manual.entryList({"*.md"}, QDir::Files, QDir::Name)) {
        for (const Example& example : Examples(manual.filePath(name))) {
            ++count;
            SCOPED_TRACE((example.where + ": " + example.command).toStdString());
            QProcess shell;
            shell.setProcessEnvironment(env);
            shell.setWorkingDirectory(dir.path());
            shell.setProcessChannelMode(QProcess::MergedChannels);
            shell.start("bash", {"-c", here(example.command)});
            ASSERT_TRUE(shell.waitForFinished(60000));
            const QString printed = QString::fromUtf8(shell.readAll());
            EXPECT_EQ(shell.exitCode(), 0) << printed.toStdString();
            if (example.shown) {
                EXPECT_EQ(printed,
                          example.output.isEmpty() ? "" : here(example.output.join('\n')) + '\n');
            }
            if (example.table.isEmpty()) continue;
            const QString written = WritesCsv.match(example.command).captured(1);
            const QStringList rows = QString::fromUtf8(ReadFile(dir.filePath(written))).split("\n");
            ASSERT_EQ(rows.size() - 1, example.table.value(0).size()); // and a final line end
            for (int r = 0; r + 1 < rows.size(); ++r)
                for (int field = 0; field < example.table.size(); ++field)
                    EXPECT_EQ(CsvFields(rows[r].trimmed()).value(field),
                              here(example.table[field].value(r)))
                        << written.toStdString() << " row " << r << ", field " << field;
        }
    }
    EXPECT_GE(count, 8) << "the examples were not found in " << VEMO_MANUAL_DIR;
}
