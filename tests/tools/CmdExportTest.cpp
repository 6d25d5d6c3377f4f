// vemo-cli export: pictures from set and plot files, the options, and the exit statuses.
#include "CliRun.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ExportRun {
    int status = -1;
    QByteArray err;
};

ExportRun Export(const QStringList& args) {
    QProcess p;
    p.start(VEMO_CLI, QStringList{"export"} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

const QString Fixtures = QString(VEMO_TEST_DATA) + "/fixtures/";

// Pixels in the rectangle that are clearly the given colour (anti-aliased text included).
int Count(const QImage& img, QRect r, QRgb want) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (std::abs(qRed(c) - qRed(want)) + std::abs(qGreen(c) - qGreen(want)) +
                    std::abs(qBlue(c) - qBlue(want)) <
                90)
                ++n;
        }
    return n;
}

bool Neutral(const QImage& img, QRect r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) return false;
        }
    return true;
}

} // namespace

TEST(CliExport, SetFileIsAutoRangedAndWrittenAtSevenByThreeAndAHalfInches) {
    QTemporaryDir dir;
    const QString out = dir.filePath("set.bmp");
    const ExportRun r = Export({Fixtures + "headerless3.csv", out});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    const QImage img(out);
    ASSERT_EQ(img.size(), QSize(700, 350));
    // Samples from 12.5 s to 14.5 s fill the width once ranged: the blue line crosses the
    // left part of the plot area, which the unranged 0 .. 20 s would leave empty.
    EXPECT_GT(Count(img, QRect(200, 62, 1, 229), qRgb(0, 0, 255)), 0);
}

TEST(CliExport, TypeFollowsTheExtensionAndSizeTheOptions) {
    QTemporaryDir dir;
    const char* formats[] = {"JPEG", "GIF", "BMP", "PNG"};
    const char* names[] = {"a.jpg", "a.gif", "a.bmp", "a.png"};
    for (int i = 0; i < 4; ++i) {
        const QString out = dir.filePath(names[i]);
        ASSERT_EQ(
            Export({Fixtures + "plot3.csv", out, "--width", "2.5", "--height", "1.25"}).status, 0);
        QImage img;
        ASSERT_TRUE(img.load(out, formats[i])) << names[i];
        EXPECT_EQ(img.size(), QSize(250, 125)) << names[i];
    }
    // The vector types: an SVG of 2.5 inches and a PDF page of 180 x 90 points.
    const QString svg = dir.filePath("a.svg"), pdf = dir.filePath("a.PDF");
    ASSERT_EQ(Export({Fixtures + "plot3.csv", svg, "--width", "2.5"}).status, 0);
    EXPECT_TRUE(ReadFile(svg).contains("<svg width=\"63.5mm\""));
    ASSERT_EQ(Export({Fixtures + "plot3.csv", pdf, "--width", "2.5", "--height", "1.25"}).status,
              0);
    EXPECT_TRUE(ReadFile(pdf).startsWith("%PDF-"));
    EXPECT_TRUE(ReadFile(pdf).contains("/MediaBox [0 0 180.000000 90.000000]"));
}

TEST(CliExport, MonoInfoLogoAndSpeedOptions) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.bmp"), mono = dir.filePath("mono.bmp");
    const QString noInfo = dir.filePath("noinfo.bmp"), logo = dir.filePath("logo.bmp");
    const QString speed = dir.filePath("speed.bmp");
    ASSERT_EQ(Export({Fixtures + "plot3.csv", plain}).status, 0);
    ASSERT_EQ(Export({Fixtures + "plot3.csv", mono, "--mono", "--no-info"}).status, 0);
    ASSERT_EQ(Export({Fixtures + "plot3.csv", noInfo, "--no-info"}).status, 0);
    ASSERT_EQ(Export({Fixtures + "plot3.csv", logo, "--logo"}).status, 0);
    ASSERT_EQ(Export({Fixtures + "plot3.csv", speed, "--speed"}).status, 0);
    const QImage p(plain), m(mono), n(noInfo), l(logo), v(speed);

    // The info lines of this plot are red; the lower left corner holds Info2 and Info3.
    const QRect corner(0, 300, 100, 49);
    EXPECT_GT(Count(p, corner, qRgb(255, 0, 0)), 10);
    EXPECT_EQ(Count(n, corner, qRgb(255, 0, 0)), 0);

    // Monochrome: white background, black frame, and no colour left inside the plot area.
    EXPECT_EQ(m.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(m.pixel(105, 200), qRgb(0, 0, 0));
    EXPECT_FALSE(Neutral(p, QRect(106, 62, 535, 229)));
    EXPECT_TRUE(Neutral(m, QRect(106, 62, 535, 229)));

    // The logo shows through the plot's empty background.
    EXPECT_EQ(p.pixel(5, 150), qRgb(255, 255, 255));
    EXPECT_NE(l.pixel(5, 150), qRgb(255, 255, 255));

    // The speed's axis takes the right side; the altitude's stays as it was.
    EXPECT_EQ(v.copy(0, 0, 100, 350), p.copy(0, 0, 100, 350));
    EXPECT_NE(v.copy(600, 0, 100, 300), p.copy(600, 0, 100, 300));
}

TEST(CliExport, ExitStatusesAndMessages) {
    QTemporaryDir dir;
    const QString in = Fixtures + "plot3.csv";
    EXPECT_EQ(Export({}).status, 1);
    EXPECT_EQ(Export({in}).status, 1);
    EXPECT_EQ(Export({in, dir.filePath("a.tif")}).status, 1);
    EXPECT_EQ(Export({in, dir.filePath("a.bmp"), "--width"}).status, 1);
    EXPECT_EQ(Export({in, dir.filePath("a.bmp"), "--width", "wide"}).status, 1);
    EXPECT_EQ(Export({in, dir.filePath("a.bmp"), "--colour"}).status, 1);
    const ExportRun zero = Export({in, dir.filePath("a.bmp"), "--height", "0"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_TRUE(zero.err.contains("at least 0.01 inch")) << zero.err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath("a.bmp")));

    const ExportRun missing = Export({dir.filePath("none.csv"), dir.filePath("a.bmp")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Unable to open " + dir.filePath("none.csv").toLocal8Bit() + "!\n");
    const QString unwritable = dir.filePath("no/folder/a.gif");
    const ExportRun write = Export({in, unwritable});
    EXPECT_EQ(write.status, 2);
    EXPECT_EQ(write.err, "Unable to write " + unwritable.toLocal8Bit() + "!\n");
}
