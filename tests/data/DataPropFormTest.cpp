// The Data Properties dialog driven through its controls, as a user would.
#include "data/ui/DataPropForm.h"
#include "data/DataFile.h"
#include "data/PlotDocument.h"
#include "data/ui/ColorSwatch.h"
#include "data/ui/FileActions.h"
#include "data/ui/StyleCombo.h"

#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
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
        QObject::connect(form.get(), &TDataPropForm::PlotChanged, [this] { ++repaints; });
        Questions().ShowError = [this](QWidget*, const QString& m) { errors << m; };
        Questions().AskYesNo = [this](QWidget*, const QString& caption, const QString& q) {
            asked << caption + ": " + q;
            return yes;
        };
    }
    void TearDown() override {
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
    QStringList asked; // "caption: question"
    bool yes = true;   // the answer to every question
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

TEST_F(DialogFixture, ApplyShiftsOnceAndRenamesBothLists) {
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
    // The offset is a delta used up by Apply: the next Apply does not shift the data again.
    EXPECT_EQ(Get<QLineEdit>("XOffsetEdit")->text(), "0.000000");
    Get<QComboBox>("PointStyleCombo")->setCurrentIndex(PointCircle);
    Click("ApplyBtn");
    const Signal* a = doc.AltSignal(0);
    EXPECT_EQ(a->Samples.Time, (std::vector<double>{10, 11, 12}));
    EXPECT_EQ(a->TriggerSignal->Samples.Time[0], 11);
    EXPECT_EQ(a->PointStyle, PointCircle);
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

TEST_F(DialogFixture, DeleteAsksFirstThenReselectsTheFirstSet) {
    form->show();
    form->SetListBox->setCurrentRow(1);
    yes = false;
    Click("DelSetBtn");
    EXPECT_EQ(doc.SetCount(), 2);
    EXPECT_EQ(asked, QStringList{"Delete Data Set: Delete data set Data001?"});
    yes = true;
    Click("DelSetBtn");
    EXPECT_EQ(doc.SetCount(), 1);
    EXPECT_EQ(form->SetListBox->currentRow(), 0);
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "Data000");
    Click("DelSetBtn");
    EXPECT_EQ(doc.SetCount(), 0);
    EXPECT_EQ(form->SetListBox->currentRow(), -1);
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "");
    // No set: nothing can be edited; OK still closes.
    for (const char* name :
         {"SignalDisplayNameEdit", "Line_Clr", "LineStyleCombo", "Pt_Clr", "PointStyleCombo",
          "Trig_Clr", "TrigStyleCombo", "XOffsetEdit", "YOffsetEdit", "Note1Edit", "Note2Edit",
          "Note3Edit", "ApplyBtn", "DelSetBtn", "DriftBtn", "OffsetBtn", "PhotoBtn"})
        EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(Get<QPushButton>("OKBtn")->isEnabled());
    for (const char* b : {"ApplyBtn", "DelSetBtn", "DriftBtn", "OffsetBtn", "PhotoBtn"})
        Click(b);
    EXPECT_EQ(doc.SetCount(), 0);
    EXPECT_EQ(repaints, 2);
    // A set loaded later makes the controls editable again.
    doc.CreateDataSet();
    doc.SetListBox->Select(0);
    EXPECT_TRUE(Get<QWidget>("Line_Clr")->isEnabled());
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(), "Data002");
}

