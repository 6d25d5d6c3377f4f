// Picture export: sizes at 100 pixels per inch, the three file formats read back with their
// own decoders, monochrome output, refusals and the file name rules.
#include "PictureFiles.h"
#include "QtTestApp.h"

#include "data/AppState.h"
#include "plot/Export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <set>

using namespace vemo;

namespace {

using Rgb = std::array<int, 3>;

Rgb RgbOf(QRgb c) {
    return {qRed(c), qGreen(c), qBlue(c)};
}
// The colour the GIF encoder gives a pixel whose cell it holds exactly.
Rgb CellFloor(QRgb c) {
    return {qRed(c) & ~7, qGreen(c) & ~3, qBlue(c) & ~7};
}

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        App.ShowInfo = true;
        App.ShowBackground = false;
        App.ShowAvgROC = false;
        doc.CreateDataSet(); // the placeholder ramp 0..20 in the first palette colour
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { App.ShowBackground = false; }

    QString Path(const char* name) const { return dir.filePath(name); }

    PlotDocument doc;
    QTemporaryDir dir;
};

bool IsNeutral(QRgb c) {
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

} // namespace

TEST_F(Export, DefaultSizeInEveryFormatDecodesAtSevenHundredByThreeHundredFifty) {
    PrintSettings s; // 7 x 3.5 inches
    s.PrtColor = true;
    ExportPlot(doc, s, Path("p.bmp"), ExportBitmap);
    ExportPlot(doc, s, Path("p.jpg"), ExportJpeg);
    ExportPlot(doc, s, Path("p.gif"), ExportGif);

    QImage bmp;
    ASSERT_TRUE(bmp.load(Path("p.bmp"), "BMP"));
    EXPECT_EQ(bmp.size(), QSize(700, 350));
    EXPECT_EQ(FileHead(Path("p.bmp"), 2), "BM");
    // The frame of the plot area runs from (105, 61) to (642, 292) in the grid colour.
    EXPECT_EQ(RgbOf(bmp.pixel(105, 150)), (Rgb{128, 128, 128}));
    EXPECT_EQ(RgbOf(bmp.pixel(642, 150)), (Rgb{128, 128, 128}));
    EXPECT_EQ(RgbOf(bmp.pixel(3, 3)), (Rgb{255, 255, 255}));

    const DecodedJpeg jpg = DecodeJpegFile(Path("p.jpg"));
    ASSERT_TRUE(jpg.ok);
    EXPECT_EQ(jpg.width, 700);
    EXPECT_EQ(jpg.height, 350);
    EXPECT_EQ(jpg.components, 3);
    EXPECT_FALSE(jpg.progressive);
    // Quality 90 scales the standard tables to a fifth: 16 -> 3 and 17 -> 3 (75 gives 8 and 9).
    EXPECT_EQ(jpg.lumaQ0, 3);
    EXPECT_EQ(jpg.chromaQ0, 3);
    // Lossy, but the white background stays white and the frame grey.
    for (int c : jpg.at(20, 20))
        EXPECT_GE(c, 245);
    const Rgb frame = jpg.at(105, 180);
    for (int c : frame)
        EXPECT_NEAR(c, 128, 30);

    const DecodedGif gif = DecodeGifFile(Path("p.gif"));
    ASSERT_TRUE(gif.ok);
    EXPECT_EQ(gif.width, 700);
    EXPECT_EQ(gif.height, 350);
    EXPECT_EQ(gif.imageCount, 1);
    EXPECT_EQ(FileHead(Path("p.gif"), 6), "GIF89a");
    EXPECT_EQ(gif.lastByte, 0x3B);
}

TEST_F(Export, HundredPixelsPerInchWhateverTheSize) {
    PrintSettings s;
    s.PrtWidth = 2.5;
    s.PrtHeight = 1.25;
    ExportPlot(doc, s, Path("s.bmp"), ExportBitmap);
    ExportPlot(doc, s, Path("s.jpg"), ExportJpeg);
    ExportPlot(doc, s, Path("s.gif"), ExportGif);
    EXPECT_EQ(QImage(Path("s.bmp")).size(), QSize(250, 125));
    const DecodedJpeg jpg = DecodeJpegFile(Path("s.jpg"));
    EXPECT_TRUE(jpg.ok);
    EXPECT_EQ(QSize(jpg.width, jpg.height), QSize(250, 125));
    const DecodedGif gif = DecodeGifFile(Path("s.gif"));
    EXPECT_TRUE(gif.ok);
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(250, 125));
    // Fractions of a pixel are cut off, never rounded up.
    EXPECT_EQ(ExportPixelSize(1.239, 0.999), QSize(123, 99));
    EXPECT_EQ(ExportPixelSize(0.01, 655.0), QSize(1, 65500));
}

