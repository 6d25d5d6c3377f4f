#include "QtTestApp.h"

#include "data/ui/FileActions.h"
#include "plot/ScaleTexts.h"
#include "plot/Scaling.h"
#include "plot/ui/ScaleForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace vemo;

TEST(ScaleTexts, RangeValuesShowInGeneralFormat) {
    EXPECT_EQ(FormatRangeValue(20.0), "20");
    EXPECT_EQ(FormatRangeValue(0.5), "0.5");
    EXPECT_EQ(FormatRangeValue(0.1), "0.1");
    EXPECT_EQ(FormatRangeValue(-1234.25), "-1234.25");
    EXPECT_EQ(FormatRangeValue(1.0 / 3.0), "0.333333333333333"); // 15 significant digits
    EXPECT_EQ(FormatRangeValue(2e20), "2e+20");
}

TEST(ScaleTexts, LeadingNumberIsReadAndTheRestIgnored) {
    struct Case {
        const char* text;
        double value;
    } good[] = {{"12abc", 12},      {"   7.5", 7.5}, {"\t-3.5e2x", -350}, {"+4", 4},
                {"1e", 1},          {"2e+", 2},      {".5", 0.5},         {"5.", 5},
                {"-0.25 s", -0.25}, {"1E3", 1000}};
    for (auto c : good) {
        double v = -99;
        EXPECT_TRUE(ParseLeadingNumber(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    for (const char* text : {"", "abc", "-", "+.", " e5", "1e999", "x12"}) {
        double v = -99;
        EXPECT_FALSE(ParseLeadingNumber(text, v)) << text;
        EXPECT_EQ(v, -99) << text;
    }
    // Only the first 39 characters count.
    double v = 0;
    ASSERT_TRUE(ParseLeadingNumber(std::string(39, '1') + "999", v));
    EXPECT_EQ(v, 111111111111111111111111111111111111111.0);
}

namespace {

class ScaleDialog : public QtAppFirst, public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        HomeRange = AxisRanges{};
        doc.Clear();
    }
    void TearDown() override { UseRealQuestions(); }

    // Runs the dialog modally; act() runs once it is showing.
    bool Run(std::function<void()> act) {
        QTimer::singleShot(0, &form, [this, act] {
            act();
            if (form.isVisible()) form.reject();
        });
        return form.Execute(doc);
    }

    PlotDocument doc;
    TScaleForm form;
};

} // namespace

TEST_F(ScaleDialog, ShowsTheRangesAndStoresParsedEditsOnOk) {
    EXPECT_EQ(form.windowTitle(), "Graph Scale");
    doc.AltMax = 0.5;
    QString shown[4];
    const bool ok = Run([&] {
        shown[0] = form.XMinEdit->text();
        shown[1] = form.XMaxEdit->text();
        shown[2] = form.YMinEdit->text();
        shown[3] = form.YMaxEdit->text();
        form.XMinEdit->setText("  5");
        form.XMaxEdit->setText("12abc"); // the number it starts with
        form.YMinEdit->setText("-10");
        form.YMaxEdit->setText("-7");
        form.OkBtn->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown[0], "0");
    EXPECT_EQ(shown[1], "20");
    EXPECT_EQ(shown[2], "0");
    EXPECT_EQ(shown[3], "0.5");
    EXPECT_EQ(doc.TimeMin, 5.0);
    EXPECT_EQ(doc.TimeMax, 12.0);
    EXPECT_EQ(doc.AltMin, -10.0);
    EXPECT_EQ(doc.AltMax, -7.0);
    EXPECT_EQ(HomeRange.TimeMin, 5.0);
    EXPECT_EQ(HomeRange.TimeMax, 12.0);
    EXPECT_EQ(HomeRange.AltMin, -10.0);
    EXPECT_EQ(HomeRange.AltMax, -7.0);
    EXPECT_EQ(form.XMaxEdit->maxLength(), 39);
}

// OK refuses what would leave nothing to draw, says why and keeps the dialog open.
TEST_F(ScaleDialog, OkRefusesTextThatIsNotANumberAndMinimaNotBelowMaxima) {
    QStringList messages;
    Questions().ShowMessage = [&](QWidget*, const QString& m) { messages << m; };
    const char* const refused[][2] = {{"YMinEdit", "junk"},
                                      {"XMaxEdit", ""},
                                      {"XMaxEdit", "1e999"},
                                      {"XMinEdit", "20"},
                                      {"YMaxEdit", "-1"}};
    for (auto [edit, text] : refused)
        EXPECT_FALSE(Run([&] {
            form.findChild<QLineEdit*>(edit)->setText(text);
            form.OkBtn->click();
            EXPECT_TRUE(form.isVisible()) << text;
        })) << text;
    const QString order = "The minimum must be less than the maximum.";
    EXPECT_EQ(messages, (QStringList{"Not a number: junk", "Not a number: ", "Not a number: 1e999",
                                     order, order}));
    EXPECT_EQ(doc.TimeMax, 20.0);
    EXPECT_EQ(HomeRange.TimeMax, 20.0);
    // Put right, the same dialog closes with OK.
    EXPECT_TRUE(Run([&] {
        form.YMinEdit->setText("oops");
        form.OkBtn->click();
        form.YMinEdit->setText("-5");
        form.OkBtn->click();
    }));
    EXPECT_EQ(doc.AltMin, -5.0);
}

TEST_F(ScaleDialog, AutoShowsZeroForTimeMinAndOkStoresIt) {
    Signal* s = doc.CreateDataSet();
    s->Samples.Clear();
    s->Samples.Append(13.0, -3.0);
    s->Samples.Append(57.3, 412.0);
    QString shown[4];
    EXPECT_TRUE(Run([&] {
        form.AutoBtn->click();
        shown[0] = form.XMinEdit->text();
        shown[1] = form.XMaxEdit->text();
        shown[2] = form.YMinEdit->text();
        shown[3] = form.YMaxEdit->text();
        form.OkBtn->click();
    }));
    EXPECT_EQ(shown[0], "0"); // the automatic TimeMin is 10
    EXPECT_EQ(shown[1], "60");
    EXPECT_EQ(shown[2], "-10"); // a negative minimum goes down to a tenth of the unit
    EXPECT_EQ(shown[3], "490");
    EXPECT_EQ(doc.TimeMin, 0.0);
    EXPECT_EQ(doc.TimeMax, 60.0);
    EXPECT_EQ(HomeRange.TimeMin, 0.0);
    EXPECT_EQ(HomeRange.AltMax, 490.0);
}

TEST_F(ScaleDialog, CancelPutsEverythingBack) {
    doc.CreateDataSet(); // 0..20 ramp
    doc.TimeMax = 33;
    HomeRange.AltMax = 44;
    EXPECT_FALSE(Run([&] {
        form.XMinEdit->setText("3");
        form.AutoBtn->click(); // changes the document at once...
        form.CancelBtn->click();
    }));
    // ...and Cancel takes that back too.
    EXPECT_EQ(doc.TimeMin, 0.0);
    EXPECT_EQ(doc.TimeMax, 33.0);
    EXPECT_EQ(doc.AltMax, 20.0);
    EXPECT_EQ(HomeRange.AltMax, 44.0);
    EXPECT_EQ(HomeRange.TimeMax, 20.0);
}

TEST_F(ScaleDialog, ClosingRepaintsThePlot) {
    int repaints = 0;
    QObject::connect(&form, &TScaleForm::PlotChanged, [&] { ++repaints; });
    Run([&] { form.OkBtn->click(); });
    Run([&] { form.CancelBtn->click(); });
    EXPECT_EQ(repaints, 2);
}
