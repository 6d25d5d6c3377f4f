#include "PlotPictures.h"

#include "data/PlotDocument.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/PlotBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace vemo;

namespace {

class RecordedDataPage : public QtAppFirst, public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        PlotDoc = &doc;
        doc.CreateDataSet(); // the placeholder set Data000, blue
        page.resize(748, 488);
    }
    void TearDown() override { PlotDoc = nullptr; }

    QImage PlotPicture() {
        return page.PlotBox->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    PlotDocument doc;
    DataPage page;
};

} // namespace

TEST_F(RecordedDataPage, EveryControlIsThereByName) {
    const std::pair<const char*, const char*> buttons[] = {{"ZoomInBtn", "IN"},
                                                           {"ZoomOutBtn", "OUT"},
                                                           {"ZoomResetBtn", "Reset"},
                                                           {"ZoomCropBtn", "Crop"},
                                                           {"PrintBtn", "Print"},
                                                           {"ExportBtn", "Export"},
                                                           {"SaveBtn", "Save"},
                                                           {"LoadBtn", "Load"},
                                                           {"ScaleBtn", "Scale"},
                                                           {"PlotPropBtn", "Plot Properties"},
                                                           {"DataPropBtn", "Data Properties"}};
    for (auto [name, caption] : buttons) {
        auto* b = page.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), caption);
    }
    for (const char* name : {"PanUpBtn", "PanDnBtn", "PanLtBtn", "PanRtBtn"})
        EXPECT_NE(page.findChild<QPushButton*>(name), nullptr) << name;
    EXPECT_EQ(page.findChild<QPushButton*>("ScaleBtn")->toolTip(), "Manually set plot scale");
    EXPECT_NE(page.findChild<QComboBox*>("ActiveSetCombo"), nullptr);
    EXPECT_NE(page.findChild<TPlotBox*>("PlotBox"), nullptr);

    auto* mouse = page.findChild<QGroupBox*>("MouseGrp");
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(mouse->title(), "Mouse");
    const auto radios = mouse->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    EXPECT_EQ(radios[0]->text(), "Zoom");
    EXPECT_EQ(radios[1]->text(), "Climb");
    EXPECT_EQ(radios[2]->text(), "Peak");
    EXPECT_EQ(page.MouseMode(), 0);
    radios[2]->click();
    EXPECT_EQ(page.MouseMode(), 2);

    auto* points = page.findChild<QCheckBox*>("ShowPointsChk");
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->text(), "Show Points");
    page.show();
    EXPECT_FALSE(points->isVisible());
    points->setChecked(true);
    EXPECT_TRUE(page.ShowPoints);
}

TEST_F(RecordedDataPage, ShowsThePlaceholderSetAndPublishesThePlotArea) {
    TPlotBox* box = page.PlotBox;
    QSignalSpy painted(box, &TPlotBox::Painted);
    const QImage img = PlotPicture();
    EXPECT_GE(painted.count(), 1);

    const int ppi = box->logicalDpiX();
    const PlotLayout l = ComputeLayout(ppi, box->logicalDpiY(), double(box->width()) / ppi,
                                       double(box->height()) / box->logicalDpiY(), 0, 0);
    EXPECT_EQ(PlotArea.Left, l.Area.Left);
    EXPECT_EQ(PlotArea.Bottom, l.Area.Bottom);
    // The ramp 0..20 runs corner to corner in the default range.
    const QColor blue(0, 0, 255);
    const int midX = (PlotArea.Left + PlotArea.Right) / 2;
    int found = 0;
    for (int y = PlotArea.Top; y <= PlotArea.Bottom; ++y)
        if (Pixel(img, midX, y) == blue) ++found;
    EXPECT_GE(found, 2);
    // It starts at the bottom-left corner, so the top-left one stays empty.
    EXPECT_EQ(CountExactly(img, QRect(PlotArea.Left + 1, PlotArea.Top + 1, 40, 40), blue), 0);
    EXPECT_GT(CountExactly(img, QRect(PlotArea.Left, PlotArea.Bottom - 20, 20, 20), blue), 0);
}

TEST_F(RecordedDataPage, RepaintShowsTheChangedRange) {
    const QColor blue(0, 0, 255);
    auto bluePixels = [&](const QImage& img, int x0, int x1) {
        return CountExactly(
            img, QRect(x0, PlotArea.Top + 1, x1 - x0, PlotArea.Bottom - PlotArea.Top - 1), blue);
    };
    QImage img = PlotPicture();
    const int mid = (PlotArea.Left + PlotArea.Right) / 2;
    EXPECT_GT(bluePixels(img, mid, PlotArea.Right), 100); // the ramp's upper half is on the right

    doc.TimeMax = 10; // as Ctrl+Right does
    doc.AltMax = 10;
    page.RepaintPlot();
    img = PlotPicture();
    // Now the ramp leaves through the top-right corner: nothing in the lower right quarter.
    const int midY = (PlotArea.Top + PlotArea.Bottom) / 2;
    EXPECT_EQ(CountExactly(img,
                           QRect(mid + 10, midY + 10, PlotArea.Right - mid - 20,
                                 PlotArea.Bottom - midY - 20),
                           blue),
              0);
    EXPECT_GT(bluePixels(img, PlotArea.Left, mid), 100);
}

// Every text pixel drawn into the view is still there on the page, under no tool group.
TEST_F(RecordedDataPage, ToolGroupsLeaveEveryTextOfThePlotVisible) {
    page.PlotBox->Switches.ShowInfo = true;
    doc.Title = "A title long enough to reach far towards both corners of the view";
    doc.Info1 = "Info1: launch rail 2";
    doc.Info2 = "Info2: wind 12 km/h from the north-west, gusting";
    doc.Info3 = "Info3: Flight 2, max=812";
    doc.InfoColor = 0x0000C000;  // green
    doc.LabelColor = 0x00C000C0; // purple
    doc.ScaleColor = 0x00008080; // olive
    const QRgb textColours[] = {qRgb(0, 0xC0, 0), qRgb(0xC0, 0, 0xC0), qRgb(0x80, 0x80, 0)};

    const QImage view = PlotPicture();
    const QImage shown = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint at = page.PlotBox->geometry().topLeft();
    int textPixels = 0, hidden = 0;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x) {
            const QRgb c = view.pixel(x, y);
            if (std::find(std::begin(textColours), std::end(textColours), c) ==
                std::end(textColours))
                continue;
            ++textPixels;
            if (shown.pixel(at + QPoint(x, y)) != c) ++hidden;
        }
    EXPECT_GT(textPixels, 1000);
    EXPECT_EQ(hidden, 0);
}