TEST_F(Export, RendersAtTheCornerAtHundredPerInchWithTheColourChoice) {
    static RenderTarget seen;
    static QSize device;
    static int calls;
    calls = 0;
    auto record = [](const RenderTarget& t, const PlotDocument&) {
        seen = t;
        device = QSize(t.Canvas->device()->width(), t.Canvas->device()->height());
        ++calls;
    };
    PrintSettings s;
    s.PrtWidth = 3.333;
    s.PrtHeight = 2.0;
    s.PrtLeft = 0.5; // a page position does not move an exported picture
    s.PrtTop = 0.75;
    s.PrtColor = false;
    ExportPlot(doc, s, Path("r.bmp"), ExportBitmap, record);
    ASSERT_EQ(calls, 1);
    EXPECT_EQ(seen.PpiX, 100);
    EXPECT_EQ(seen.PpiY, 100);
    EXPECT_DOUBLE_EQ(seen.Width, 3.333);
    EXPECT_DOUBLE_EQ(seen.Height, 2.0);
    EXPECT_EQ(seen.Left, 0.0);
    EXPECT_EQ(seen.Top, 0.0);
    EXPECT_FALSE(seen.Colour);
    EXPECT_FALSE(seen.Screen);
    EXPECT_EQ(device, QSize(333, 200));
    // The bitmap reports 100 pixels per inch, so fonts sized in points come out right too.
    const QImage img = RenderExportImage(doc, 1.0, 1.0, true, record);
    EXPECT_EQ(img.logicalDpiX(), 100);
    EXPECT_EQ(img.logicalDpiY(), 100);
    EXPECT_TRUE(seen.Colour);
}

TEST_F(Export, MonochromeHasAWhiteBackgroundAndBlackLines) {
    doc.BGColor = 0x0000FFFF;                 // yellow
    doc.GridColor = 0x000000FF;               // red
    doc.AltSignal(0)->LineColor = 0x00FF0000; // blue
    const QImage colour = RenderExportImage(doc, 7.0, 3.5, true);
    const QImage mono = RenderExportImage(doc, 7.0, 3.5, false);

    // The placeholder ramp runs corner to corner; look along the middle column.
    auto lineRows = [](const QImage& img, QRgb want) {
        int n = 0;
        for (int y = 70; y < 285; ++y)
            if (img.pixel(374, y) == want) ++n;
        return n;
    };
    EXPECT_EQ(colour.pixel(5, 5), qRgb(255, 255, 0));
    EXPECT_EQ(colour.pixel(105, 150), qRgb(255, 0, 0));
    EXPECT_GT(lineRows(colour, qRgb(0, 0, 255)), 0);

    EXPECT_EQ(mono.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(mono.pixel(400, 150), qRgb(255, 255, 255)); // inside the plot area
    EXPECT_EQ(mono.pixel(105, 150), qRgb(0, 0, 0));       // frame
    EXPECT_EQ(mono.pixel(0, 0), qRgb(0, 0, 0));           // background outline
    EXPECT_GT(lineRows(mono, qRgb(0, 0, 0)), 0);
    // With every text in black or empty, nothing coloured is left anywhere.
    int coloured = 0;
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            if (!IsNeutral(mono.pixel(x, y))) ++coloured;
    EXPECT_EQ(coloured, 0);
}

TEST_F(Export, GifOfThePlainPlotHoldsEveryCellExactly) {
    doc.Info1 = "Info line one";
    doc.Info2 = "Info line two";
    const QImage img = RenderExportImage(doc, 7.0, 3.5, true);
    SavePicture(img, Path("plain.gif"), ExportGif);
    std::set<Rgb> cells;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            cells.insert(CellFloor(img.pixel(x, y)));
    ASSERT_LE(cells.size(), 256u) << "the plain plot must fit a palette";

    const DecodedGif gif = DecodeGifFile(Path("plain.gif"));
    ASSERT_TRUE(gif.ok);
    int tableSize = 2;
    while (tableSize < int(cells.size()))
        tableSize *= 2;
    EXPECT_EQ(gif.tableEntries, tableSize);
    const std::set<Rgb> table(gif.table.begin(), gif.table.begin() + long(cells.size()));
    EXPECT_EQ(table, cells);
    // Every pixel shows its own cell: no dithering, and white is written as (248, 252, 248).
    int wrong = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (gif.at(x, y) != CellFloor(img.pixel(x, y)) && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(gif.at(3, 3), (Rgb{248, 252, 248}));
}

TEST_F(Export, PicturesInOtherPixelFormatsAndPaddedRowsKeepTheirPixels) {
    // 333 pixels of three bytes leave every row padded to 1000 bytes.
    QImage img(333, 60, QImage::Format_RGB888);
    const QRgb colours[] = {qRgb(200, 40, 40), qRgb(40, 200, 40), qRgb(40, 40, 200)};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, colours[(x / 111 + y / 30) % 3]);
    ASSERT_NE(img.bytesPerLine(), img.width() * 3);
    SavePicture(img, Path("odd.bmp"), ExportBitmap);
    SavePicture(img, Path("odd.jpg"), ExportJpeg);
    SavePicture(img, Path("odd.gif"), ExportGif);

    const QImage bmp(Path("odd.bmp"));
    const DecodedJpeg jpg = DecodeJpegFile(Path("odd.jpg"));
    const DecodedGif gif = DecodeGifFile(Path("odd.gif"));
    ASSERT_EQ(bmp.size(), img.size());
    ASSERT_TRUE(jpg.ok);
    ASSERT_TRUE(gif.ok);
    ASSERT_EQ(QSize(gif.width, gif.height), img.size());
    for (QPoint p : {QPoint(50, 10), QPoint(160, 10), QPoint(280, 10), QPoint(50, 50),
                     QPoint(160, 50), QPoint(280, 50)}) {
        const QRgb want = img.pixel(p);
        EXPECT_EQ(bmp.pixel(p), want) << p.x() << "," << p.y();
        EXPECT_EQ(gif.at(p.x(), p.y()), CellFloor(want)) << p.x() << "," << p.y();
        const Rgb j = jpg.at(p.x(), p.y());
        const Rgb w = RgbOf(want);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(j[c], w[c], 12) << p.x() << "," << p.y();
    }
}

TEST_F(Export, RefusesPicturesWithoutAreaOrTooLarge) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<double, double>> sizes = {
        {0.0, 3.5}, {7.0, 0.0},  {-7.0, 3.5},    {0.009, 3.5},  {nan, 3.5},
        {7.0, inf}, {655.01, 1}, {1e300, 1e300}, {300.0, 300.0}}; // the last: 9e8 pixels
    int n = 0;
    for (auto [w, h] : sizes) {
        PrintSettings s;
        s.PrtWidth = w;
        s.PrtHeight = h;
        const QString name = Path("refused") + QString::number(n++) + ".bmp";
        try {
            ExportPlot(doc, s, name, ExportBitmap);
            ADD_FAILURE() << w << " x " << h << " was exported";
        } catch (const OutputError& e) {
            EXPECT_FALSE(std::string(e.what()).empty());
        }
        EXPECT_FALSE(QFile::exists(name)) << w << " x " << h;
    }
    EXPECT_THROW(ExportPixelSize(0.5, 0.0099), OutputError);
}

