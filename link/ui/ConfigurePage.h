#pragma once
// The "Configure" page: sampling interval with the total record time, altitude units, the
// module's options, auto start/stop/zero, calibration, the configuration commands and the
// "Firmware" group.
#include "link/ConfigCommands.h"
#include "link/FirmwareUpdate.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SpinButton;
class ConnectPage;

// Selects item k of a radio group, or no item for an index the group does not have.
void SelectItem(QButtonGroup* group, int k);

class ConfigurePage : public QWidget, private vemo::ConfigView {
    Q_OBJECT
public:
    explicit ConfigurePage(QWidget* parent = nullptr);
    ~ConfigurePage() override;

    // The page's module commands run in the surroundings of the "Connect / Download" page,
    // which holds the port, the message log and the connection; without one they do nothing.
    void RunCommandsOn(ConnectPage* commands);
    // The configuration these controls show: the Connect page's context reads through it.
    vemo::ConfigSession& Session() { return session_; }

    // The questions "Update Firmware" asks: the message boxes and the file dialog over this
    // page's window, unless a test answers them.
    vemo::FirmwareQuestions FirmwareAsks;

    // Interval
    QLabel *HourPanel, *MinutePanel, *SecondPanel, *mSecPanel;
    SpinButton *HourSpin, *MinSpin, *SecSpin, *mSecSpin;
    QLabel* Msg1; // total record time
    // Units and options
    QGroupBox* UnitsGrp;
    QButtonGroup* Units;
    QCheckBox *BlankChk, *TrigChk, *RevTrigChk;
    // Auto start / stop / zero
    QGroupBox *AutoStartGrp, *AutoStopGrp, *AutoZeroGrp;
    QButtonGroup *AutoStart, *AutoStop, *AutoZero;
    QLineEdit *AutoStartSecEdit, *AutoStartAltitudeEdit, *AutoStopSecEdit, *AutoStopAltitudeEdit;
    QLabel *AboveUnitsPanel, *BelowUnitsPanel;
    // Calibration and commands
    QLineEdit* AltCalEdit;
    QPushButton *CalBtn, *ReadCfgBtn, *WriteCfgBtn, *BitBtn1, *ResetModuleBtn;
    // Firmware
    QGroupBox* FirmwareGrp;
    QLabel* FirmwareVersionDisp;
    QCheckBox *BlankPartChk, *ForceChk, *CompatChk;
    QPushButton* UpdateBtn;

    // The controls that start module commands, disabled while one runs.
    std::vector<QWidget*> ModuleControls() const;

    // The process-wide block and interval onto the controls.
    void ShowBlock() override;
    void ShowInterval() override;
    // The display option's caption, which follows the module version (service dialog).
    void ShowBlankCaption();
    // The controls' values as the configuration logic takes them, and back.
    vemo::ConfigForm Form() const;
    void SetForm(const vemo::ConfigForm& form);

    // Handlers.
    void ReadCfgBtnClick();
    void WriteCfgBtnClick();
    void BitBtn1Click();
    void ResetModuleBtnClick();
    void CalBtnClick();
    void UnitsGrpClick(int item);
    void CompatChkClick();
    void UpdateBtnClick();

private:
    void Build();
    void Spin(int which, bool up);
    template <typename F> void RunCommand(F command);

    vemo::ConfigSession session_{this};
    QPointer<ConnectPage> commands_;
};
