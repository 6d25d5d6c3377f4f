// The Output dialog and the Print and Export buttons' handlers, with stand-ins for the
// dialogs a person would answer.
#include "PictureFiles.h"
#include "QtTestApp.h"

#include "data/PlotDocument.h"
#include "plot/PlacementText.h"
#include "plot/Renderer.h"
#include "plot/ui/OutputActions.h"
#include "plot/ui/PrtLocForm.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>

using namespace vemo;

namespace {

int renders = 0;
RenderTarget lastTarget;
void Record(const RenderTarget& t, const PlotDocument&) {
    ++renders;
    lastTarget = t;
}

class OutputButtons : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        saved = OutputUi();
        savedPrt = Prt;
        Prt = PrintSettings{};
        PrtLocForm = new TPrtLocForm;
        PlotDoc = &doc;
        doc.CreateDataSet();
        renders = 0;
        OutputUi().Render = Record;
        OutputUi().Error = [this](QWidget*, const QString& m) { errors << m; };
        OutputUi().Printer = [](QPrinter&, QWidget*) -> bool {
            ADD_FAILURE() << "print dialog shown";
            return false;
        };
        OutputUi().ExportFile = [](QWidget*, int&, QString&) -> bool {
            ADD_FAILURE() << "export dialog shown";
            return false;
        };
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        OutputUi() = saved;
        Prt = savedPrt;
        delete PrtLocForm;
        PrtLocForm = nullptr;
        PlotDoc = nullptr;
    }

    // The Output dialog answered by typing the four texts and pressing OK (or Cancel).
    void AnswerOutput(QString w, QString h, QString left, QString top, bool ok = true,
                      std::function<void(TPrtLocForm&)> check = {}) {
        OutputUi().Output = [=, this](TPrtLocForm& form) {
            ++outputShown;
            if (check) check(form);
            form.WidthEdit->setText(w);
            form.HeightEdit->setText(h);
            form.LeftEdit->setText(left);
            form.TopEdit->setText(top);
            (ok ? form.OKBtn : form.CancelBtn)->click();
            return form.result() == QDialog::Accepted;
        };
    }
    // The print dialog answered by choosing a PDF file (or cancelling).
    void AnswerPrinter(const QString& pdf, bool ok = true) {
        OutputUi().Printer = [=](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(300);
            return ok;
        };
    }
    // The export file dialog answered with a file type and a name (or cancelled).
    void AnswerExportFile(int type, const QString& name, bool ok = true) {
        OutputUi().ExportFile = [=, this](QWidget*, int& fileType, QString& fileName) {
            offeredType = fileType;
            fileType = type;
            if (ok) fileName = name;
            return ok;
        };
    }

    PlotDocument doc;
    QTemporaryDir dir;
    OutputDialogs saved;
    PrintSettings savedPrt;
    QStringList errors;
    int outputShown = 0;
    int offeredType = 0;
};

} // namespace

TEST(PrtLocForm, ControlsCaptionsAndFirstTexts) {
    EnsureQtApp();
    TPrtLocForm form;
    EXPECT_EQ(form.windowTitle(), "Output");
    EXPECT_EQ(form.findChild<QGroupBox*>("OptionsGrp")->title(), "Printed Plot Options");
    const std::pair<const char*, const char*> edits[] = {
        {"WidthEdit", "7.0"}, {"HeightEdit", "3.5"}, {"LeftEdit", "0.5"}, {"TopEdit", "0.5"}};
    for (auto [name, text] : edits) {
        auto* e = form.findChild<QLineEdit*>(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->text(), text) << name;
    }
    EXPECT_EQ(form.findChild<QLabel*>("WidthLabel")->text(), "Width (inches)");
    EXPECT_EQ(form.findChild<QLabel*>("HeightLabel")->text(), "Height (inches)");
    EXPECT_EQ(form.findChild<QLabel*>("LeftLabel")->text(), "Distance from Left (inches)");
    EXPECT_EQ(form.findChild<QLabel*>("TopLabel")->text(), "Distance from Top (inches)");
    auto* colour = form.findChild<QCheckBox*>("ColorChk");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->text(), "Print with color");
    EXPECT_FALSE(colour->isChecked());
    EXPECT_EQ(form.findChild<QPushButton*>("OKBtn")->text(), "OK");
    EXPECT_EQ(form.findChild<QPushButton*>("CancelBtn")->text(), "Cancel");
}

