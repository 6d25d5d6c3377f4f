// Set files and plot files: exact bytes written, what loading restores, and hostile input.
#include "data/DataFile.h"
#include "tests/Unprivileged.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace vemo;
using namespace std::string_literals;

namespace {

std::string Fixture(const char* name) {
    std::ifstream f(std::string(VEMO_TEST_DATA) + "/fixtures/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string SetBlock(const PlotDocument& doc, int k) {
    std::string out;
    WriteSetBlock(doc, k, out);
    return out;
}

std::string PlotText(const PlotDocument& doc) {
    std::string out;
    WritePlotFile(doc, out);
    return out;
}

// A document with one set of n samples (time i, altitude 10 i) and no placeholder.
Signal* SetWithSamples(PlotDocument& doc, int n) {
    Signal* alt = doc.CreateDataSet();
    alt->Samples.Clear();
    for (int i = 0; i < n; ++i)
        alt->Samples.Append(i, 10.0 * i);
    return alt;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

TEST(SetFileWrite, SetBlockBytesWithTriggersNotesAndClimbMarks) {
    PlotDocument doc;
    doc.TimeMin = 0;
    doc.AltMin = -2.5;
    doc.TimeMax = 120;
    doc.AltMax = 1e7;
    Signal* alt = SetWithSamples(doc, 3);
    alt->Name = "Flight";
    alt->Note1 = "one";
    alt->Note3 = "max=20";
    alt->Samples.PeakMarks[2] = 1;
    alt->ClimbMarks[5] = {2, 0, 1};
    alt->ClimbMarks[1] = {0, 1, 1};
    alt->TriggerSignal->Samples.Append(0.5, 99); // attaches to the sample at time 1
    EXPECT_EQ(SetBlock(doc, 0), "#Flight\r\n#Time (sec)\r\n#Altitude (Feet)\r\n#one\r\n#\r\n"
                                "#max=20\r\n#0,-2.5,120,1e+07,1\r\n"
                                "   0.0000,    0.0000, 0, 0\r\n"
                                "   1.0000,   10.0000, 1, 0\r\n"
                                "   2.0000,   20.0000, 0, 1\r\n"
                                "#C 0, 1\r\n#C 2, 0\r\n");
}

TEST(SetFileWrite, HiddenTriggersWriteThreeColumnsAndDropTheEntries) {
    PlotDocument doc;
    Signal* alt = SetWithSamples(doc, 2);
    alt->TriggerSignal->Visible = 0;
    alt->TriggerSignal->Samples.Append(0, 0);
    const auto lines = Lines(SetBlock(doc, 0));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[6], "#0,0,20,20,0");
    EXPECT_EQ(lines[7], "   0.0000,    0.0000, 0");
    EXPECT_EQ(lines[8], "   1.0000,   10.0000, 0");
}

TEST(SetFileWrite, TwoTriggersBetweenTwoSamplesFlagConsecutiveSamples) {
    PlotDocument doc;
    Signal* alt = SetWithSamples(doc, 4);
    alt->TriggerSignal->Samples.Append(1.2, 0);
    alt->TriggerSignal->Samples.Append(1.7, 0);
    alt->TriggerSignal->Samples.Append(9.0, 0); // after the last sample: lost
    const auto lines = Lines(SetBlock(doc, 0));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[8], "   1.0000,   10.0000, 0, 0");
    EXPECT_EQ(lines[9], "   2.0000,   20.0000, 1, 0");
    EXPECT_EQ(lines[10], "   3.0000,   30.0000, 1, 0");

    PlotDocument back;
    back.Clear();
    ReadDataText(back, SetBlock(doc, 0));
    const SampleStore& t = back.TrigSignal(0)->Samples;
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Time[0], 2.0);
    EXPECT_EQ(t.Alt[0], 20.0);
    EXPECT_EQ(t.Time[1], 3.0);
}

TEST(SetFileWrite, ATriggerWhoseTimeIsNotANumberIsSkipped) {
    PlotDocument doc;
    Signal* alt = SetWithSamples(doc, 4);
    for (double t : {std::nan(""), 1.5, 2.0})
        alt->TriggerSignal->Samples.Append(t, 0);
    EXPECT_EQ(Lines(SetBlock(doc, 0))[10], "   3.0000,   30.0000, 1, 0");
}