TEST_F(DialogFixture, FixDriftAutoRangesAndRepaints) {
    int ranges = 0;
    QObject::connect(form.get(), &TDataPropForm::AltitudesShifted, [&] { ++ranges; });
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

// Typed edits are not lost: choosing another set offers to apply them, and OK applies them.
TEST_F(DialogFixture, PendingEditsAreOfferedOnAnotherSetAndAppliedByOk) {
    auto* list = form->SetListBox;
    auto clickRow = [&](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    };
    form->show();
    auto* note = Get<QLineEdit>("Note1Edit");
    QTest::keyClicks(note, "dropped");
    clickRow(0); // the set already shown: nothing asked, nothing lost
    EXPECT_EQ(note->text(), "dropped");
    yes = false;
    clickRow(1);
    QTest::keyClicks(note, "kept");
    yes = true;
    clickRow(0);
    QTest::keyClicks(note, "by OK");
    Click("OKBtn");
    EXPECT_EQ(asked, (QStringList{"Data Properties: Apply the changes to Data000?",
                                  "Data Properties: Apply the changes to Data001?"}));
    EXPECT_EQ(doc.AltSignal(0)->Note1, "by OK");
    EXPECT_EQ(doc.AltSignal(1)->Note1, "kept");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(form->isVisible());
}

// Every byte but 0 survives the dialog and a save; typed text is one byte a character or "?".
TEST_F(DialogFixture, EightBitTextsSurviveApplyAndSave) {
    std::string every;
    for (int b = 1; b < 256; ++b)
        every += static_cast<char>(b);
    Signal* a = doc.AltSignal(0);
    a->Name = "H\xF6he \x80\x81\x8D\x8F\x90\x9D\x9F\xFF";
    doc.RenameInLists(0, a->Name);
    a->Note1 = every;
    a->Note3 = std::string(every.rbegin(), every.rend());
    const SetProperties before = ReadSetProperties(doc, 0);
    form->show();
    EXPECT_EQ(Get<QLineEdit>("SignalDisplayNameEdit")->text(),
              QString::fromUtf8("H\u00F6he \u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00FF"));
    Click("ApplyBtn");
    EXPECT_TRUE(ReadSetProperties(doc, 0) == before);
    EXPECT_EQ(doc.ActiveSetCombo->Item(0), a->Name);
    std::string saved, noteLine = "#" + every + "\r\n";
    WriteSetBlock(doc, 0, saved);
    std::replace(noteLine.begin() + 1, noteLine.end() - 2, '\r', ' '); // a text never splits
    std::replace(noteLine.begin() + 1, noteLine.end() - 2, '\n', ' '); // its line
    EXPECT_EQ(saved.rfind("#" + a->Name + "\r\n", 0), 0u);
    EXPECT_NE(saved.find(noteLine), std::string::npos);

    auto* name = Get<QLineEdit>("SignalDisplayNameEdit");
    name->clear();
    QTest::keyClicks(name, QString(25, QChar(0xC4)));
    Get<QLineEdit>("Note1Edit")->setText(QString::fromUtf8("\u03A9 7\u00B0"));
    Click("ApplyBtn");
    EXPECT_EQ(a->Name, std::string(19, '\xC4'));
    EXPECT_EQ(form->SetListBox->item(0)->text(), QString(19, QChar(0xC4)));
    EXPECT_EQ(a->Note1, "? 7\xB0");
}

// The flight summary under the notes follows the shown set, read-only.
TEST_F(DialogFixture, SummaryFollowsTheShownSetAndItsChanges) {
    SampleStore& flight = doc.AltSignal(0)->Samples;
    flight.Clear();
    for (int i = 0; i <= 40; ++i)
        flight.Append(i, i < 10 || i > 30 ? 0 : 500 - std::abs(i - 20) * 50.0);
    // A set made here has no unit of its own: it is summed up in the one the plot's label
    // names, here in 8-bit French.
    doc.YAxisLabel = "Altitude (M\xe8tres)";
    form->show();
    const auto summary = [this] { return form->SummaryText->toPlainText(); };
    EXPECT_TRUE(form->SummaryText->isReadOnly());
    EXPECT_TRUE(summary().contains("Apogee:        500.00 meters at 20.00 s\n"))
        << summary().toStdString();
    EXPECT_TRUE(summary().contains("Launch:        10.00 s\nLanding:       29.00 s\n"))
        << summary().toStdString();
    form->SetListBox->setCurrentRow(1); // the ramp 0..20
    EXPECT_TRUE(summary().contains("Apogee:        20.00 meters at 20.00 s\n"));
    Get<QLineEdit>("XOffsetEdit")->setText("10");
    Click("ApplyBtn");
    EXPECT_TRUE(summary().contains("Apogee:        20.00 meters at 30.00 s\n"));
    Click("DelSetBtn");
    Click("DelSetBtn");
    EXPECT_EQ(summary(), "");
}

// The summary makes the dialog (660 x 360 without it) taller; no other control moves or resizes.
TEST_F(DialogFixture, SummaryLeavesEveryOtherControlAsItWas) {
    form->show();
    const auto geometries = [this] {
        form->layout()->activate();
        std::map<QString, QRect> g;
        for (QWidget* w : form->findChildren<QWidget*>())
            if (!w->objectName().isEmpty() && w->isVisible() &&
                !form->SummaryBox->isAncestorOf(w) && w != form->SummaryBox)
                g[w->objectName()] = QRect(w->mapTo(form.get(), QPoint(0, 0)), w->size());
        return g;
    };
    const auto with = geometries();
    const int extra = form->SummaryBox->height() + form->layout()->spacing();
    EXPECT_EQ(form->size(), QSize(660, 360 + extra));
    form->SummaryBox->hide();
    form->layout()->activate(); // the dialog's smallest size no longer holds the summary
    form->resize(660, 360);
    const auto without = geometries();
    ASSERT_EQ(with.size(), without.size());
    EXPECT_GE(with.size(), 20u);
    for (const auto& [name, rect] : without)
        EXPECT_EQ(with.at(name), rect.translated(0, name.endsWith("Btn") ? extra : 0))
            << name.toStdString();
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
    // Around (20, 10) with r5 = 4: a hollow square eight pixels wide, a circle ten.
    const auto box = [](const QImage& image) {
        QRect r;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(0, 0, 0)) r |= QRect(x, y, 1, 1);
        return r;
    };
    const QImage square = render(StyleKind::Point, PointSquare);
    EXPECT_EQ(box(square), QRect(16, 6, 8, 8));
    EXPECT_EQ(square.pixel(16, 6), qRgb(0, 0, 0));
    EXPECT_EQ(square.pixel(20, 10), qRgb(255, 255, 255));
    EXPECT_EQ(box(render(StyleKind::Point, PointCircle)), QRect(15, 5, 10, 10));
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