TEST(PlacementText, LeadingNumbers) {
    EXPECT_EQ(LeadingNumber("7"), 7.0);
    EXPECT_EQ(LeadingNumber("  2.5in"), 2.5);
    EXPECT_EQ(LeadingNumber("\t-0.25"), -0.25);
    EXPECT_EQ(LeadingNumber("+3"), 3.0);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("5."), 5.0);
    EXPECT_EQ(LeadingNumber("1e1x"), 10.0);
    EXPECT_EQ(LeadingNumber("2e"), 2.0); // an exponent without digits is not part of it
    EXPECT_EQ(LeadingNumber("3.5.1"), 3.5);
    EXPECT_EQ(LeadingNumber("4,5"), 4.0);
    for (const char* bad : {"", "abc", " ", "-", ".", "+-1", "e5", "nan", "inf", "1e999"})
        EXPECT_FALSE(LeadingNumber(bad).has_value()) << bad;
    // Only the first 255 characters are read.
    EXPECT_EQ(LeadingNumber(std::string(254, ' ') + "9"), 9.0);
    EXPECT_FALSE(LeadingNumber(std::string(255, ' ') + "9").has_value());

    EXPECT_EQ(InchesText(7.0), "7");
    EXPECT_EQ(InchesText(3.5), "3.5");
    EXPECT_EQ(InchesText(2.0 / 3.0), "0.666666666666667");
}

TEST_F(OutputButtons, OkReadsEveryNumberAndLeavesTheRestCancelReadsNothing) {
    TPrtLocForm& form = *PrtLocForm;
    form.WidthEdit->setText("abc");
    form.HeightEdit->setText(" 2.25 in");
    form.LeftEdit->setText("1");
    form.TopEdit->setText("");
    form.ColorChk->setChecked(true);
    form.OKBtn->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Prt.PrtWidth, 7.0); // unchanged
    EXPECT_EQ(Prt.PrtHeight, 2.25);
    EXPECT_EQ(Prt.PrtLeft, 1.0);
    EXPECT_EQ(Prt.PrtTop, 0.0);
    EXPECT_TRUE(Prt.PrtColor);

    form.WidthEdit->setText("5");
    form.ColorChk->setChecked(false);
    form.CancelBtn->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(Prt.PrtWidth, 7.0);
    EXPECT_TRUE(Prt.PrtColor);
}

TEST_F(OutputButtons, PrintRendersAtTheChosenPlaceThenPutsThePlotBackInTheCorner) {
    Prt.PrtWidth = 6.0;
    Prt.PrtHeight = 3.0;
    const QString pdf = dir.filePath("print.pdf");
    AnswerOutput("4.5", "2", "0.75", "1.5", true, [](TPrtLocForm& form) {
        EXPECT_EQ(form.WidthEdit->text(), "6"); // refilled from the placement
        EXPECT_EQ(form.HeightEdit->text(), "3");
        EXPECT_TRUE(form.LeftEdit->isEnabled());
        EXPECT_TRUE(form.TopLabel->isEnabled());
    });
    AnswerPrinter(pdf);
    PrintBtnClick(nullptr);
    ASSERT_EQ(renders, 1);
    EXPECT_EQ(lastTarget.PpiX, 300);
    EXPECT_EQ(lastTarget.PpiY, 300);
    EXPECT_EQ(lastTarget.Width, 4.5);
    EXPECT_EQ(lastTarget.Height, 2.0);
    EXPECT_EQ(lastTarget.Left, 0.75);
    EXPECT_EQ(lastTarget.Top, 1.5);
    EXPECT_FALSE(lastTarget.Colour);
    EXPECT_EQ(FileHead(pdf, 5), "%PDF-");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Prt.PrtWidth, 4.5);
    EXPECT_EQ(Prt.PrtLeft, 0.0);
    EXPECT_EQ(Prt.PrtTop, 0.0);
    // Left and top keep their texts for the next print.
    EXPECT_EQ(PrtLocForm->LeftEdit->text(), "0.75");
}