TEST(SetFileWrite, LineBreaksInTextsDoNotSplitTheHeader) {
    PlotDocument doc;
    Signal* alt = SetWithSamples(doc, 1);
    alt->Note2 = "two\r\nlines";
    PlotDocument back;
    ReadDataText(back, SetBlock(doc, 0));
    EXPECT_EQ(back.AltSignal(0)->Note2, "two  lines");
    EXPECT_EQ(back.AltSignal(0)->Samples.Count(), 1);
}

TEST(SetFileRead, HeaderlessThreeColumnFile) {
    PlotDocument doc;
    doc.CreateDataSet(); // Data000 is already there
    ReadDataText(doc, Fixture("headerless3.csv"));
    ASSERT_EQ(doc.SetCount(), 2);
    const Signal* alt = doc.AltSignal(1);
    EXPECT_EQ(alt->Name, "Data001");
    EXPECT_EQ(alt->Note1 + alt->Note2 + alt->Note3, "");
    EXPECT_EQ(alt->TriggerSignal->Visible, 0);
    EXPECT_EQ(alt->TriggerSignal->Samples.Count(), 0);
    ASSERT_EQ(alt->Samples.Count(), 3);
    EXPECT_EQ(alt->Samples.Time[0], 12.5);
    EXPECT_EQ(alt->Samples.Alt[2], 305.5);
    EXPECT_EQ(alt->Samples.PeakMarks[0], 0);
    EXPECT_EQ(alt->Samples.PeakMarks[1], 1);
    EXPECT_EQ(alt->LineColor, Palette[1]);
}

TEST(SetFileRead, RangeLineWithFourNumbersMeansNoTriggerColumn) {
    PlotDocument doc;
    doc.TimeMax = 77;
    ReadDataText(doc, Fixture("line7_four.csv"));
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->Name, "Old logger");
    EXPECT_EQ(alt->Note3, "c");
    EXPECT_EQ(alt->TriggerSignal->Visible, 0);
    ASSERT_EQ(alt->Samples.Count(), 3);
    EXPECT_EQ(alt->Samples.PeakMarks[1], 1); // third column is the peak mark
    EXPECT_EQ(alt->TriggerSignal->Samples.Count(), 0);
    EXPECT_EQ(doc.TimeMax, 77); // a set block never restores the range
    // A plot without sets takes the first set's unit, and its label.
    EXPECT_EQ(doc.YAxisLabel, "Altitude (Meters)");
}

TEST(SetFileRead, ClimbMarkLinesAnywhereInTheBlock) {
    PlotDocument doc;
    ReadDataText(doc, Fixture("climb_anywhere.csv"));
    const Signal* alt = doc.AltSignal(0);
    ASSERT_EQ(alt->Samples.Count(), 4);
    EXPECT_EQ(alt->Samples.Alt[3], 4.0);
    EXPECT_EQ(alt->Samples.PeakMarks[2], 1);
    const auto& m = alt->ClimbMarks;
    EXPECT_TRUE(m[0].InUse && m[0].FirstSample == 0 && m[0].SecondSample == 3);
    EXPECT_TRUE(m[1].InUse && m[1].FirstSample == 1 && m[1].SecondSample == 2);
    EXPECT_TRUE(m[2].InUse && m[2].FirstSample == 3 && m[2].SecondSample == 0);
    EXPECT_FALSE(m[3].InUse);
    ASSERT_EQ(alt->TriggerSignal->Samples.Count(), 1);
    EXPECT_EQ(alt->TriggerSignal->Samples.Time[0], 1.0);
}

