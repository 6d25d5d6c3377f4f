// The Data Properties dialog driven through its controls, as a user would.
#include "data/ui/DataPropForm.h"
#include "data/AppState.h"
#include "data/ui/ColorSwatch.h"
#include "data/ui/FileActions.h"
#include "data/ui/StyleCombo.h"

#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace vemo;

namespace {

// A document with two sets whose name list is the dialog's list, installed as the program's
// document for the test's lifetime.
struct DialogFixture : ::testing::Test {
    void SetUp() override {
        EnsureQtApp();
        chooser = ColorSwatch::ChooseColour;
        form = std::make_unique<TDataPropForm>();
        doc.UseNameLists(form->SetListNames(), nullptr);
        PlotDoc = &doc;
        Signal* a = doc.CreateDataSet();
        a->Samples.Clear();
        for (int i = 0; i < 3; ++i)
            a->Samples.Append(i, 100 + i);
        a->TriggerSignal->Samples.Append(1, 101);
        a->Note2 = "second note";
        Signal* b = doc.CreateDataSet();
        b->TriggerSignal->Visible = 0;
        App.RepaintPlot = [this] { ++repaints; };
        Questions().ShowError = [this](QWidget*, const QString& m) { errors << m; };
    }
    void TearDown() override {
        App.RepaintPlot = nullptr;
        App.AutoRangeAlt = nullptr;
        ColorSwatch::ChooseColour = chooser;
        UseRealQuestions();
        doc.Clear();
        PlotDoc = nullptr;
    }
    template <class W> W* Get(const char* name) {
        auto* w = form->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }

    PlotDocument doc;
    std::unique_ptr<TDataPropForm> form;
    int repaints = 0;
    QStringList errors;
    std::function<bool(QWidget*, QColor&)> chooser;
};

} // namespace

TEST_F(DialogFixture, OpeningShowsTheFirstSet) {
    form->SetListBox->setCurrentRow(1);
    form->show();
    EXPECT_EQ(form->windowTitle(), "Data Properties");
    EXPECT_EQ(form->SetListBox->currentRow(), 0);
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "Data000");
    EXPECT_EQ(Get<QLineEdit>("Note2Edit")->text(), "second note");
    EXPECT_EQ(Get<QLineEdit>("XOffsetEdit")->text(), "0.000000");
    EXPECT_EQ(Get<ColorSwatch>("Line_Clr")->GetColour(), Palette[0]);
    EXPECT_EQ(Get<QComboBox>("TrigStyleCombo")->currentIndex(), PointTriangle);
    EXPECT_TRUE(Get<QPushButton>("PhotoBtn")->isVisible());
    EXPECT_FALSE(Get<QLineEdit>("XScaleEdit")->isVisible());

    // Clicking the second set shows it; it has no triggers, so no photo list.
    auto* list = form->SetListBox;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "Data001");
    EXPECT_EQ(Get<ColorSwatch>("Line_Clr")->GetColour(), Palette[1]);
    EXPECT_FALSE(Get<QPushButton>("PhotoBtn")->isVisible());
}

