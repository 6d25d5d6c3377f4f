#include "app/StartUp.h"

#include "app/MainForm.h"
#include "app/Windows.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowErrorText(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), "Vemo", text);
}

} // namespace

void ShowException(const std::exception& e) {
    ShowErrorText(QString::fromLocal8Bit(e.what()));
}

bool StartWindows(const std::function<void()>& create) {
    try {
        if (create)
            create();
        else
            CreateWindows();
        if (MainForm) MainForm->show();
        return true;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowErrorText("The program could not start.");
    }
    DestroyWindows();
    return false;
}
