// vemo-cli with the files people bring: exports other programs wrote, in other languages and
// with other separators; files that hold no data; sets of two units; texts in one encoding;
// and what loading left out or found out of order, said on standard error.
#include "CliRun.h"

#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// The summary's lines that come from the samples (not the file's name or notes).
QStringList Figures(const QString& block) {
    QStringList lines = block.split('\n');
    lines.removeIf([](const QString& l) { return l.startsWith("File:") || l.startsWith("Note:"); });
    return lines;
}

// The hand-made export rewritten: each comment line and each data row (its fields) changed.
QByteArray Rewrite(const std::function<QString(QString)>& comment,
                   const std::function<QString(QStringList)>& row) {
    QString out;
    for (const QString& line : QString::fromUtf8(ReadFile(Fixtures + "sim_handmade.csv")).split('\n')) {
        if (line.isEmpty()) continue;
        out += (line.startsWith('#') ? comment(line) : row(line.split(','))) + "\r\n";
    }
    return out.toUtf8();
}

QString Translated(QString line, const QStringList& words) {
    const QStringList english = {"Time", "Altitude", "Vertical velocity", "Stability margin calibers",
                                 "Event", "occurred at", "seconds"};
    for (int i = 0; i < english.size(); ++i)
        line.replace(english[i], words[i]);
    return line;
}

QString DecimalCommas(QStringList fields, const QString& sep) {
    for (QString& f : fields)
        f.replace('.', ',');
    return fields.join(sep);
}

} // namespace

// The same simulation as four programs and three languages write it reads as the same set.
TEST(CliFiles, ExportsAreKnownByTheirStructureNotTheirLanguage) {
    QTemporaryDir dir;
    const QString plain = Fixtures + "sim_handmade.csv";
    const QByteArray original = ReadFile(plain);
    const auto percent = [](QString l) { return l.replace(0, 1, '%'); };
    const QStringList german = {"Zeit", "H\u00f6he", "Vertikalgeschwindigkeit", "Stabilit\u00e4t",
                                "Ereignis", "trat ein bei", "Sekunden"};
    const QStringList french = {"Temps", "Altitude", "Vitesse verticale", "Marge de stabilit\u00e9",
                                "\u00c9v\u00e9nement", "survenu \u00e0", "secondes"};
    const std::pair<const char*, QByteArray> variants[] = {
        {"bom.csv", "\xef\xbb\xbf" + original},
        {"german.csv",
         Rewrite([&](QString l) { return Translated(l, german).replace(',', ';'); },
                 [](QStringList f) { return DecimalCommas(f, ";"); })},
        {"french.csv",
         Rewrite([&](QString l) { return Translated(l, french).replace(',', ';'); },
                 [](QStringList f) { return DecimalCommas(f, ";"); })},
        {"tabs.csv", Rewrite([](QString l) { return l.replace(',', '\t'); },
                             [](QStringList f) { return f.join('\t'); })},
        // Columns lined up with spaces, and comments as numeric programs write them. A column
        // without a unit cannot be told apart here, so this program leaves it out.
        {"spaces.csv",
         Rewrite([&](QString l) { return percent(l.replace(", Stability margin calibers", "")
                                                     .replace(",Stability margin calibers", "")
                                                     .replace(',', "   ")); },
                 [](QStringList f) { return "  " + f.mid(0, 3).join("   "); })},
    };
    const CliRun expected = Cli({"summary", plain});
    ASSERT_EQ(expected.status, 0);
    ASSERT_TRUE(expected.out.contains("Samples:       13\n")) << expected.out.toStdString();
    for (const auto& [name, bytes] : variants) {
        SCOPED_TRACE(name);
        const QString path = Write(dir, name, bytes);
        const CliRun r = Cli({"summary", path});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(Figures(r.out), Figures(expected.out)) << r.out.toStdString();
        EXPECT_EQ(r.err, path + ": 1 row skipped (time or altitude not a number, or out of time "
                                "order)\n");
        // import-sim writes the set "Load" reads.
        const CliRun imported = Cli({"import-sim", path, dir.filePath("set.csv"), "--unit", "meters"});
        EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
        EXPECT_TRUE(ReadFile(dir.filePath("set.csv")).contains("   6.0000,  120.0000, 1, 0\r\n"));
    }
}

