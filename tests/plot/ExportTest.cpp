// Picture export: sizes at 100 pixels per inch, the six formats read back by their own
// decoders, monochrome output, refusals and the file name rules.
#include "PictureFiles.h"
#include "QtTestApp.h"

#include "plot/Export.h"
#include "plot/ui/OutputActions.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
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
        doc.CreateDataSet(); // the placeholder ramp 0..20 in the first palette colour
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const char* name) const { return dir.filePath(name); }
    // Exported at the default 7 x 3.5 inches.
    QString Write(const char* name, int type, bool colour = true) {
        PrintSettings s;
        s.PrtColor = colour;
        ExportPlot(doc, s, Path(name), type, &RenderPlot, switches);
        return Path(name);
    }

    PlotDocument doc;
    PlotSwitches switches; // the exports' display switches
    QTemporaryDir dir;
};

bool IsNeutral(QRgb c) {
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

// What the SVG holds, read with a plain XML parser.
struct SvgContent {
    bool wellFormed = false;
    QString size; // "width x height"
    QStringList texts;
    QStringList clipRects;   // "x y w h" of each clip path's rectangle
    QStringList clipStrokes; // stroke colours of the groups inside a clipped group
    int paths = 0, clippedPaths = 0;
};

SvgContent ReadSvg(const QString& fileName) {
    SvgContent c;
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    QXmlStreamReader xml(&file);
    std::vector<std::pair<QString, bool>> open(1); // each open element, and if it is clipped
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) open.pop_back();
        if (!xml.isStartElement()) continue;
        const QString name = xml.name().toString();
        const QXmlStreamAttributes a = xml.attributes();
        const auto value = [&](const char* key) { return a.value(key).toString(); };
        const bool clipped = open.back().second;
        if (name == "svg") c.size = value("width") + " x " + value("height");
        if (name == "path") ++c.paths, c.clippedPaths += clipped;
        if (name == "g" && clipped && a.hasAttribute("stroke")) c.clipStrokes << value("stroke");
        if (name == "rect" && open.back().first == "clipPath")
            c.clipRects << value("x") + " " + value("y") + " " + value("width") + " " +
                               value("height");
        if (name == "text") {
            c.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            continue; // its end is read
        }
        open.push_back({name, clipped || (name == "g" && a.hasAttribute("clip-path"))});
    }
    c.wellFormed = !xml.hasError();
    return c;
}

// Runs a poppler tool on the file; its standard output, or a failed test when it cannot run.
QString Poppler(const char* tool, const QStringList& args) {
    const QString path = QStandardPaths::findExecutable(tool);
    EXPECT_FALSE(path.isEmpty()) << tool << " is missing: scripts/setup-deps installs it";
    if (path.isEmpty()) return {};
    QProcess p;
    p.start(path, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << tool << ": " << p.readAllStandardError().constData();
    return QString::fromUtf8(p.readAllStandardOutput());
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

TEST_F(Export, PngIsTheBitmapLosslessWithEitherChoice) {
    for (bool colour : {true, false}) {
        switches.ShowBackground = colour; // the logo in colour, none in monochrome
        const QImage png(Write("p.png", ExportPng, colour), "PNG");
        ASSERT_EQ(png.size(), QSize(700, 350));
        EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 100.0, 0.1);
        EXPECT_EQ(png.pixel(5, 150) != qRgb(255, 255, 255), colour); // the logo's left edge
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
                  QImage(Write("p.bmp", ExportBitmap, colour), "BMP")
                      .convertToFormat(QImage::Format_RGB32))
            << colour;
    }
}

TEST_F(Export, SvgHoldsThePlotsTextsAndItsTraceAsAClippedPath) {
    doc.TimeMax = 12; // the ramp 0..20 leaves the plot on the right and at the top
    doc.AltMax = 15;
    const SvgContent svg = ReadSvg(Write("p.svg", ExportSvg));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.size, "177.8mm x 88.9mm");
    for (const char* text : {"Altitude versus Time", "Time (sec)", "Altitude (Feet)",
                             "Created by Vemo - Get an Altitude!", "12.0"})
        EXPECT_TRUE(svg.texts.contains(text))
            << text << " in " << svg.texts.join('|').toStdString();
    EXPECT_GT(svg.paths, 0);
    EXPECT_EQ(svg.clipRects, QStringList{"105 61 538 232"}); // the plot rectangle
    EXPECT_GT(svg.clippedPaths, 0);
    EXPECT_TRUE(svg.clipStrokes.contains("#0000ff")) << svg.clipStrokes.join(' ').toStdString();
    const SvgContent mono = ReadSvg(Write("m.svg", ExportSvg, false));
    ASSERT_FALSE(mono.clipStrokes.isEmpty());
    for (const QString& stroke : mono.clipStrokes)
        EXPECT_TRUE(IsNeutral(QColor(stroke).rgb())) << stroke.toStdString();
}

TEST_F(Export, PdfIsOnePageOfThePlotsSizeWithItsTextsAsTextAndNoPicture) {
    const QString pdf = Write("p.pdf", ExportPdf);
    const QString text = Poppler("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains("Altitude versus Time")) << text.toStdString();
    EXPECT_TRUE(text.contains("Created by Vemo - Get an Altitude!"));
    const QString info = Poppler("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+504 x 252 pts")));
    // Vectors: no picture inside unless the logo is asked for.
    const auto images = [](const QString& file) {
        return Poppler("pdfimages", {"-list", file}).split('\n', Qt::SkipEmptyParts).size() - 2;
    };
    EXPECT_EQ(images(pdf), 0);
    switches.ShowBackground = true;
    EXPECT_EQ(images(Write("l.pdf", ExportPdf)), 1);
}

TEST_F(Export, RefusesPicturesWithoutAreaOrTooLarge) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<double, double>> sizes = {
        {0.0, 3.5}, {7.0, 0.0},  {-7.0, 3.5},    {0.009, 3.5},  {nan, 3.5},
        {7.0, inf}, {655.01, 1}, {1e300, 1e300}, {300.0, 300.0}}; // the last: 9e8 pixels
    int n = 0;
    for (auto [w, h] : sizes)
        for (int type = 1; type <= ExportFileTypes; ++type) {
            PrintSettings s;
            s.PrtWidth = w;
            s.PrtHeight = h;
            const QString name =
                Path("refused") + QString::number(n++) + "." + ExportExtension(type);
            try {
                ExportPlot(doc, s, name, type);
                ADD_FAILURE() << w << " x " << h << " was exported as " << type;
            } catch (const OutputError& e) {
                EXPECT_FALSE(std::string(e.what()).empty());
            }
            EXPECT_FALSE(QFile::exists(name)) << w << " x " << h << " as " << type;
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
    EXPECT_EQ(ExportTypeOfName("gif"), 0);
    EXPECT_EQ(ExportTypeOfName("a.tif"), 0);
    // Each type's extension names it again; the dialog lists the types in their numbered order.
    const QStringList& filters = ExportFilterList();
    ASSERT_EQ(filters.size(), ExportFileTypes);
    for (int type = 1; type <= ExportFileTypes; ++type) {
        const QString ext = ExportExtension(type);
        EXPECT_EQ(ExportTypeOfName("a." + ext.toUpper()), type) << type;
        EXPECT_TRUE(filters[type - 1].endsWith("(*." + ext + ")"))
            << filters[type - 1].toStdString();
    }
}
