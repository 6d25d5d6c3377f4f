// Printing: the plot's rectangle in printer pixels, refusals, and a page printed through
// QPrinter into a PDF file.
#include "PictureFiles.h"
#include "QtTestApp.h"

#include "plot/Print.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <limits>

using namespace vemo;

namespace {

PrintSettings Placement(double w, double h, double left, double top, bool colour = true) {
    PrintSettings s;
    s.PrtWidth = w;
    s.PrtHeight = h;
    s.PrtLeft = left;
    s.PrtTop = top;
    s.PrtColor = colour;
    return s;
}

struct Recorded {
    int calls = 0;
    RenderTarget target;
    QPaintDevice* device = nullptr;
};
Recorded recorded;

void Record(const RenderTarget& t, const PlotDocument&) {
    ++recorded.calls;
    recorded.target = t;
    recorded.device = t.Canvas->device();
}

void PreparePdf(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(600);
}

} // namespace

TEST(PrintPlacement, RectangleInPrinterPixelsIsTruncated) {
    // Width 7 and left 0.5 at 600 per inch: columns 300 to 4500.
    const QRect r = PrintRect(600, 600, Placement(7.0, 3.5, 0.5, 0.5));
    EXPECT_EQ(r.x(), 300);
    EXPECT_EQ(r.x() + r.width(), 4500);
    EXPECT_EQ(r.y(), 300);
    EXPECT_EQ(r.height(), 2100);
    // Different resolutions across and down, fractions cut off.
    EXPECT_EQ(PrintRect(300, 150, Placement(1.001, 2.999, 0.33, 0.0)), QRect(99, 0, 300, 449));
    // A plot pushed off the page is not refused: the printer cuts it.
    EXPECT_EQ(PrintRect(100, 100, Placement(2, 1, -1.0, 50.0)), QRect(-100, 5000, 200, 100));
}

TEST(PrintPlacement, RefusesPlotsWithoutAreaOrBeyondAnyPage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const PrintSettings& s :
         {Placement(0, 3.5, 0, 0), Placement(7, -1, 0, 0), Placement(0.0008, 3.5, 0, 0),
          Placement(nan, 3.5, 0, 0), Placement(7, 3.5, nan, 0), Placement(1e9, 3.5, 0, 0),
          Placement(7, 3.5, 0, 1e9), Placement(800, 3.5, 900, 0)})
        EXPECT_THROW(PrintRect(1200, 1200, s), OutputError)
            << s.PrtWidth << " x " << s.PrtHeight << " at " << s.PrtLeft << ", " << s.PrtTop;
}

TEST(PrintPlot, RendersOntoThePrinterAtItsResolutionSizeAndPlace) {
    EnsureQtApp();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    QPrinter printer(QPrinter::HighResolution);
    PreparePdf(printer, pdf);
    PlotDocument doc;
    recorded = {};
    PrintPlot(printer, doc, Placement(4.5, 2.25, 0.5, 1.0, false), Record);
    ASSERT_EQ(recorded.calls, 1);
    EXPECT_EQ(recorded.device, &printer);
    EXPECT_EQ(recorded.target.PpiX, 600);
    EXPECT_EQ(recorded.target.PpiY, 600);
    EXPECT_DOUBLE_EQ(recorded.target.Width, 4.5);
    EXPECT_DOUBLE_EQ(recorded.target.Height, 2.25);
    EXPECT_DOUBLE_EQ(recorded.target.Left, 0.5);
    EXPECT_DOUBLE_EQ(recorded.target.Top, 1.0);
    EXPECT_FALSE(recorded.target.Colour);
    EXPECT_FALSE(recorded.target.Screen);
    EXPECT_EQ(FileHead(pdf, 5), "%PDF-");
}

TEST(PrintPlot, RealPlotMakesAPdfAndARefusedOneSendsNothing) {
    EnsureQtApp();
    QTemporaryDir dir;
    PlotDocument doc;
    doc.CreateDataSet();
    {
        QPrinter printer(QPrinter::HighResolution);
        PreparePdf(printer, dir.filePath("plot.pdf"));
        PrintPlot(printer, doc, Placement(7.0, 3.5, 0.5, 0.5));
    }
    QFile pdf(dir.filePath("plot.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n"), 1); // one page
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));

    QPrinter refused(QPrinter::HighResolution);
    PreparePdf(refused, dir.filePath("refused.pdf"));
    recorded = {};
    EXPECT_THROW(PrintPlot(refused, doc, Placement(0.0, 3.5, 0, 0), Record), OutputError);
    EXPECT_EQ(recorded.calls, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("refused.pdf")));
}

TEST(PrintPlot, ThePlotLandsInsideItsRectangleOnThePage) {
    EnsureQtApp();
    // A page at 100 per inch stands in for the printer, so the pixels can be read.
    QImage page(850, 1100, QImage::Format_RGB32);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    page.fill(Qt::magenta);
    PlotDocument doc;
    doc.CreateDataSet();
    PrintPlot(page, doc, Placement(4.0, 2.0, 0.5, 0.25));
    const PlotLayout l = ComputeLayout(100, 100, 4.0, 2.0, 0.5, 0.25);
    EXPECT_EQ(l.X0, 50);
    EXPECT_EQ(l.Y0, 25);
    const QRgb grid = qRgb(128, 128, 128);
    EXPECT_EQ(page.pixel(50, 25), grid);           // corner of the background outline
    EXPECT_EQ(page.pixel(l.Area.Left, 120), grid); // frame of the plot area
    EXPECT_EQ(page.pixel(l.Area.Right, 120), grid);
    EXPECT_EQ(page.pixel(60, 30), qRgb(255, 255, 255));
    // Outside the rectangle the page is untouched.
    int touched = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((x < 50 || y < 25 || x > 451 || y > 226) && page.pixel(x, y) != qRgb(255, 0, 255))
                ++touched;
    EXPECT_EQ(touched, 0);
}
