// Grabs the Recorded Data page and the Graph Scale dialog as they look; with VEMO_SHOT_DIR set
// the pictures are also saved there for the README.
#include "PlotPictures.h"

#include "data/PlotDocument.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/PlotBox.h"
#include "plot/ui/ScaleForm.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace vemo;

namespace {

void Keep(const QImage& img, const char* name) {
    const QString dir = qEnvironmentVariable("VEMO_SHOT_DIR");
    if (!dir.isEmpty()) img.save(QDir(dir).filePath(name));
}

// A flight: climb under thrust, coast to apogee, descent under a parachute, with noise.
void AddFlight(PlotDocument& doc) {
    Signal* s = doc.CreateDataSet();
    s->Samples.Clear();
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, 1.5);
    for (int i = 0; i < 6000; ++i) {
        const double t = i * 0.05;
        const double alt =
            t < 40 ? 1600 * std::sin(t / 40 * 1.5707963) : std::max(0.0, 1600 - 6.5 * (t - 40));
        s->Samples.Append(t, alt + noise(rng));
    }
    s->Samples.PeakMarks[800] = 1;
    s->ClimbMarks[0] = ClimbMark{100, 500, 1};
    Signal* trig = doc.TrigSignal(doc.SetCount() - 1);
    trig->Samples.Append(2.0, 40.0);
    trig->Samples.Append(41.0, 1600.0);
}

} // namespace

TEST(PageShots, RecordedDataPageWithPlaceholderAndLongRecording) {
    EnsureQtApp();
    PlotDocument doc;
    PlotDoc = &doc;
    doc.CreateDataSet();
    DataPage page;
    page.ActiveSetCombo->addItem("Data000");
    page.resize(748, 488);
    QImage shot = page.grab().toImage();
    Keep(shot, "recorded_data_placeholder.png");
    EXPECT_GT(
        CountExactly(shot.convertToFormat(QImage::Format_RGB32), shot.rect(), QColor(0, 0, 255)),
        100);

    AddFlight(doc);
    page.ActiveSetCombo->addItem("Data001");
    page.ActiveSetCombo->setCurrentIndex(1);
    AutoRangeTime(doc);
    AutoRangeAlt(doc);
    page.PlotBox->Switches.ShowAvgROC = true;
    shot = page.grab().toImage();
    Keep(shot, "recorded_data_flight.png");
    // The flight's trace is red (the second palette colour).
    EXPECT_GT(
        CountExactly(shot.convertToFormat(QImage::Format_RGB32), shot.rect(), QColor(255, 0, 0)),
        500);
    PlotDoc = nullptr;
}

TEST(PageShots, GraphScaleDialog) {
    EnsureQtApp();
    PlotDocument doc;
    TScaleForm form;
    form.FillEdits(doc);
    form.adjustSize();
    const QImage shot = form.grab().toImage();
    Keep(shot, "graph_scale.png");
    EXPECT_EQ(form.XMaxEdit->text(), "20");
    EXPECT_GT(shot.width(), 100);
}