TEST_F(OutputButtons, EveryCancelledOrFailedPrintEndsWithTheCornerAtZero) {
    // Cancelled print dialog: nothing rendered.
    AnswerOutput("7", "3.5", "0.5", "0.5");
    AnswerPrinter(dir.filePath("a.pdf"), false);
    PrintBtnClick(nullptr);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(Prt.PrtLeft, 0.0);
    EXPECT_EQ(Prt.PrtTop, 0.0);

    // Cancelled Output dialog: the print dialog is not shown.
    Prt.PrtLeft = Prt.PrtTop = 2.0;
    AnswerOutput("7", "3.5", "0.5", "0.5", false);
    OutputUi().Printer = [](QPrinter&, QWidget*) -> bool {
        ADD_FAILURE() << "print dialog shown after Cancel";
        return true;
    };
    PrintBtnClick(nullptr);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(Prt.PrtLeft, 0.0);

    // A plot without area is refused with a message and sends nothing.
    AnswerOutput("0", "3.5", "0.5", "0.5");
    AnswerPrinter(dir.filePath("b.pdf"));
    PrintBtnClick(nullptr);
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("b.pdf")));
    EXPECT_EQ(Prt.PrtLeft, 0.0);
    EXPECT_EQ(Prt.PrtTop, 0.0);
}

TEST_F(OutputButtons, ExportWritesTheChosenTypeAtHundredPerInchWithTheDefaultExtension) {
    OutputUi().Render = &RenderPlot;
    Prt.ExportType = ExportJpeg;
    PrtLocForm->PrepareForPrint(Prt.PrtWidth, Prt.PrtHeight); // a print happened before
    AnswerExportFile(ExportGif, dir.filePath("plot"));
    AnswerOutput("2.5", "1.25", "0.5", "0.5", true, [](TPrtLocForm& form) {
        EXPECT_FALSE(form.LeftEdit->isEnabled());
        EXPECT_FALSE(form.TopEdit->isEnabled());
        EXPECT_FALSE(form.LeftLabel->isEnabled());
        EXPECT_FALSE(form.TopLabel->isEnabled());
        EXPECT_EQ(form.WidthEdit->text(), "7"); // what it last held, not refilled
    });
    ExportBtnClick(nullptr);
    EXPECT_EQ(offeredType, ExportJpeg);
    EXPECT_EQ(Prt.ExportType, ExportGif);
    const DecodedGif gif = DecodeGifFile(dir.filePath("plot.gif"));
    ASSERT_TRUE(gif.ok) << "plot.gif";
    EXPECT_EQ(gif.width, 250);
    EXPECT_EQ(gif.height, 125);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Prt.PrtLeft, 0.0);
    EXPECT_EQ(Prt.PrtTop, 0.0);
}

TEST_F(OutputButtons, ExportRendersAtTheCornerAndANameWithItsOwnExtensionDecides) {
    AnswerExportFile(ExportGif, dir.filePath("picture.jpg"));
    AnswerOutput("3", "2", "1", "1");
    OutputUi().Render = [](const RenderTarget& t, const PlotDocument& d) {
        Record(t, d);
        RenderPlot(t, d);
    };
    ExportBtnClick(nullptr);
    ASSERT_EQ(renders, 1);
    EXPECT_EQ(lastTarget.Left, 0.0);
    EXPECT_EQ(lastTarget.Top, 0.0);
    EXPECT_EQ(lastTarget.PpiX, 100);
    EXPECT_EQ(FileHead(dir.filePath("picture.jpg"), 3), "\xFF\xD8\xFF");
    const DecodedJpeg jpg = DecodeJpegFile(dir.filePath("picture.jpg"));
    EXPECT_TRUE(jpg.ok);
    EXPECT_EQ(jpg.width, 300);
}

TEST_F(OutputButtons, ExportCancelledOrRefusedWritesNothing) {
    // Cancelled file dialog: the type the user switched to is still remembered.
    AnswerExportFile(ExportJpeg, dir.filePath("x"), false);
    OutputUi().Output = [](TPrtLocForm&) -> bool {
        ADD_FAILURE() << "Output dialog shown after Cancel";
        return false;
    };
    Prt.PrtLeft = 1.0;
    ExportBtnClick(nullptr);
    EXPECT_EQ(Prt.ExportType, ExportJpeg);
    EXPECT_EQ(Prt.PrtLeft, 0.0);

    // Cancelled Output dialog.
    AnswerExportFile(ExportBitmap, dir.filePath("y.bmp"));
    AnswerOutput("2", "2", "0", "0", false);
    ExportBtnClick(nullptr);
    EXPECT_FALSE(QFile::exists(dir.filePath("y.bmp")));

    // Too small and too large pictures are refused with a message.
    for (const char* width : {"0", "-2", "1000"}) {
        AnswerOutput(width, "2", "0", "0");
        ExportBtnClick(nullptr);
        EXPECT_FALSE(QFile::exists(dir.filePath("y.bmp"))) << width;
    }
    EXPECT_EQ(errors.size(), 3);
    EXPECT_EQ(renders, 0);
}