TEST_F(DialogFixture, ApplyTwiceShiftsTwiceAndRenamesBothLists) {
    form->show();
    Get<QLineEdit>("XOffsetEdit")->setText("10");
    Get<QLineEdit>("SignalDisplayNameEdit")->setText("ABCDEFGHIJKLMNOPQRSTUVWXY");
    ColorSwatch::ChooseColour = [](QWidget*, QColor& c) {
        c = QColor(1, 2, 3);
        return true;
    };
    QTest::mouseClick(Get<ColorSwatch>("Pt_Clr"), Qt::LeftButton);
    Get<QComboBox>("LineStyleCombo")->setCurrentIndex(LineDash);
    Click("ApplyBtn");
    Click("ApplyBtn");
    const Signal* a = doc.AltSignal(0);
    EXPECT_EQ(a->Samples.Time, (std::vector<double>{20, 21, 22}));
    EXPECT_EQ(a->TriggerSignal->Samples.Time[0], 21);
    EXPECT_EQ(Get<QLineEdit>("XOffsetEdit")->text(), "10");
    EXPECT_EQ(a->Name, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(form->SetListBox->item(0)->text(), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(doc.ActiveSetCombo->Item(0), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(form->SetListBox->currentRow(), 0);
    EXPECT_EQ(a->PointColor, 0x030201u);
    EXPECT_EQ(a->LineStyle, LineDash);
    EXPECT_EQ(repaints, 2);
}

TEST_F(DialogFixture, EditsWithoutApplyChangeNothing) {
    form->show();
    Get<QLineEdit>("Note1Edit")->setText("typed");
    Get<QLineEdit>("YOffsetEdit")->setText("50");
    form->close();
    form->show();
    EXPECT_EQ(doc.AltSignal(0)->Note1, "");
    EXPECT_EQ(doc.AltSignal(0)->Samples.Alt[0], 100);
    EXPECT_EQ(Get<QLineEdit>("Note1Edit")->text(), "");
}

TEST_F(DialogFixture, DeleteReselectsTheFirstSet) {
    form->show();
    form->SetListBox->setCurrentRow(1);
    Click("DelSetBtn");
    EXPECT_EQ(doc.SetCount(), 1);
    EXPECT_EQ(form->SetListBox->currentRow(), 0);
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "Data000");
    Click("DelSetBtn");
    EXPECT_EQ(doc.SetCount(), 0);
    EXPECT_EQ(form->SetListBox->currentRow(), -1);
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "");
    // Nothing selected: every button does nothing.
    for (const char* b : {"ApplyBtn", "DelSetBtn", "DriftBtn", "OffsetBtn", "PhotoBtn"})
        Click(b);
    EXPECT_EQ(doc.SetCount(), 0);
    EXPECT_EQ(repaints, 2);
}

TEST_F(DialogFixture, FixDriftAutoRangesAndRepaints) {
    int ranges = 0;
    App.AutoRangeAlt = [&] { ++ranges; };
    doc.Info3 = "max=1";
    form->show();
    form->SetListBox->setCurrentRow(1); // the 21-sample placeholder ramp
    Click("DriftBtn");
    EXPECT_EQ(ranges, 1);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(doc.AltSignal(1)->Samples.Alt[20], 0.0);
    EXPECT_EQ(doc.Info3, "max=0");
    Click("OffsetBtn");
    EXPECT_EQ(doc.AltSignal(1)->Samples.Alt[20], 0.0);
    EXPECT_EQ(repaints, 1);
}

TEST_F(DialogFixture, PhotoListIsWrittenAndOpened) {
    QTemporaryDir dir;
    QString asked, opened;
    Questions().AskPhotoPath = [&](QWidget*) { return asked; };
    Questions().OpenDocument = [&](const QString& p) { opened = p; };
    form->show();
    asked = ""; // cancelled
    Click("PhotoBtn");
    EXPECT_TRUE(opened.isEmpty());
    asked = dir.filePath("photos.txt");
    Click("PhotoBtn");
    EXPECT_EQ(opened, asked);
    QFile f(asked);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("# pic    time   altitude\r\n    1    1.00     101.00\r\n"));
    opened.clear();
    asked = dir.filePath("missing/photos.txt");
    Click("PhotoBtn");
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(errors, QStringList{"Unable to open " + asked + "!"});
}

TEST(StyleItems, SymbolsArePaintedBlackOnWhite) {
    EnsureQtApp();
    const auto render = [](StyleKind kind, int code) {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter p(&image);
        DrawStyleItem(p, image.rect(), kind, code);
        return image;
    };
    const auto blacks = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                EXPECT_TRUE(c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255)) << x << "," << y;
                n += c == qRgb(0, 0, 0);
            }
        return n;
    };
    EXPECT_EQ(blacks(render(StyleKind::Point, PointNone)), 0);
    EXPECT_EQ(blacks(render(StyleKind::Line, LineNone)), 0);
    const QImage dot = render(StyleKind::Point, PointDot);
    EXPECT_EQ(blacks(dot), 1);
    EXPECT_EQ(dot.pixel(20, 10), qRgb(0, 0, 0));
    // A square with r5 = 4 around (20, 10), its box (16, 6) up to (24, 14) not included:
    // eight pixels wide, corners black, centre white.
    const QImage square = render(StyleKind::Point, PointSquare);
    EXPECT_EQ(square.pixel(16, 6), qRgb(0, 0, 0));
    EXPECT_EQ(square.pixel(23, 13), qRgb(0, 0, 0));
    EXPECT_EQ(square.pixel(24, 14), qRgb(255, 255, 255));
    EXPECT_EQ(square.pixel(20, 10), qRgb(255, 255, 255));
    // The circle's box is (15, 5) up to (25, 15): ten pixels wide and high.
    const QImage circle = render(StyleKind::Point, PointCircle);
    int left = 40, right = -1, top = 20, bottom = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (circle.pixel(x, y) == qRgb(0, 0, 0)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_EQ(std::vector<int>({left, right, top, bottom}), std::vector<int>({15, 24, 5, 14}));
    // A solid line runs from x = 4 to the right edge minus 4 at the middle row.
    const QImage solid = render(StyleKind::Line, LineSolid);
    EXPECT_EQ(solid.pixel(4, 10), qRgb(0, 0, 0));
    EXPECT_EQ(solid.pixel(35, 10), qRgb(0, 0, 0));
    EXPECT_EQ(solid.pixel(3, 10), qRgb(255, 255, 255));
    EXPECT_EQ(blacks(solid), 32);
    EXPECT_LT(blacks(render(StyleKind::Line, LineDot)), 32);
    for (int code = PointCircle; code <= PointTriangle; ++code)
        EXPECT_GT(blacks(render(StyleKind::Point, code)), 4) << code;
}
