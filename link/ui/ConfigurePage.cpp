#include "link/ui/ConfigurePage.h"

#include "data/Text8.h"
#include "link/ModuleBusy.h"
#include "link/ModuleConfig.h"
#include "link/ui/ConnectPage.h"
#include "link/ui/FirmwareAction.h"
#include "link/ui/SpinButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace vemo;

namespace {

QLabel* MakePanel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* panel = new QLabel(text, parent);
    if (name) panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setGeometry(geometry);
    return panel;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(geometry);
    return group;
}

// Radio items of a group; the button id is the item index. Items are placed in `columns`
// columns of equal width.
QButtonGroup* MakeRadios(QGroupBox* group, const QStringList& items, int x, int y, int width,
                         int columns = 1) {
    auto* buttons = new QButtonGroup(group);
    buttons->setObjectName(group->objectName() + "Items"); // the settings find it by name
    const int rows = static_cast<int>((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], group);
        radio->setObjectName(group->objectName() + QString::number(i));
        radio->setGeometry(x + (i / rows) * width, y + (i % rows) * 22, width - 4, 20);
        buttons->addButton(radio, i);
    }
    return buttons;
}

} // namespace

// Selects item k, or no item for an index the group does not have.
void SelectItem(QButtonGroup* group, int k) {
    if (QAbstractButton* b = group->button(k)) {
        b->setChecked(true);
        return;
    }
    if (QAbstractButton* b = group->checkedButton()) {
        group->setExclusive(false);
        b->setChecked(false);
        group->setExclusive(true);
    }
}

ConfigurePage::ConfigurePage(QWidget* parent)
    : QWidget(parent), FirmwareAsks(RealFirmwareQuestions(this)) {
    setObjectName("ConfigurePage");
    Build();
}

ConfigurePage::~ConfigurePage() = default;

std::vector<QWidget*> ConfigurePage::ModuleControls() const {
    return {ReadCfgBtn, WriteCfgBtn, BitBtn1, ResetModuleBtn, CalBtn, UpdateBtn};
}

void ConfigurePage::RunCommandsOn(ConnectPage* commands) {
    commands_ = commands;
}

template <typename F> void ConfigurePage::RunCommand(F command) {
    if (ModuleBusy()) return;
    if (commands_) command(commands_->Context());
}