TEST(SetFileRead, PlotFileAppendsSetsAndRestoresThePlot) {
    PlotDocument doc;
    doc.CreateDataSet();
    doc.CreateDataSet();
    doc.SetListBox->Select(1);
    EXPECT_EQ(ReadDataText(doc, Fixture("plot3.csv")).Kind, DataFileKind::Plot);
    ASSERT_EQ(doc.SetCount(), 5);
    EXPECT_EQ(doc.AltSignal(0)->Name, "Data000");
    EXPECT_EQ(doc.AltSignal(2)->Name, "Launch");
    EXPECT_EQ(doc.AltSignal(4)->Name, "Third");
    EXPECT_EQ(doc.SetListBox->Selected(), 0);
    EXPECT_EQ(doc.ActiveSet(), 4);
    EXPECT_EQ(doc.SetListBox->Item(3), "Second");
    EXPECT_EQ(doc.ActiveSetCombo->Item(2), "Launch");

    EXPECT_EQ(doc.Title, "Flight tests");
    EXPECT_EQ(doc.Info2, "");
    EXPECT_EQ(doc.Info3, "Flight 2, max=812");
    EXPECT_EQ(doc.AltMin, -5);
    EXPECT_EQ(doc.TimeMax, 120.5);

    const Signal* second = doc.AltSignal(3);
    EXPECT_EQ(second->LineColor, 32768u);
    EXPECT_EQ(second->LineStyle, LineDash);
    EXPECT_EQ(second->PointColor, 16711680u);
    EXPECT_EQ(second->TriggerSignal->PointColor, 0u);
    EXPECT_EQ(second->TriggerSignal->Visible, 0);
    EXPECT_EQ(second->Samples.Alt[1], 100000.0);
    const Signal* launch = doc.AltSignal(2);
    EXPECT_EQ(launch->TriggerSignal->Samples.Count(), 2);
    EXPECT_EQ(launch->TriggerSignal->Samples.Alt[1], 812.0);
    EXPECT_EQ(launch->TriggerSignal->PointStyle, PointTriangle);
    EXPECT_EQ(doc.AltSignal(4)->TriggerSignal->PointStyle, PointDiamond);
}

TEST(SetFileRead, EverySetReadAdvancesPaletteAndNameCounter) {
    PlotDocument doc;
    ReadDataText(doc, Fixture("plot3.csv"));
    EXPECT_EQ(doc.PaletteIndex, 3);
    EXPECT_EQ(doc.NameCounter, 3);
    ReadDataText(doc, Fixture("line7_four.csv"));
    EXPECT_EQ(doc.AltSignal(3)->LineColor, Palette[3]);
    EXPECT_EQ(doc.CreateDataSet()->Name, "Data004");
}

TEST(SetFileRead, PlotWithoutSetsWritesEightLinesAndLoadsTheTextsOnly) {
    PlotDocument doc;
    doc.Title = "Empty";
    doc.TimeMin = 3;
    const std::string text = PlotText(doc);
    EXPECT_EQ(text, "Vemo Plot\r\n#Empty\r\n#Time (sec)\r\n#Altitude (Feet)\r\n#\r\n#\r\n#\r\n"
                    "#3,0,20,20\r\n");
    PlotDocument other;
    other.CreateDataSet();
    ReadDataText(other, text);
    EXPECT_EQ(other.SetCount(), 1);
    EXPECT_EQ(other.Title, "Empty");
    EXPECT_EQ(other.TimeMin, 3);
}

TEST(SetFileRead, PlotFileLoadedAndSavedAgainIsByteIdentical) {
    const std::string original = Fixture("plot3.csv");
    ASSERT_FALSE(original.empty());
    PlotDocument doc;
    doc.Clear();
    ReadDataText(doc, original);
    EXPECT_EQ(PlotText(doc), original);

    // And a plot the program made itself, with every kind of value.
    PlotDocument made;
    Signal* a = SetWithSamples(made, 50);
    a->Samples.SetAlt(7, -1234.56789);
    a->Samples.SetTime(8, 1.0 / 3.0);
    a->Samples.PeakMarks[9] = 255;
    a->ClimbMarks[0] = {3, 40, 1};
    a->TriggerSignal->Samples.Append(10, 0);
    made.CreateDataSet()->TriggerSignal->Visible = 0;
    made.TimeMin = -0.000125;
    made.AltMax = 123456789;
    const std::string first = PlotText(made);
    PlotDocument loaded;
    loaded.Clear();
    ReadDataText(loaded, first);
    EXPECT_EQ(PlotText(loaded), first);
}

