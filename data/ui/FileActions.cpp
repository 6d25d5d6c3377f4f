#include "data/ui/FileActions.h"

#include "data/AppState.h"
#include "data/SetFile.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/SaveSel.h"

#include <QDate>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace vemo {

namespace {

const QStringList DataFilters = {"Data File (*.csv)", "All Files (*.*)"};

int RealAskSaveKind(QWidget* parent) {
    if (SaveSel) return SaveSel->exec() == QDialog::Accepted ? SaveSel->ItemIndex() : -1;
    TSaveSel dialog(parent);
    return dialog.exec() == QDialog::Accepted ? dialog.ItemIndex() : -1;
}

QString RealAskSavePath(QWidget* parent, const QString& defaultName) {
    QFileDialog dialog(parent, "Save Vemo Data");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(DataFilters);
    dialog.selectFile(defaultName);
    // Asks before overwriting (the dialog's default); no extension is appended.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString RealAskLoadPath(QWidget* parent) {
    QFileDialog dialog(parent, "Load Vemo Data");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(DataFilters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString RealAskPhotoPath(QWidget* parent) {
    QFileDialog dialog(parent, "Export Photo Info");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({"Photo List (*.txt)", "All Files (*.*)"});
    dialog.setDefaultSuffix("txt");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void RealShowError(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, "Error", message, QMessageBox::Ok, parent);
    box.exec();
}

void RealOpenDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void RealShowNotice(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Information, "Load Vemo Data", message, QMessageBox::Ok, parent);
    box.exec();
}

FileQuestions RealQuestions() {
    return {RealAskSaveKind, RealAskSavePath,  RealAskLoadPath, RealAskPhotoPath,
            RealShowError,   RealOpenDocument, RealShowNotice};
}

} // namespace

FileQuestions& Questions() {
    static FileQuestions questions = RealQuestions();
    return questions;
}

void UseRealQuestions() {
    Questions() = RealQuestions();
}

void SaveData(QWidget* parent) {
    if (!PlotDoc) return;
    const int kind = Questions().AskSaveKind(parent);
    if (kind < 0) return;
    const bool wholePlot = kind == TSaveSel::PlotAndAllDataSets;
    const int active = PlotDoc->ActiveSet();
    if (!wholePlot && !PlotDoc->ValidSet(active)) return;

    const QDate today = QDate::currentDate();
    const QString name = wholePlot ? DefaultPlotFileName(today)
                                   : DefaultSetFileName(today, App.DownloadSetIndex + 1);
    const QString path = Questions().AskSavePath(parent, name);
    if (path.isEmpty()) return;

    QString error;
    const bool ok = wholePlot ? SavePlotFile(*PlotDoc, path, &error)
                              : SaveSetFile(*PlotDoc, active, path, &error);
    if (!ok) Questions().ShowError(parent, error);
}

void LoadData(QWidget* parent) {
    if (!PlotDoc) return;
    const QString path = Questions().AskLoadPath(parent);
    if (path.isEmpty()) return;
    LoadDataFrom(parent, path);
}

void LoadDataFrom(QWidget* parent, const QString& path) {
    if (!PlotDoc) return;
    QString error, notice;
    if (!LoadDataFile(*PlotDoc, path, &error, nullptr, &notice)) {
        Questions().ShowError(parent, error);
        return;
    }
    if (DataPropForm) DataPropForm->RefreshSetProperties();
    RepaintPlot();
    if (!notice.isEmpty()) Questions().ShowNotice(parent, path + ": " + notice);
}

} // namespace vemo