// A picture, a text file, an empty file: refused with the reason, and nothing is made of them.
TEST(CliFiles, AFileWithoutDataSamplesIsRefused) {
    QTemporaryDir dir;
    const QString files[] = {
        Write(dir, "photo.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) +
                                    "\n12, 5\n" + QByteArray(300, '\xff')),
        Write(dir, "passwd.csv", "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1::/:/bin/false\n"),
        Write(dir, "empty.csv", ""),
        Write(dir, "version.csv", "Version 2\n"), // a first letter V makes no plot file
    };
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        const QString reason = path + " holds no data samples.\n";
        const CliRun summary = Cli({"summary", path});
        EXPECT_EQ(summary.status, 2);
        EXPECT_EQ(summary.err, reason);
        EXPECT_EQ(summary.out, "");
        const CliRun save = Cli({"save", dir.filePath("out.csv"), path});
        EXPECT_EQ(save.status, 2);
        EXPECT_EQ(save.err, reason);
        EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
        EXPECT_EQ(Cli({"export", path, dir.filePath("out.png")}).status, 2);
    }
    // A set file of a set with no samples is still a set file.
    const QString empty = Write(dir, "emptyset.csv", "#Data003\r\n#Time (seconds)\r\n"
                                                     "#Altitude (feet)\r\n#\r\n#\r\n#\r\n#0,0,20,20,0\r\n");
    EXPECT_EQ(Cli({"summary", empty}).status, 0);
}

// Every set keeps its own unit: joined into the unit of the first, with a word; summed up in it.
TEST(CliFiles, SetsOfTwoUnitsJoinInTheUnitOfTheFirst) {
    QTemporaryDir dir;
    const auto setFile = [&](const char* name, const char* label) {
        return Write(dir, name, QByteArray("#Flight\r\n#Time (seconds)\r\n#") + label +
                                    "\r\n#\r\n#\r\n#\r\n#0,0,2,100,0\r\n"
                                    "0.0, 0.0, 0\r\n1.0, 100.0, 0\r\n2.0, 0.0, 0\r\n");
    };
    const QString m = setFile("m.csv", "Altitude (meters)"), f = setFile("f.csv", "Altitude (feet)");
    const QString out = dir.filePath("out.csv");
    const CliRun save = Cli({"save", out, m, f});
    EXPECT_EQ(save.status, 0);
    EXPECT_EQ(save.err, f + " was recorded in feet; converted to meters like the other sets.\n");
    const QByteArray text = ReadFile(out);
    EXPECT_EQ(text.count("#Altitude (meters)\r\n"), 3) << text.constData();
    EXPECT_TRUE(text.contains("   1.0000,   30.4800, 0\r\n")) << text.constData();

    EXPECT_TRUE(Cli({"summary", f}).out.contains("Apogee:        100.00 feet at 1.00 s\n"));
    const CliRun joined = Cli({"summary", out});
    EXPECT_TRUE(joined.out.contains("Apogee:        100.00 meters at 1.00 s\n"));
    EXPECT_TRUE(joined.out.contains("Apogee:        30.48 meters at 1.00 s\n"));
}