TEST(SetFileRead, HostileInputIsReadInAnOrderlyWay) {
    std::string text = "#" + std::string(40, 'N') + "\r\n#x\r\n#y\r\n#" + std::string(100000, 'a') +
                       "\r\n#\0\1\2\r\n#\r\n#junk,1,2,3,1\r\n"s;
    text += "abc, def\r\n";       // no number: skipped
    text += "5\r\n";              // time only: no sample
    text += "6, x, 1, 1\r\n";     // altitude does not convert: no sample
    text += "6, 60, x\r\n";       // peak mark does not convert: 0
    text += "\r\n   \r\n";        // blank lines: skipped
    text += "7, 70, 300\r\n";     // peak mark keeps its low eight bits
    text += "#C 99, 0\r\n";       // names a sample the set does not have
    text += "#C a, b\r\n";        // does not convert
    text += std::string(3, '\0'); // zero bytes at the end
    PlotDocument doc;
    ReadDataText(doc, text);
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->Name, std::string(19, 'N'));
    EXPECT_EQ(doc.SetListBox->Item(0), std::string(19, 'N'));
    EXPECT_EQ(alt->Note1.size(), 255u);
    EXPECT_EQ(alt->Note2, "");
    // "junk" fails the range line, so there is no trigger column: lines hold time, alt, peak.
    EXPECT_EQ(alt->TriggerSignal->Visible, 0);
    ASSERT_EQ(alt->Samples.Count(), 2);
    EXPECT_EQ(alt->Samples.Time[0], 6.0);
    EXPECT_EQ(alt->Samples.Alt[0], 60.0);
    EXPECT_EQ(alt->Samples.PeakMarks[0], 0);
    EXPECT_EQ(alt->Samples.Alt[1], 70.0);
    EXPECT_EQ(alt->Samples.PeakMarks[1], 300 & 0xFF);
    EXPECT_EQ(alt->FreeClimbMark(), 0);
}

TEST(SetFileRead, FullSetDoesNotSwallowTheRestOfThePlotFile) {
    PlotDocument doc;
    Signal* big = SetWithSamples(doc, MaxSamples);
    big->ClimbMarks[0] = {1, 65535, 1};
    SetWithSamples(doc, 2)->Name = "After";
    std::string text = PlotText(doc);
    // One sample line too many in the first block: passed over, not stored.
    const std::size_t pos = text.find("#C 1, 65535");
    text.insert(pos, "99999.0000,    1.0000, 0, 0\r\n");
    PlotDocument back;
    back.Clear();
    ReadDataText(back, text);
    ASSERT_EQ(back.SetCount(), 2);
    EXPECT_EQ(back.AltSignal(0)->Samples.Count(), MaxSamples);
    EXPECT_EQ(back.AltSignal(0)->Samples.Time.back(), 65535.0);
    EXPECT_TRUE(back.AltSignal(0)->ClimbMarks[0].InUse);
    EXPECT_EQ(back.AltSignal(1)->Name, "After");
}

TEST(SetFileRead, StylesTheProgramDoesNotHaveKeepTheDefaults) {
    PlotDocument doc;
    ReadDataText(doc, "Vemo Plot\n#\n#\n#\n#\n#\n#\n#0,0,1,1\n! -1, 9, 255, -3\n1, 2, 0\n");
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->LineColor, 0x00FFFFFFu);
    EXPECT_EQ(alt->LineStyle, LineSolid);
    EXPECT_EQ(alt->PointColor, 255u);
    EXPECT_EQ(alt->PointStyle, PointNone);
    EXPECT_EQ(alt->TriggerSignal->PointColor, Palette[0]);
}

