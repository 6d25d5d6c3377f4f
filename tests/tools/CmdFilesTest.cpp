// vemo-cli with the files people bring: exports other programs wrote, files that hold no data,
// texts in one encoding, and what loading left out or found out of order.
#include "CliRun.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString HandMade = QString(VEMO_TEST_DATA) + "/fixtures/sim_handmade.csv";

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

// The hand-made export as another program writes it: its own comment mark, column header,
// field separator and decimal mark. It keeps the first three columns, those with a unit: where
// spaces separate the columns, one without a unit cannot be told apart.
QByteArray Dialect(char mark, const char* header, const QString& sep, char decimal) {
    QString out;
    for (const QString& line :
         QString::fromUtf8(ReadFile(HandMade)).split('\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.split(',');
        if (line.contains("(s),"))
            out += mark + QString::fromUtf8(header);
        else if (line.startsWith('#'))
            out += mark + line.mid(1);
        else
            out += fields.mid(0, 3).join(sep).replace('.', decimal);
        out += "\r\n";
    }
    return out.toUtf8();
}

} // namespace

// The same simulation as other programs, in other languages, write it reads as the same set.
TEST(CliFiles, ExportsAreKnownByTheirStructureNotTheirLanguage) {
    QTemporaryDir dir;
    const std::pair<const char*, QByteArray> variants[] = {
        {"bom.csv", "\xef\xbb\xbf" + ReadFile(HandMade)},
        {"german.csv", Dialect('#', "Zeit (s);H\u00f6he (m);Geschwindigkeit (m/s)", ";", ',')},
        {"french.csv", Dialect('#', "Temps (s);Altitude (m);Vitesse (m/s)", ";", ',')},
        {"tabs.csv", Dialect('#', "Time (s)\tAltitude (m)\tVelocity (m/s)", "\t", '.')},
        {"spaces.csv", Dialect('%', "Time (s)  Altitude (m)  Velocity (m/s)", "   ", ',')},
    };
    const CliRun expected = Cli({"summary", HandMade});
    ASSERT_TRUE(expected.out.contains("Samples:       13\n")) << expected.out.toStdString();
    const QString figures = expected.out.mid(expected.out.indexOf("Samples:"));
    for (const auto& [name, bytes] : variants) {
        SCOPED_TRACE(name);
        const QString path = Write(dir, name, bytes);
        const CliRun r = Cli({"summary", path});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.mid(r.out.indexOf("Samples:")), figures);
        EXPECT_TRUE(r.out.contains("Data set:      Hand-made test rock\n"));
        EXPECT_EQ(r.err, path + ": 1 row skipped (time or altitude not a number, or out of time "
                                "order)\n");
    }
}

// A picture, a text file, an empty file: refused with the reason, and nothing is made of them.
TEST(CliFiles, AFileWithoutDataSamplesIsRefused) {
    QTemporaryDir dir;
    for (const QString& path :
         {Write(dir, "photo.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "\n12, 5\n"),
          Write(dir, "passwd.csv", "root:x:0:0:root:/root:/bin/bash\n1. Introduction\n"),
          Write(dir, "empty.csv", ""), Write(dir, "version.csv", "Version 2\n")}) {
        SCOPED_TRACE(path.toStdString());
        for (const QStringList& command : {QStringList{"summary", path},
                                           {"save", dir.filePath("out.csv"), path},
                                           {"export", path, dir.filePath("out.png")}}) {
            const CliRun r = Cli(command);
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.err, path + " holds no data samples.\n");
            EXPECT_EQ(r.out, "");
        }
        EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
    }
    // An empty set, as a download saves it, is still a set file.
    EXPECT_EQ(Cli({"summary", Write(dir, "emptyset.csv",
                                    "#D\r\n#T\r\n#Altitude (feet)\r\n#\r\n#\r\n"
                                    "#\r\n#0,0,20,20,0\r\n")})
                  .status,
              0);
}

// Names and notes are 8-bit text in the files; what vemo-cli prints is UTF-8.
TEST(CliFiles, ALogbookReadsBackInUtf8) {
    QTemporaryDir dir;
    const QString set = Write(dir, "\u00c5re.csv",
                              "#Flug \xfc"
                              "ber \xc5re\r\n#T\r\n#Altitude (feet)"
                              "\r\n#\r\n#K\xf6ln\r\n#\r\n#0,0,2,100,0\r\n"
                              "0, 0, 0\r\n1, 90, 0\r\n2, 0, 0\r\n");
    const CliRun logbook = Cli({"summary", "--csv", set});
    const QByteArray bytes = logbook.out.toUtf8();
    EXPECT_TRUE(bytes.contains(set.toUtf8() + ",Flug \xc3\xbc"
                                              "ber \xc3\x85re,"))
        << bytes.constData();
    EXPECT_TRUE(bytes.contains(",K\xc3\xb6ln,3,feet,")) << bytes.constData();
    if (QStandardPaths::findExecutable("python3").isEmpty()) return;
    const char* script =
        "import csv, sys\nr = list(csv.reader(open(sys.argv[1], encoding='utf-8', "
        "newline='')))[1]\nsys.stdout.buffer.write('|'.join((r[0], r[1], r[3])).encode())";
    const CliRun python = RunProgram("python3", {"-c", script, Write(dir, "logbook.csv", bytes)});
    EXPECT_EQ(python.out, set + "|Flug \u00fcber \u00c5re|K\u00f6ln") << python.err.toStdString();
}

// What did not fit, and times out of order, are said on standard error by each command that
// loads; the summary says it of the set too.
TEST(CliFiles, LoadingSaysWhatItLeftOutAndWhatIsOutOfOrder) {
    QTemporaryDir dir;
    QByteArray big;
    for (int i = 0; i < 70000; ++i)
        big += QByteArray::number(i) + ", 5\r\n";
    const QString path = Write(dir, "big.csv", big);
    const QString dropped =
        path + " holds more than 65536 samples in a data set; 4464 samples were not loaded.\n";
    const CliRun save = Cli({"save", dir.filePath("out.csv"), path});
    EXPECT_EQ(save.status, 0);
    EXPECT_EQ(save.err, dropped);
    EXPECT_EQ(Cli({"summary", path}).err, dropped);

    const QString shuffled =
        Write(dir, "shuffled.csv", "0, 0\r\n2, 20\r\n1, 10\r\n5, 10\r\n4, 20\r\n");
    const CliRun summary = Cli({"summary", shuffled});
    EXPECT_EQ(summary.err, shuffled + ": 2 samples are out of time order.\n");
    EXPECT_TRUE(
        summary.out.contains("Samples:       5 (2 out of time order, taken in time order)\n"))
        << summary.out.toStdString();
}
