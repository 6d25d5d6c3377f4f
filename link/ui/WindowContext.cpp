#include "link/ui/WindowContext.h"

#include "data/ui/MainStatus.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

namespace vemo {

namespace {

template <typename T> T* Find(QWidget* window, const char* name) {
    return window ? window->findChild<T*>(name) : nullptr;
}

} // namespace

void WidgetLog::Clear() {
    if (auto* plain = Find<QPlainTextEdit>(window_, "InfoText"))
        plain->clear();
    else if (auto* rich = Find<QTextEdit>(window_, "InfoText"))
        rich->clear();
}

void WidgetLog::Append(const std::string& line) {
    const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    if (auto* plain = Find<QPlainTextEdit>(window_, "InfoText"))
        plain->appendPlainText(text);
    else if (auto* rich = Find<QTextEdit>(window_, "InfoText"))
        rich->append(text.toHtmlEscaped());
}

bool BoxPrompt::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

void BoxPrompt::Error(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

void WindowUi::ShowConnected(bool connected) {
    if (auto* btn = Find<QPushButton>(window_, "ConnectBtn"))
        btn->setText(connected ? "Disconnect" : "Connect");
    if (MainStatus.ConnectStatusDisp)
        MainStatus.ConnectStatusDisp->setText(connected ? "Connected" : "Not Connected");
}

void WindowUi::SetSetList(const std::vector<std::string>& items, int selected) {
    auto* list = Find<QComboBox>(window_, "SetList");
    if (!list) return;
    list->clear();
    for (const auto& item : items)
        list->addItem(QString::fromStdString(item));
    list->setCurrentIndex(selected);
}

void WindowUi::ShowFirmwareVersion(const std::string& version) {
    if (auto* label = Find<QLabel>(window_, "FirmwareVersionDisp"))
        label->setText(QString::fromLatin1(version.data(), static_cast<qsizetype>(version.size())));
}

void WindowUi::ShowConnectPage() {
    auto* tabs = Find<QTabWidget>(window_, "PageControl1");
    auto* page = Find<QWidget>(window_, "ConnectPage");
    if (tabs && page) tabs->setCurrentWidget(page);
}

WindowContext::WindowContext(QWidget* page)
    : log_(page->window()), prompt_(page->window()),
      ui_(page->window()), ctx_{Link(), log_, prompt_, ui_} {}

} // namespace vemo
