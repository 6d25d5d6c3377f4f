// PNG, SVG and PDF export, each read back by something other than the code that wrote it:
// QImage's PNG reader, an XML parser, and poppler's pdftotext and pdfinfo.
#include "QtTestApp.h"

#include "data/AppState.h"
#include "plot/Export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>

using namespace vemo;

namespace {

// What the SVG holds, read with a plain XML parser.
struct SvgContent {
    bool wellFormed = false;
    QString width, height;
    QStringList texts;
    int paths = 0;
    int clippedPaths = 0;    // paths inside a group with a clip path
    QStringList clipRects;   // "x y w h" of each clip path's rectangle
    QStringList clipStrokes; // stroke colours of the groups inside clipped groups
};

SvgContent ReadSvg(const QString& fileName) {
    SvgContent c;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return c;
    QXmlStreamReader xml(&file);
    int clipDepth = 0, depth = 0;
    QString inClipPath;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            const auto name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (name == u"svg") {
                c.width = a.value("width").toString();
                c.height = a.value("height").toString();
            } else if (name == u"g" && a.hasAttribute("clip-path")) {
                if (clipDepth == 0) clipDepth = depth;
            } else if (name == u"g" && clipDepth && a.hasAttribute("stroke")) {
                c.clipStrokes << a.value("stroke").toString();
            } else if (name == u"path") {
                ++c.paths;
                if (clipDepth) ++c.clippedPaths;
            } else if (name == u"text") {
                c.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                --depth;
            } else if (name == u"clipPath") {
                inClipPath = a.value("id").toString();
            } else if (name == u"rect" && !inClipPath.isEmpty()) {
                c.clipRects << QStringList{a.value("x").toString(), a.value("y").toString(),
                                           a.value("width").toString(),
                                           a.value("height").toString()}
                                   .join(' ');
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == u"clipPath") inClipPath.clear();
            if (depth == clipDepth) clipDepth = 0;
            --depth;
        }
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

bool Neutral(const QString& colour) {
    const QColor c(colour);
    return c.red() == c.green() && c.green() == c.blue();
}

class VectorExport : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        App.ShowInfo = true;
        App.ShowBackground = false;
        App.ShowAvgROC = false;
        // The placeholder ramp 0..20 in blue, seen through a window that cuts it on the right
        // and at the top, so the trace runs out of the plot area.
        doc.CreateDataSet();
        doc.TimeMin = 0;
        doc.TimeMax = 12;
        doc.AltMin = 0;
        doc.AltMax = 15;
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { App.ShowBackground = false; }

    QString Write(const char* name, int type, bool colour = true) {
        PrintSettings s; // 7 x 3.5 inches
        s.PrtColor = colour;
        const QString path = dir.filePath(name);
        ExportPlot(doc, s, path, type);
        return path;
    }

    PlotDocument doc;
    QTemporaryDir dir;
};

} // namespace

TEST_F(VectorExport, PngIsTheExportBitmapLosslessAtHundredPixelsPerInch) {
    const QImage png(Write("p.png", ExportPng), "PNG");
    const QImage bmp(Write("p.bmp", ExportBitmap), "BMP");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(700, 350));
    EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 100.0, 0.1);
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), bmp.convertToFormat(QImage::Format_RGB32));

    // Monochrome and the logo switch reach the PNG as they reach the other bitmaps.
    const QImage mono(Write("m.png", ExportPng, false), "PNG");
    EXPECT_EQ(mono.pixelColor(300, 200).rgb(), qRgb(255, 255, 255));
    App.ShowBackground = true;
    const QImage logo(Write("l.png", ExportPng), "PNG");
    EXPECT_NE(logo.pixelColor(5, 150).rgb(), qRgb(255, 255, 255));
}

TEST_F(VectorExport, SvgHoldsThePlotsTextsAndItsTraceAsAClippedPath) {
    const SvgContent svg = ReadSvg(Write("p.svg", ExportSvg));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.width, "177.8mm"); // 7 inches
    EXPECT_EQ(svg.height, "88.9mm");
    for (const char* text : {"Altitude versus Time", "Time (sec)", "Altitude (Feet)",
                             "Created by Vemo - Get an Altitude!", "12.0"})
        EXPECT_TRUE(svg.texts.contains(text))
            << text << " in " << svg.texts.join('|').toStdString();
    EXPECT_GT(svg.paths, 0);
    // The trace leaves the plot area; a clip path of the plot rectangle keeps it inside.
    EXPECT_EQ(svg.clipRects, QStringList{"105 61 538 232"});
    EXPECT_GT(svg.clippedPaths, 0);
    EXPECT_TRUE(svg.clipStrokes.contains("#0000ff")) << svg.clipStrokes.join(' ').toStdString();

    const SvgContent mono = ReadSvg(Write("m.svg", ExportSvg, false));
    ASSERT_TRUE(mono.wellFormed);
    ASSERT_FALSE(mono.clipStrokes.isEmpty());
    EXPECT_TRUE(std::all_of(mono.clipStrokes.begin(), mono.clipStrokes.end(), Neutral))
        << mono.clipStrokes.join(' ').toStdString();
}

TEST_F(VectorExport, PdfIsOnePageOfThePlotsSizeWithItsTextsAsText) {
    const QString pdf = Write("p.pdf", ExportPdf);
    const QString text = Poppler("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains("Altitude versus Time")) << text.toStdString();
    EXPECT_TRUE(text.contains("Created by Vemo - Get an Altitude!"));
    const QString info = Poppler("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+504 x 252 pts")))
        << info.toStdString();

    // Vectors: no picture inside unless the logo is asked for.
    const auto images = [](const QString& file) {
        return Poppler("pdfimages", {"-list", file}).split('\n', Qt::SkipEmptyParts).size() - 2;
    };
    EXPECT_EQ(images(pdf), 0);
    App.ShowBackground = true;
    EXPECT_EQ(images(Write("l.pdf", ExportPdf)), 1);
}

TEST_F(VectorExport, RefusedSizesLeaveNoFile) {
    PrintSettings s;
    s.PrtWidth = 0.0;
    for (int type : {ExportPng, ExportSvg, ExportPdf}) {
        const QString path = dir.filePath(QString("z.") + ExportExtension(type));
        EXPECT_THROW(ExportPlot(doc, s, path, type), OutputError) << type;
        EXPECT_FALSE(QFile::exists(path)) << type;
    }
}
