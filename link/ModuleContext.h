#pragma once
// What every module command works with: the link, the message log, the message boxes, the
// controls it changes, and the state of the connection. The window's context belongs to the
// "Connect / Download" page; each vemo-cli command and each test makes its own.
#include "link/MessageLog.h"
#include "link/SerialLink.h"

#include <string>
#include <vector>

namespace vemo {

// Message boxes. Error shows an exclamation icon and an OK button; AskYesNo has no icon.
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    virtual void Error(const std::string& text, const std::string& caption) = 0;
    // A question whose default answer (Enter) is No: for what cannot be undone.
    virtual bool AskYesNoDefaultNo(const std::string& text, const std::string& caption) {
        return AskYesNo(text, caption);
    }
};

// The controls the commands change besides the message log. Every method defaults to doing
// nothing, so a headless caller overrides only what it shows.
class ModuleUi {
public:
    virtual ~ModuleUi() = default;
    // ConnectBtn caption "Disconnect"/"Connect", ConnectStatusDisp "Connected"/"Not Connected".
    virtual void ShowConnected(bool /*connected*/) {}
    // Replaces the items of SetList and selects item `selected`; -1 leaves it with no
    // selection and no text.
    virtual void SetSetList(const std::vector<std::string>& /*items*/, int /*selected*/) {}
    // FirmwareVersionDisp on the Configure page.
    virtual void ShowFirmwareVersion(const std::string& /*version*/) {}
    // Brings the "Connect / Download" page to the front.
    virtual void ShowConnectPage() {}
};

// The connection as the commands leave it for the next one.
struct LinkState {
    bool Connected = false;
    int ModuleSetCount = 0; // the sets the module listed at the last "Download Info"
    int SpeedIndex = 0;     // into BaudTable: the speed Connect opens the port at
    bool Logging = false;   // the live log runs
    // The "Set#" selection index of the last "Download Data" made while connected (capped at
    // 256, -1 when nothing was selected); the default set file name numbers from it.
    int DownloadSetIndex = 0;
    // Hidden option "Simulate Target": "Download Info" answers with built-in values instead
    // of asking the module. Comes only from the settings store.
    bool SimulateTarget = false;
};

class ConfigSession;

struct ModuleContext {
    SerialLink& link;
    MessageLog& log;
    UserPrompt& prompt;
    ModuleUi& ui;
    LinkState state{};
    // The configuration block the commands read after Connect, "Reset Defaults", "Reset
    // Module" and "Calibrate" (link/ConfigCommands). None: they leave the configuration alone (the
    // Connect page on its own, vemo-cli info).
    ConfigSession* config = nullptr;
};

} // namespace vemo
