#include "plot/ui/OutputActions.h"

#include "data/PlotDocument.h"
#include "data/ui/FileDialogFolder.h"
#include "plot/Export.h"
#include "plot/Print.h"
#include "plot/ui/PrtLocForm.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <exception>

namespace vemo {

namespace {

// The first three keep their places: the settings store the chosen filter's number.
const QStringList ExportFilters{"Bitmap (*.bmp)", "JPEG (*.jpg)", "GIF (*.gif)",
                                "PNG (*.png)",    "SVG (*.svg)",  "PDF (*.pdf)"};

bool RunExportFileDialog(QWidget* parent, int& fileType, QString& fileName) {
    QFileDialog dialog(parent, "Export Graph Data");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(ExportFilters);
    const int start = std::clamp(fileType, 1, int(ExportFilters.size()));
    dialog.selectNameFilter(ExportFilters[start - 1]);
    dialog.setDefaultSuffix(ExportExtension(start));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const int type = int(ExportFilters.indexOf(f)) + 1;
        if (type > 0) dialog.setDefaultSuffix(ExportExtension(type));
    });
    const QString chosenFile = ExecFileDialog(dialog);
    const int chosen = int(ExportFilters.indexOf(dialog.selectedNameFilter())) + 1;
    if (chosen > 0) fileType = chosen;
    if (!chosenFile.isEmpty()) fileName = chosenFile;
    return !chosenFile.isEmpty();
}

void ShowError(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, "Error", message, QMessageBox::Ok, parent);
    box.exec();
}

// Runs fn and shows what it throws; the program goes on.
template <class Fn> void ShowingErrors(QWidget* parent, Fn fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        OutputUi().Error(parent, QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

const QStringList& ExportFilterList() {
    return ExportFilters;
}

OutputDialogs StandardOutputDialogs() {
    OutputDialogs d;
    d.Output = [](TPrtLocForm& form) { return form.exec() == QDialog::Accepted; };
    d.Printer = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    d.ExportFile = RunExportFileDialog;
    d.Error = ShowError;
    d.Render = &RenderPlot;
    return d;
}

OutputDialogs& OutputUi() {
    static OutputDialogs dialogs = StandardOutputDialogs();
    return dialogs;
}

void PrintBtnClick(QWidget* parent, const PlotSwitches& switches) {
    OutputDialogs& ui = OutputUi();
    if (PrtLocForm && PlotDoc) {
        PrtLocForm->PrepareForPrint(Prt.PrtWidth, Prt.PrtHeight);
        QPrinter& printer = PrtLocForm->Printer();
        if (ui.Output(*PrtLocForm) && ui.Printer(printer, parent)) {
            // Let the screen repaint where the dialogs were before the page is drawn.
            QApplication::processEvents();
            ShowingErrors(parent, [&] { PrintPlot(printer, *PlotDoc, Prt, ui.Render, switches); });
        }
    }
    Prt.ResetPlace();
}

void ExportBtnClick(QWidget* parent, const PlotSwitches& switches) {
    OutputDialogs& ui = OutputUi();
    if (PrtLocForm && PlotDoc) {
        int fileType = Prt.ExportType;
        QString fileName;
        const bool chosen = ui.ExportFile(parent, fileType, fileName);
        Prt.ExportType = fileType;
        if (chosen) {
            PrtLocForm->PrepareForExport();
            if (ui.Output(*PrtLocForm)) {
                Prt.ResetPlace();
                fileName = WithDefaultExtension(fileName, fileType);
                // A name typed with a picture extension of its own is written in that format.
                const int type = ExportTypeOfName(fileName);
                ShowingErrors(parent, [&] {
                    ExportPlot(*PlotDoc, Prt, fileName, type ? type : fileType, ui.Render,
                               switches);
                });
            }
        }
    }
    Prt.ResetPlace();
}

} // namespace vemo