void ConfigurePage::Build() {
    // Sampling interval
    auto* intervalGrp = MakeGroup(this, "IntervalGrp", "Sample Interval", {8, 4, 364, 132});
    const char* panelNames[] = {"HourPanel", "MinutePanel", "SecondPanel", "mSecPanel"};
    const char* spinNames[] = {"HourSpin", "MinSpin", "SecSpin", "mSecSpin"};
    const char* captions[] = {"Hours", "Minutes", "Seconds", "mSec"};
    QLabel* panels[4];
    SpinButton* spins[4];
    for (int i = 0; i < 4; ++i) {
        const int x = 14 + i * 86;
        panels[i] = MakePanel(intervalGrp, panelNames[i], QString(), {x, 26, 48, 26});
        spins[i] = new SpinButton(spinNames[i], intervalGrp);
        spins[i]->setGeometry(x + 50, 26, 18, 26);
        MakeLabel(intervalGrp, captions[i], {x, 54, 70, 16});
        connect(spins[i], &SpinButton::Up, this, [this, i] { Spin(i, true); });
        connect(spins[i], &SpinButton::Down, this, [this, i] { Spin(i, false); });
    }
    HourPanel = panels[0];
    MinutePanel = panels[1];
    SecondPanel = panels[2];
    mSecPanel = panels[3];
    HourSpin = spins[0];
    MinSpin = spins[1];
    SecSpin = spins[2];
    mSecSpin = spins[3];
    Msg1 = MakePanel(intervalGrp, "Msg1", TotalRecordTimeDesignText, {14, 82, 336, 36});
    Msg1->setWordWrap(true);

    // Units and options
    UnitsGrp = MakeGroup(this, "UnitsGrp", "Altitude Units", {8, 140, 120, 96});
    Units = MakeRadios(UnitsGrp, {"Feet", "Yards", "Meters"}, 12, 22, 100);
    connect(Units, &QButtonGroup::idClicked, this, &ConfigurePage::UnitsGrpClick);

    auto* optionsGrp = MakeGroup(this, "OptionsGrp", "Options", {136, 140, 236, 96});
    BlankChk = MakeCheck(optionsGrp, "BlankChk", ToWidgetText(BlankCaption(Config.ModuleVersion)),
                         {10, 22, 222, 20});
    TrigChk = MakeCheck(optionsGrp, "TrigChk", "Record External Trigger", {10, 44, 222, 20});
    RevTrigChk =
        MakeCheck(optionsGrp, "RevTrigChk", "Reverse Trigger Direction", {10, 66, 222, 20});

    // Calibration
    auto* calGrp = MakeGroup(this, "CalibrationGrp", "Calibration", {8, 240, 364, 84});
    MakeLabel(calGrp, "Enter actual current altitude from known standard:", {10, 22, 344, 18});
    AltCalEdit = MakeEdit(calGrp, "AltCalEdit", "0", {10, 46, 120, 24});
    CalBtn = MakeButton(calGrp, "CalBtn", "Calibrate", {140, 45, 100, 26});
    connect(CalBtn, &QPushButton::clicked, this, &ConfigurePage::CalBtnClick);

    // Commands
    ReadCfgBtn = MakeButton(this, "ReadCfgBtn", "Read Config", {8, 336, 176, 30});
    WriteCfgBtn = MakeButton(this, "WriteCfgBtn", "Write Config", {196, 336, 176, 30});
    BitBtn1 = MakeButton(this, "BitBtn1", "Reset Defaults", {8, 374, 176, 30});
    ResetModuleBtn = MakeButton(this, "ResetModuleBtn", "Reset Module", {196, 374, 176, 30});
    ReadCfgBtn->setToolTip("Read configuration from module");
    WriteCfgBtn->setToolTip("Write configuration to module");
    connect(ReadCfgBtn, &QPushButton::clicked, this, &ConfigurePage::ReadCfgBtnClick);
    connect(WriteCfgBtn, &QPushButton::clicked, this, &ConfigurePage::WriteCfgBtnClick);
    connect(BitBtn1, &QPushButton::clicked, this, &ConfigurePage::BitBtn1Click);
    connect(ResetModuleBtn, &QPushButton::clicked, this, &ConfigurePage::ResetModuleBtnClick);

    // Auto start
    AutoStartGrp = MakeGroup(this, "AutoStartGrp", "Auto Start Recording", {380, 4, 360, 112});
    AutoStart = MakeRadios(
        AutoStartGrp, {"Off", "After Powerup", "Above Altitude", "On first Trigger"}, 12, 20, 150);
    AutoStartSecEdit = MakeEdit(AutoStartGrp, "AutoStartSecEdit", "10", {170, 40, 70, 22});
    MakePanel(AutoStartGrp, "AutoStartSecPanel", "Seconds", {246, 40, 100, 22});
    AutoStartAltitudeEdit =
        MakeEdit(AutoStartGrp, "AutoStartAltitudeEdit", "20", {170, 64, 70, 22});
    AboveUnitsPanel = MakePanel(AutoStartGrp, "AboveUnitsPanel", "Feet", {246, 64, 100, 22});

    // Auto stop
    AutoStopGrp = MakeGroup(this, "AutoStopGrp", "Auto Stop Recording", {380, 120, 360, 92});
    AutoStop = MakeRadios(AutoStopGrp, {"Off", "After Time", "Below Altitude"}, 12, 20, 150);
    AutoStopSecEdit = MakeEdit(AutoStopGrp, "AutoStopSecEdit", "60", {170, 40, 70, 22});
    MakePanel(AutoStopGrp, "AutoStopSecPanel", "Seconds", {246, 40, 100, 22});
    AutoStopAltitudeEdit = MakeEdit(AutoStopGrp, "AutoStopAltitudeEdit", "15", {170, 64, 70, 22});
    BelowUnitsPanel = MakePanel(AutoStopGrp, "BelowUnitsPanel", "Feet", {246, 64, 100, 22});

    // Auto zero
    AutoZeroGrp = MakeGroup(this, "AutoZeroGrp", "Auto Zero Altitude", {380, 216, 360, 70});
    AutoZero =
        MakeRadios(AutoZeroGrp, {"Off", "On First Trigger", "On Powerup", "On Start Recording"}, 12,
                   20, 170, 2);
    SelectItem(AutoStart, 0);
    SelectItem(AutoStop, 0);
    SelectItem(AutoZero, 0);
    SelectItem(Units, 0);

    // Firmware
    FirmwareGrp = MakeGroup(this, "FirmwareGrp", "Firmware", {380, 290, 360, 152});
    MakeLabel(FirmwareGrp, "Firmware Version:", {12, 24, 120, 20});
    FirmwareVersionDisp = new QLabel(FirmwareGrp);
    FirmwareVersionDisp->setObjectName("FirmwareVersionDisp");
    FirmwareVersionDisp->setGeometry(134, 24, 200, 20);
    BlankPartChk = MakeCheck(FirmwareGrp, "BlankPartChk", "Part is Blank", {12, 50, 160, 20});
    ForceChk = MakeCheck(FirmwareGrp, "ForceChk", "Force Update", {12, 74, 160, 20});
    CompatChk = MakeCheck(FirmwareGrp, "CompatChk", "Update trouble?  Try me.", {180, 50, 170, 20});
    CompatChk->setVisible(false);
    connect(CompatChk, &QCheckBox::clicked, this, &ConfigurePage::CompatChkClick);
    UpdateBtn = MakeButton(FirmwareGrp, "UpdateBtn", "Update Firmware", {12, 104, 160, 30});
    connect(UpdateBtn, &QPushButton::clicked, this, &ConfigurePage::UpdateBtnClick);

    ShowInterval();
    Msg1->setText(TotalRecordTimeDesignText); // until the first recomputation
}

