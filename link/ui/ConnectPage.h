#pragma once
// The "Connect / Download" page of the main window: port and speed, Connect, the message log
// InfoText, "Download Info", "Download Data", the set selector and "Erase Data". The page is
// also the surroundings (message log, message boxes, connection display) of every module
// command, including those started from the Configure page.
#include "link/Protocol.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

class ConnectPage : public QWidget, private vemo::MessageLog, private vemo::ModuleUi {
    Q_OBJECT
public:
    explicit ConnectPage(QWidget* parent = nullptr);
    ~ConnectPage() override;

    // Lists the machine's serial ports into CommPortBox: when the page is made, each time the
    // list opens and after a failed Connect. The chosen port stays chosen while it is listed.
    void ListPorts();

    // What the module commands work with: the link, InfoText, the message boxes, the
    // controls of this page, and the window's connection state.
    vemo::ModuleContext& Context() { return context_; }
    const vemo::ModuleContext& Context() const { return context_; }

    // The speed shown is the speed used, even when the box was set without a change signal:
    // SpeedBox's choice becomes the connection's speed index, which is returned. Connect and
    // "Update Firmware" take it.
    int TakeShownSpeed();
    // Replaces the message boxes (tests answer them); nullptr restores the real ones.
    void SetPrompt(vemo::UserPrompt* prompt);
    // What Connect and the commands that change the block read it through (the Configure
    // page's session); none: they read no block.
    void UseConfigSession(vemo::ConfigSession* session);

    // "Download Data": the main window fills it in, since the sets go into its document.
    std::function<void(vemo::ModuleContext&)> OnDownloadData;
    // "Download Info" shows the module's software version: FirmwareVersionDisp on the Configure
    // page, as the main window fills it in.
    std::function<void(const QString&)> OnFirmwareVersion;

    // The Configure page's "Calibrate" with the text of its AltCalEdit.
    void CalibrateClick(const QString& altitudeText);

    QComboBox* CommPortBox = nullptr;
    QComboBox* SpeedBox = nullptr;
    QPushButton* ConnectBtn = nullptr;
    QPlainTextEdit* InfoText = nullptr;
    QPushButton* DLInfoBtn = nullptr;
    QPushButton* DLDataBtn = nullptr;
    QComboBox* SetList = nullptr;
    QPushButton* EraseDataBtn = nullptr;
    QCheckBox* SizeChk = nullptr;

    // The controls that start module commands or close the port, disabled while one runs.
    std::vector<QWidget*> ModuleControls() const;

public slots:
    void ConnectBtnClick();
    void SpeedBoxChange(int index);
    void DLInfoBtnClick();
    void DLDataBtnClick();
    void EraseDataBtnClick();

private:
    // The port found its module gone (unplugged, the far end closed): disconnect and say so.
    void ModuleLost();

    // MessageLog over InfoText.
    void Clear() override;
    void Append(const std::string& line) override;
    // ModuleUi over the page's controls.
    void ShowConnected(bool connected) override;
    void SetSetList(const std::vector<std::string>& items, int selected) override;
    void ShowFirmwareVersion(const std::string& version) override;
    void ShowConnectPage() override;

    // Passes questions on to the real message boxes or to the stand-in a test set.
    class PromptRelay : public vemo::UserPrompt {
    public:
        bool AskYesNo(const std::string& text, const std::string& caption) override {
            return to->AskYesNo(text, caption);
        }
        void Error(const std::string& text, const std::string& caption) override {
            to->Error(text, caption);
        }
        bool AskYesNoDefaultNo(const std::string& text, const std::string& caption) override {
            return to->AskYesNoDefaultNo(text, caption);
        }
        vemo::UserPrompt* to = nullptr;
    };

    std::unique_ptr<vemo::UserPrompt> boxes_;
    PromptRelay relay_;
    vemo::ModuleContext context_;
};