TEST(SetFileDisk, SaveAndLoadThroughFiles) {
    QTemporaryDir dir;
    PlotDocument doc;
    SetWithSamples(doc, 5)->Name = "Disk";
    const QString path = dir.filePath("Alt.csv");
    QString error;
    ASSERT_TRUE(SaveSetFile(doc, 0, path, &error)) << error.toStdString();
    PlotDocument back;
    back.Clear();
    const LoadResult loaded = LoadDataFile(back, path);
    ASSERT_TRUE(loaded.Done);
    EXPECT_EQ(loaded.Kind, DataFileKind::Set);
    EXPECT_EQ(back.AltSignal(0)->Name, "Disk");
    EXPECT_EQ(back.AltSignal(0)->Samples.Alt[4], 40.0);

    const LoadResult missing = LoadDataFile(back, dir.filePath("missing.csv"));
    EXPECT_FALSE(missing.Done);
    EXPECT_EQ(missing.Kind, DataFileKind::Unread);
    EXPECT_EQ(missing.Error, "Unable to open " + dir.filePath("missing.csv") + "!");
    EXPECT_EQ(back.SetCount(), 1);
    EXPECT_FALSE(SavePlotFile(doc, dir.filePath("gone/Plot.csv"), &error));
    EXPECT_EQ(error, "Unable to open " + dir.filePath("gone/Plot.csv") + "!");
}

TEST(SetFileDisk, FailedWriteLeavesThePreviousFileUnchanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Plot.csv");
    const QByteArray old = "Vemo Plot\r\n#the file the user already had\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    PlotDocument doc;
    SetWithSamples(doc, 5000); // far more than the file size limit below

    // The disk fills up: writes beyond 4 KB fail with EFBIG instead of a signal.
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = SavePlotFile(doc, path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok);
    EXPECT_EQ(error, "Unable to write " + path + "!");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file is left behind";

    // Without the limit the same save replaces the file.
    ASSERT_TRUE(SavePlotFile(doc, path, &error));
    EXPECT_GT(QFileInfo(path).size(), 100000);
}

TEST(SetFileDisk, DefaultNames) {
    EXPECT_EQ(DefaultSetFileName(QDate(2026, 12, 7), 1), "Alt_2026-12-07_1.csv");
    EXPECT_EQ(DefaultPlotFileName(QDate(2026, 12, 7)), "Plot_2026-12-07.csv");
}

// Saved in place where the folder takes no new file from the user, else replaced whole.
TEST(SetFileDisk, SavesAWritableFileInAFolderTheUserMayNotWrite) {
    const auto user = FindUnprivilegedUser();
    if (!user) GTEST_SKIP() << "this check needs an account without root's rights (nobody)";
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.csv");
    QFile(path).open(QIODevice::WriteOnly);
    const QByteArray folder = QFile::encodeName(dir.path()), file = QFile::encodeName(path);
    if (!user->OwnProcess) {
        ASSERT_EQ(chown(file.constData(), user->Uid, user->Gid), 0);
    }
    PlotDocument doc;
    SetWithSamples(doc, 3);
    const auto inode = [&] {
        struct stat st {};
        ::stat(file.constData(), &st);
        return st.st_ino;
    };
    // Saved as the user into the folder with the given mode: true when the file was kept.
    auto saveKeepsFile = [&](mode_t mode) {
        EXPECT_EQ(chmod(folder.constData(), mode), 0);
        const ino_t before = inode();
        EXPECT_TRUE(RunAsUser(*user, [&] { return SavePlotFile(doc, path, nullptr); }));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll().toStdString() == PlotText(doc));
        return before == inode();
    };
    EXPECT_TRUE(saveKeepsFile(user->OwnProcess ? 0555 : 0755)) << "written in place";
    EXPECT_FALSE(saveKeepsFile(0777)) << "replaced by a new file";
    chmod(folder.constData(), 0700);
}

// A spreadsheet program that saves a set file in UTF-8 puts a byte-order mark before it: the
// file is still a set file, and its texts become 8-bit text.
TEST(SetFileRead, AUtf8FileWithAByteOrderMark) {
    PlotDocument doc;
    const LoadResult r = ReadDataText(
        doc, "\xef\xbb\xbf#Flug \xc3\xbc"
             "ber \xc3\x85re\r\n#Time (seconds)\r\n#Altitude (meters)\r\n#\xe2\x82\xac 5 "
             "\xce\xa9\r\n#\r\n#\r\n#0,0,1,1,0\r\n0, 1, 0\r\n");
    EXPECT_EQ(r.Kind, DataFileKind::Set);
    EXPECT_EQ(doc.AltSignal(0)->Name, "Flug \xfc"
                                      "ber \xc5re");
    EXPECT_EQ(doc.AltSignal(0)->Note1, "\x80 5 ?"); // the euro sign in Windows-1252, no omega
}
