#include "plot/ui/EditInfoForm.h"
#include "data/DataFile.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace vemo;

namespace {

// Runs the dialog: `during` acts while it is open, then it closes with OK or Cancel.
int RunDialog(TEditInfoForm& form, PlotDocument& doc, std::function<void()> during, bool ok) {
    QTimer::singleShot(0, [&] {
        during();
        if (ok) form.accept();
        else form.reject();
    });
    return form.Open(doc);
}

} // namespace

TEST(EditInfoForm, ColoursShowAtOnceAndCancelRestoresThemButNotSwitches) {
    TEditInfoForm form;
    PlotDocument doc;
    int repaints = 0;
    QObject::connect(&form, &TEditInfoForm::PlotChanged, [&] { ++repaints; });
    PlotSwitches shown; // as the main window keeps them
    QObject::connect(&form, &TEditInfoForm::SwitchesChanged, [&](const PlotSwitches& s) {
        shown = s;
        ++repaints;
    });
    std::vector<Colour> answers = {0x00112233, 0x00445566};
    form.ChooseColour = [&](Colour, QWidget*) -> std::optional<Colour> {
        Colour c = answers.front();
        answers.erase(answers.begin());
        return c;
    };
    Colour seenDuringDialog = 0;
    RunDialog(form, doc, [&] {
        form.TitleText->setText("Changed");
        // Two picks in a row for the grid panel.
        QTest::mouseClick(form.ColorPanel(1), Qt::LeftButton);
        QTest::mouseClick(form.ColorPanel(1), Qt::LeftButton);
        seenDuringDialog = doc.GridColor;
        form.ShowInfoChk->click(); // untick "Show Text Info"
        EXPECT_FALSE(shown.ShowVerticalSpeed);
        form.ShowSpeedChk->click(); // tick "Show Vertical Speed", unticked at first
        EXPECT_TRUE(shown.ShowVerticalSpeed); // at once
    }, false);
    EXPECT_EQ(seenDuringDialog, 0x00445566u);
    EXPECT_EQ(doc.GridColor, 0x00808080u); // from before the dialog opened
    EXPECT_EQ(doc.Title, "Altitude versus Time");
    EXPECT_FALSE(shown.ShowInfo); // a switch is not undone by Cancel
    EXPECT_FALSE(form.ShowInfoChk->isChecked());
    EXPECT_TRUE(shown.ShowVerticalSpeed);
    EXPECT_GE(repaints, 3);
}

TEST(EditInfoForm, OkAppliesTextsCutAt255AndKeepsColours) {
    TEditInfoForm form;
    PlotDocument doc;
    form.ChooseColour = [](Colour, QWidget*) { return std::optional<Colour>(0x000000FF); };
    const QString longTitle(300, QChar('T'));
    RunDialog(form, doc, [&] {
        EXPECT_EQ(form.XAxisText->text(), "Time (sec)");
        form.TitleText->setText(longTitle);
        form.Info2Text->setText("Launch site B");
        QTest::mouseClick(form.ColorPanel(0), Qt::LeftButton);
    }, true);
    EXPECT_EQ(doc.Title, std::string(255, 'T'));
    EXPECT_EQ(doc.Info2, "Launch site B");
    EXPECT_EQ(doc.BGColor, 0x000000FFu);
}

TEST(EditInfoForm, CancelledColourChoiceChangesNothing) {
    TEditInfoForm form;
    PlotDocument doc;
    form.ChooseColour = [](Colour, QWidget*) { return std::optional<Colour>(); };
    RunDialog(form, doc, [&] { QTest::mouseClick(form.ColorPanel(4), Qt::LeftButton); }, true);
    EXPECT_EQ(doc.InfoColor, 0x000000FFu);
    EXPECT_FALSE(form.ShowROCChk->isVisibleTo(&form));
}

// Every byte a text can hold (0 ends it) comes back from the dialog and saves as it went in;
// a typed character with no 8-bit form is stored as "?".
TEST(EditInfoForm, EightBitTextsSurviveOkAndSave) {
    TEditInfoForm form;
    PlotDocument doc;
    std::string every;
    for (int b = 1; b < 256; ++b)
        every += static_cast<char>(b);
    std::string* const texts[] = {&doc.Title, &doc.XAxisLabel, &doc.YAxisLabel,
                                  &doc.Info1, &doc.Info2,      &doc.Info3};
    for (std::size_t i = 0; i < std::size(texts); ++i) // each edit meets every byte value
        *texts[i] = every.substr(i * 40) + every.substr(0, i * 40);
    std::string before, after;
    WritePlotFile(doc, before);
    QString shownTitle;
    RunDialog(
        form, doc, [&] { shownTitle = form.TitleText->text(); }, true);
    EXPECT_EQ(shownTitle.at(0x80 - 1), QChar(0x20AC)); // 0x80 is the euro sign
    WritePlotFile(doc, after);
    EXPECT_EQ(after, before);

    RunDialog(
        form, doc, [&] { form.Info1Text->setText(QString::fromUtf8("7\u00B0 \u2192")); }, true);
    EXPECT_EQ(doc.Info1, "7\xB0 ?");
}