// Names and notes are 8-bit text in the files; what vemo-cli prints is UTF-8, and texts that
// enter a set (a file's name) become 8-bit text.
TEST(CliFiles, OneEncodingInEachOutput) {
    QTemporaryDir dir;
    const QString set = Write(dir, "\u00c5re.csv", "#Flug \xfc" "ber \xc5re\r\n#Time (seconds)\r\n"
                                                   "#Altitude (feet)\r\n#\r\n#Landung in K\xf6ln\r\n"
                                                   "#\r\n#0,0,2,100,0\r\n0, 0, 0\r\n1, 90, 0\r\n"
                                                   "2, 0, 0\r\n");
    const QString logbook = dir.filePath("logbook.csv");
    QProcess shell;
    shell.setStandardOutputFile(logbook);
    shell.start(VEMO_CLI, {"summary", "--csv", set});
    ASSERT_TRUE(shell.waitForFinished(30000));
    ASSERT_EQ(shell.exitCode(), 0);
    const QByteArray bytes = ReadFile(logbook);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    EXPECT_FALSE(utf8.hasError()) << bytes.constData();
    EXPECT_TRUE(text.contains(set + ",Flug \u00fcber \u00c5re,")) << text.toStdString();
    EXPECT_TRUE(text.contains(",Landung in K\u00f6ln,3,feet,")) << text.toStdString();
    if (!QStandardPaths::findExecutable("python3").isEmpty()) {
        const CliRun python = RunProgram(
            "python3", {"-c",
                        "import csv, sys\n"
                        "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')))\n"
                        "sys.stdout.buffer.write((rows[1][1] + '|' + rows[1][3]).encode('utf-8'))",
                        logbook});
        EXPECT_EQ(python.status, 0) << python.err.toStdString();
        EXPECT_EQ(QString::fromUtf8(python.out.toLocal8Bit()), "Flug \u00fcber \u00c5re|Landung in K\u00f6ln");
    }
    EXPECT_TRUE(Cli({"summary", set}).out.contains("Data set:      Flug \u00fcber \u00c5re\n"));

    // A simulation's file name and design enter the set as 8-bit text.
    QByteArray sim = ReadFile(Fixtures + "sim_handmade.csv");
    sim.replace("Hand-made", "H\xc3\xb6hen");
    const QString export_ = Write(dir, "SkyDart54 \u00c5re-sim.csv", sim);
    ASSERT_EQ(Cli({"import-sim", export_, dir.filePath("out.csv")}).status, 0);
    const QByteArray out = ReadFile(dir.filePath("out.csv"));
    EXPECT_TRUE(out.startsWith("#H\xf6hen test rocket w\r\n")) << out.constData();
    EXPECT_TRUE(out.contains("\r\n#Simulation SkyDart54 \xc5re-sim.csv, 13 samples")) << out.constData();
}

// What did not fit, and times out of order, are said on standard error by every command that
// loads.
TEST(CliFiles, LoadingSaysWhatItLeftOutAndWhatIsOutOfOrder) {
    QTemporaryDir dir;
    QByteArray big = "#Big\r\n#Time (seconds)\r\n#Altitude (feet)\r\n#\r\n#\r\n#\r\n#0,0,1,1,0\r\n";
    for (int i = 0; i < 70000; ++i)
        big += QByteArray::number(i) + ", 5, 0\r\n";
    const QString path = Write(dir, "big.csv", big);
    const QString dropped =
        path + " holds more than 65536 samples in a data set; 4464 samples were not loaded.\n";
    const CliRun save = Cli({"save", dir.filePath("out.csv"), path});
    EXPECT_EQ(save.status, 0);
    EXPECT_EQ(save.err, dropped);
    EXPECT_EQ(Cli({"summary", path}).err, dropped);

    const QString shuffled = Write(dir, "shuffled.csv",
                                   "0, 0\r\n2, 20\r\n1, 10\r\n3, 30\r\n5, 10\r\n4, 20\r\n6, 0\r\n");
    const CliRun summary = Cli({"summary", shuffled});
    EXPECT_EQ(summary.status, 0);
    EXPECT_EQ(summary.err, shuffled + ": 2 samples are out of time order.\n");
    EXPECT_TRUE(summary.out.contains("Samples:       7 (2 out of time order, taken in time order)\n"))
        << summary.out.toStdString();
}
