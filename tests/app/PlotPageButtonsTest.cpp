// The dialog buttons of the Recorded Data page and a click on the plot, in the whole window.
#include "app/MainForm.h"
#include "app/Windows.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/MainStatus.h"
#include "plot/ui/EditInfoForm.h"
#include "plot/ui/OutputActions.h"
#include "plot/ui/ScaleForm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <clocale>

using namespace vemo;

namespace {

class PlotPageButtons : public ::testing::Test {
protected:
    void SetUp() override {
        CreateWindows();
        MainForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(MainForm));
        page = MainForm->findChild<QWidget*>("DataPage");
        ASSERT_NE(page, nullptr);
        MainForm->PageControl1->setCurrentWidget(page);
    }
    void TearDown() override { DestroyWindows(); }

    // Clicks the button and returns the modal dialog it opened, after `inside` ran in it.
    QWidget* ClickAndClose(const char* name, const std::function<void(QWidget*)>& inside) {
        QWidget* seen = nullptr;
        QTimer::singleShot(50, [&] {
            seen = QApplication::activeModalWidget();
            if (seen) inside(seen);
        });
        auto* b = page->findChild<QPushButton*>(name);
        if (!b) return nullptr;
        QTest::mouseClick(b, Qt::LeftButton);
        return seen;
    }

    QWidget* page = nullptr;
};

} // namespace

TEST_F(PlotPageButtons, EachDialogOpensFromThePageAndItsResultReachesThePlot) {
    QWidget* dlg = ClickAndClose("PlotPropBtn", [](QWidget* w) {
        w->findChild<QLineEdit*>("TitleText")->setText("Second flight");
        static_cast<QDialog*>(w)->accept();
    });
    EXPECT_EQ(dlg, EditInfoForm);
    EXPECT_EQ(PlotDoc->Title, "Second flight");

    dlg = ClickAndClose("ScaleBtn", [](QWidget* w) {
        w->findChild<QLineEdit*>("XMaxEdit")->setText("75");
        static_cast<QDialog*>(w)->accept();
    });
    EXPECT_EQ(dlg, ScaleForm);
    EXPECT_DOUBLE_EQ(PlotDoc->TimeMax, 75);

    dlg = ClickAndClose("DataPropBtn", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(dlg, DataPropForm);
}

TEST_F(PlotPageButtons, AClickOnThePlotHandsTheKeysToThePageControl) {
    MainForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(MainForm));
    auto* box = page->findChild<QWidget*>("PlotBox");
    ASSERT_NE(box, nullptr);
    // Something else on the page holds the keyboard first.
    auto* edit = new QLineEdit(page);
    edit->show();
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::mouseMove(box, QPoint(300, 150));
    // The placeholder ramp is under the mouse: the status bar shows the sample.
    ASSERT_NE(MainStatus.XYDisp, nullptr);
    EXPECT_TRUE(MainStatus.XYDisp->text().startsWith("Time = "))
        << MainStatus.XYDisp->text().toStdString();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(300, 150));
    EXPECT_TRUE(MainForm->PageControl1->hasFocus());
}

TEST_F(PlotPageButtons, UnderACommaLocaleDialogsAndReadoutsKeepDecimalPoints) {
    // The German locale the build compiled: the C library's conversions write "3,5".
    qputenv("LOCPATH", VEMO_TEST_LOCALES);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "none in " VEMO_TEST_LOCALES;
    QLocale::setDefault(QLocale::German);
    OutputUi().Printer = [](QPrinter&, QWidget*) { return false; };
    QStringList shown;
    ClickAndClose("PrintBtn", [&](QWidget* w) {
        shown << w->findChild<QLineEdit*>("HeightEdit")->text();
        w->findChild<QPushButton*>("OKBtn")->click();
    });
    PlotDoc->TimeMax = 12.5;
    ClickAndClose("ScaleBtn", [&](QWidget* w) {
        shown << w->findChild<QLineEdit*>("XMaxEdit")->text();
        static_cast<QDialog*>(w)->accept();
    });
    QTest::mouseMove(page->findChild<QWidget*>("PlotBox"), QPoint(300, 150)); // the ramp
    shown << MainStatus.XYDisp->text() << MainStatus.ROCDisp->text();
    OutputUi() = StandardOutputDialogs();
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(Prt.PrtHeight, 3.5);
    EXPECT_EQ(shown.mid(0, 2), QStringList({"3.5", "12.5"}));
    EXPECT_TRUE(shown.value(2).startsWith("Time = ") && shown.value(3).startsWith("Rate of"));
    EXPECT_FALSE(shown.join(' ').contains(QRegularExpression(R"(\d,\d)")))
        << shown.join('|').toStdString();
}
