#pragma once
// The module commands' surroundings for a page of the main window: the one serial link, the
// message log InfoText, message boxes, and the controls the commands change, all found by
// name in the page's window. Pages that start commands build one of these per click.
#include "link/Protocol.h"

#include <QPointer>
#include <QWidget>

namespace vemo {

class WidgetLog final : public MessageLog {
public:
    explicit WidgetLog(QWidget* window) : window_(window) {}
    void Clear() override;
    void Append(const std::string& line) override;

private:
    QPointer<QWidget> window_;
};

class BoxPrompt final : public UserPrompt {
public:
    explicit BoxPrompt(QWidget* parent) : parent_(parent) {}
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void Error(const std::string& text, const std::string& caption) override;

private:
    QPointer<QWidget> parent_;
};

class WindowUi final : public ModuleUi {
public:
    explicit WindowUi(QWidget* window) : window_(window) {}
    void ShowConnected(bool connected) override;
    void SetSetList(const std::vector<std::string>& items, int selected) override;
    void ShowFirmwareVersion(const std::string& version) override;
    void ShowConnectPage() override;

private:
    QPointer<QWidget> window_;
};

class WindowContext {
public:
    explicit WindowContext(QWidget* page);
    ModuleContext& Ctx() { return ctx_; }

private:
    WidgetLog log_;
    BoxPrompt prompt_;
    WindowUi ui_;
    ModuleContext ctx_;
};

} // namespace vemo
