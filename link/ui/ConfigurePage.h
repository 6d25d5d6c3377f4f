#pragma once
// The "Configure" page: sampling interval with the total record time, altitude units, the
// module's options, auto start/stop/zero, calibration, the configuration commands and the
// "Firmware" group.
#include "link/ConfigTransfer.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SpinButton;

namespace vemo {
class BusyControls;
}

// Selects item k of a radio group, or no item for an index the group does not have.
void SelectItem(QButtonGroup* group, int k);

class ConfigurePage : public QWidget {
    Q_OBJECT
public:
    explicit ConfigurePage(QWidget* parent = nullptr);
    ~ConfigurePage() override;

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

    // The process-wide block and interval onto the controls.
    void ShowBlock();
    void ShowInterval();
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

    std::unique_ptr<vemo::BusyControls> busy_;
};