void ConfigurePage::ShowBlock() {
    ConfigForm form;
    ShowConfig(Config, form);
    SetForm(form);
    UnitsGrpClick(Config.AltUnit);
    ShowBlankCaption();
}

void ConfigurePage::ShowInterval() {
    const IntervalTexts t = FormatInterval(Interval);
    HourPanel->setText(ToWidgetText(t.Hours));
    MinutePanel->setText(ToWidgetText(t.Minutes));
    SecondPanel->setText(ToWidgetText(t.Seconds));
    mSecPanel->setText(ToWidgetText(t.Millis));
    Msg1->setText(ToWidgetText(TotalRecordTimeText(Config.MemorySize, Interval.SampleInterval)));
}

void ConfigurePage::ShowBlankCaption() {
    BlankChk->setText(ToWidgetText(BlankCaption(Config.ModuleVersion)));
}

ConfigForm ConfigurePage::Form() const {
    ConfigForm f;
    f.Units = Units->checkedId();
    f.Blank = BlankChk->isChecked();
    f.RevTrig = RevTrigChk->isChecked();
    f.Trig = TrigChk->isChecked();
    f.AutoStart = AutoStart->checkedId();
    f.AutoStop = AutoStop->checkedId();
    f.AutoZero = AutoZero->checkedId();
    f.AutoStartSec = FromWidgetText(AutoStartSecEdit->text());
    f.AutoStartAltitude = FromWidgetText(AutoStartAltitudeEdit->text());
    f.AutoStopSec = FromWidgetText(AutoStopSecEdit->text());
    f.AutoStopAltitude = FromWidgetText(AutoStopAltitudeEdit->text());
    return f;
}

void ConfigurePage::SetForm(const ConfigForm& f) {
    SelectItem(Units, f.Units);
    BlankChk->setChecked(f.Blank);
    RevTrigChk->setChecked(f.RevTrig);
    TrigChk->setChecked(f.Trig);
    SelectItem(AutoStart, f.AutoStart);
    SelectItem(AutoStop, f.AutoStop);
    SelectItem(AutoZero, f.AutoZero);
    AutoStartSecEdit->setText(ToWidgetText(f.AutoStartSec));
    AutoStartAltitudeEdit->setText(ToWidgetText(f.AutoStartAltitude));
    AutoStopSecEdit->setText(ToWidgetText(f.AutoStopSec));
    AutoStopAltitudeEdit->setText(ToWidgetText(f.AutoStopAltitude));
}

void ConfigurePage::Spin(int which, bool up) {
    SpinInterval(Interval, static_cast<IntervalSpinner>(which), up, Config.BaseStep);
    ShowInterval();
}

void ConfigurePage::UnitsGrpClick(int item) {
    const QString name = ToWidgetText(UnitName(item));
    AboveUnitsPanel->setText(name);
    BelowUnitsPanel->setText(name);
}

void ConfigurePage::ReadCfgBtnClick() {
    RunCommand([](ModuleContext& ctx) { ReadConfigClick(ctx); });
}

void ConfigurePage::WriteCfgBtnClick() {
    ConfigForm form = Form();
    RunCommand([&form](ModuleContext& ctx) { WriteConfigClick(ctx, form); });
    SetForm(form); // the clamped seconds show what was sent
}

void ConfigurePage::BitBtn1Click() {
    RunCommand([](ModuleContext& ctx) { ResetDefaults(ctx); });
}

void ConfigurePage::ResetModuleBtnClick() {
    RunCommand([](ModuleContext& ctx) { ResetModule(ctx); });
}

void ConfigurePage::CalBtnClick() {
    if (ModuleBusy() || !commands_) return;
    commands_->CalibrateClick(AltCalEdit->text());
}

void ConfigurePage::CompatChkClick() {
    if (CompatChk->isChecked()) BlankPartChk->setChecked(false);
    BlankPartChk->setEnabled(!CompatChk->isChecked());
}

void ConfigurePage::UpdateBtnClick() {
    // The options are read now; the questions that follow are modal, so they cannot change.
    if (!commands_) return;
    UpdateBtnAction(*commands_, FirmwareAsks,
                    {BlankPartChk->isChecked(), ForceChk->isChecked(), CompatChk->isChecked()});
}
