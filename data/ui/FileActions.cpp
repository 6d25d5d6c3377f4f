#include "data/ui/FileActions.h"

#include "data/DataFile.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/FileDialogFolder.h"
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
    // A name typed without an extension gets ".csv", so the overwrite question (the dialog's
    // default) is asked about the file that will be written.
    dialog.setDefaultSuffix("csv");
    return ExecFileDialog(dialog, defaultName);
}

QString RealAskLoadPath(QWidget* parent) {
    QFileDialog dialog(parent, "Load Vemo Data");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(DataFilters);
    return ExecFileDialog(dialog);
}

QString RealAskPhotoPath(QWidget* parent) {
    QFileDialog dialog(parent, "Export Photo Info");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({"Photo List (*.txt)", "All Files (*.*)"});
    dialog.setDefaultSuffix("txt");
    return ExecFileDialog(dialog);
}

void RealShowError(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, "Error", message, QMessageBox::Ok, parent);
    box.exec();
}

void RealShowMessage(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, "Vemo", message, QMessageBox::Ok, parent);
    box.exec();
}

bool RealAskYesNo(QWidget* parent, const QString& caption, const QString& question) {
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void RealOpenDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

FileQuestions RealQuestions() {
    FileQuestions q;
    q.AskSaveKind = RealAskSaveKind;
    q.AskSavePath = RealAskSavePath;
    q.AskLoadPath = RealAskLoadPath;
    q.AskPhotoPath = RealAskPhotoPath;
    q.ShowError = RealShowError;
    q.ShowMessage = RealShowMessage;
    q.AskYesNo = RealAskYesNo;
    q.OpenDocument = RealOpenDocument;
    return q;
}

} // namespace

FileQuestions& Questions() {
    static FileQuestions questions = RealQuestions();
    return questions;
}

void UseRealQuestions() {
    Questions() = RealQuestions();
}

void SaveData(QWidget* parent, int downloadSetIndex) {
    if (!PlotDoc) return;
    const int kind = Questions().AskSaveKind(parent);
    if (kind < 0) return;
    const bool wholePlot = kind == TSaveSel::PlotAndAllDataSets;
    const int active = PlotDoc->ActiveSet();
    if (!wholePlot && !PlotDoc->ValidSet(active)) return;

    const QDate today = QDate::currentDate();
    const QString name =
        wholePlot ? DefaultPlotFileName(today) : DefaultSetFileName(today, downloadSetIndex + 1);
    const QString path = WithDataFileExtension(Questions().AskSavePath(parent, name));
    if (path.isEmpty()) return;

    QString error;
    const bool ok = wholePlot ? SavePlotFile(*PlotDoc, path, &error)
                              : SaveSetFile(*PlotDoc, active, path, &error);
    if (!ok) Questions().ShowError(parent, error);
}

void LoadData(QWidget* parent, const std::function<void()>& loaded) {
    if (!PlotDoc) return;
    const QString path = Questions().AskLoadPath(parent);
    if (path.isEmpty()) return;
    LoadDataFrom(parent, path, loaded);
}

void LoadDataFrom(QWidget* parent, const QString& path, const std::function<void()>& loaded) {
    if (!PlotDoc) return;
    const LoadResult r = LoadDataFile(*PlotDoc, path);
    if (!r.Done) {
        // A file that opened but holds no data is no fault of the system's.
        if (r.Kind == DataFileKind::NotData)
            Questions().ShowMessage(parent, r.Error);
        else
            Questions().ShowError(parent, r.Error);
        return;
    }
    if (DataPropForm) DataPropForm->RefreshSetProperties();
    if (loaded) loaded();
    for (const QString& notice : r.Notices)
        Questions().ShowMessage(parent, notice);
}

} // namespace vemo