TEST_F(Export, AFailedWriteSaysSoAndAGoodOneReplacesTheOldFileWhole) {
    const QImage img = RenderExportImage(doc, 1.0, 1.0, true);
    const QString missing = dir.filePath("no/such/folder/p.jpg");
    try {
        SavePicture(img, missing, ExportJpeg);
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const OutputError& e) {
        EXPECT_EQ(std::string(e.what()), ("Unable to write " + missing + "!").toStdString());
    }

    const QString name = Path("old.gif");
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500000, 'x')); // longer than the new picture
    }
    SavePicture(img, name, ExportGif);
    const DecodedGif gif = DecodeGifFile(name);
    EXPECT_TRUE(gif.ok);
    EXPECT_EQ(gif.lastByte, 0x3B);
    EXPECT_LT(QFile(name).size(), 500000);
}

TEST(ExportNames, TypeDrivesTheDefaultExtension) {
    EXPECT_STREQ(ExportExtension(ExportBitmap), "bmp");
    EXPECT_STREQ(ExportExtension(ExportJpeg), "jpg");
    EXPECT_STREQ(ExportExtension(ExportGif), "gif");
    EXPECT_EQ(WithDefaultExtension("/tmp/plot", ExportGif), "/tmp/plot.gif");
    EXPECT_EQ(WithDefaultExtension("/tmp/plot.", ExportJpeg), "/tmp/plot.jpg");
    EXPECT_EQ(WithDefaultExtension("/tmp/plot.bmp", ExportGif), "/tmp/plot.bmp");
    EXPECT_EQ(WithDefaultExtension("/tmp/v1.2/plot", ExportBitmap), "/tmp/v1.2/plot.bmp");
    EXPECT_EQ(ExportTypeOfName("a.BMP"), ExportBitmap);
    EXPECT_EQ(ExportTypeOfName("a.jpeg"), ExportJpeg);
    EXPECT_EQ(ExportTypeOfName("a.Jpg"), ExportJpeg);
    EXPECT_EQ(ExportTypeOfName("a.gif"), ExportGif);
    EXPECT_EQ(ExportTypeOfName("a.png"), 0);
    EXPECT_EQ(ExportTypeOfName("gif"), 0);
}
