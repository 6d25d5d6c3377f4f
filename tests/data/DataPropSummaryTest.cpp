// The flight summary under the notes of the Data Properties dialog.
#include "data/AppState.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/FileActions.h"

#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace vemo;

namespace {

struct SummaryFixture : ::testing::Test {
    void SetUp() override {
        EnsureQtApp();
        Questions().AskYesNo = [](QWidget*, const QString&, const QString&) { return true; };
        form = std::make_unique<TDataPropForm>();
        doc.UseNameLists(form->SetListNames(), nullptr);
        PlotDoc = &doc;
        Signal* flight = doc.CreateDataSet();
        flight->Samples.Clear();
        for (int i = 0; i <= 40; ++i)
            flight->Samples.Append(i, i < 10 || i > 30 ? 0 : 500 - std::abs(i - 20) * 50.0);
        doc.CreateDataSet();                     // the ramp 0..20
        doc.YAxisLabel = "Altitude (M\xe8tres)"; // 8-bit text, one byte a character
    }
    void TearDown() override {
        doc.Clear();
        PlotDoc = nullptr;
        UseRealQuestions();
    }
    QString Summary() const { return form->SummaryText->toPlainText(); }

    PlotDocument doc;
    std::unique_ptr<TDataPropForm> form;
};

} // namespace

TEST_F(SummaryFixture, FollowsTheShownSetAndItsChanges) {
    form->show();
    EXPECT_TRUE(form->SummaryText->isReadOnly());
    EXPECT_TRUE(Summary().contains("Apogee:        500.00 M\u00e8tres at 20.00 s\n"))
        << Summary().toStdString();
    EXPECT_TRUE(Summary().contains("Launch:        9.00 s\nLanding:       31.00 s\n"));

    form->SetListBox->setCurrentRow(1);
    EXPECT_TRUE(Summary().contains("Apogee:        20.00 M\u00e8tres at 20.00 s\n"));
    form->findChild<QLineEdit*>("XOffsetEdit")->setText("10");
    QTest::mouseClick(form->findChild<QPushButton*>("ApplyBtn"), Qt::LeftButton);
    EXPECT_TRUE(Summary().contains("Apogee:        20.00 M\u00e8tres at 30.00 s\n"));

    QTest::mouseClick(form->findChild<QPushButton*>("DelSetBtn"), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>("DelSetBtn"), Qt::LeftButton);
    EXPECT_EQ(Summary(), "");
}

// The summary makes the dialog (660 x 360 before it had one) taller by the summary's own
// height: the controls above it keep their sizes and places, and the buttons below keep theirs
// relative to the dialog's bottom.
TEST_F(SummaryFixture, LeavesEveryOtherControlAsItWas) {
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
    for (const auto& [name, rect] : without) {
        SCOPED_TRACE(name.toStdString());
        const bool below = name.endsWith("Btn");
        EXPECT_EQ(with.at(name), rect.translated(0, below ? extra : 0));
    }
}
