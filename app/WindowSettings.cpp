#include "app/WindowSettings.h"

#include "app/MainForm.h"
#include "app/SettingsStore.h"
#include "data/PlotDocument.h"
#include "data/Text8.h"
#include "link/ModuleConfig.h"
#include "link/PortList.h"
#include "link/Protocol.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ConnectPage.h"
#include "plot/PlacementText.h"
#include "plot/PrintSettings.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/EditInfoForm.h"
#include "plot/ui/PlotBox.h"
#include "plot/ui/PrtLocForm.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>

using namespace vemo;

namespace {

// A stored index past the last item selects the last item; a negative one selects none.
void SelectRadio(QButtonGroup* group, int k) {
    SelectItem(group, std::min<int>(k, static_cast<int>(group->buttons().size()) - 1));
}

std::string EditText(const QLineEdit* edit) {
    return FromWidgetText(edit->text());
}

// A saved position is used when the window's caption would be on a screen; a screen that is
// gone since the last run would otherwise leave the window where nobody can reach it.
bool CaptionOnAScreen(const QRect& frame) {
    const QRect caption(frame.left(), frame.top(), frame.width(), 30);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = caption.intersected(screen->availableGeometry());
        if (seen.width() >= 40 && seen.height() >= 10) return true;
    }
    return false;
}

} // namespace

AppSettings CaptureSettings(const TMainForm& form) {
    AppSettings s;
    s.ComPort = form.ConnectPg->CommPortBox->currentIndex();
    s.ComPortName = PortTable.Name(s.ComPort);
    s.SpeedIndex = form.ConnectPg->Context().state.SpeedIndex;
    s.Left = form.pos().x();
    s.Top = form.pos().y();
    s.SimulateTarget = form.SimulateChk->isChecked();
    s.ShowPoints = form.DataPg->ShowPointsChk->isChecked();
    if (EditInfoForm) {
        s.ShowInfo = EditInfoForm->ShowInfoChk->isChecked();
        s.ShowBackground = EditInfoForm->ShowBackgroundChk->isChecked();
        s.ShowAvgROC = EditInfoForm->ShowROCChk->isChecked();
        s.ShowVerticalSpeed = EditInfoForm->ShowSpeedChk->isChecked();
    }
    const ConfigurePage& config = *form.ConfigurePg;
    s.BlankPart = config.BlankPartChk->isChecked();
    s.RevTrig = config.RevTrigChk->isChecked();
    s.Triggered = config.TrigChk->isChecked();
    s.Sizeable = form.ConnectPg->SizeChk->isChecked();
    s.PrtWidth = Prt.PrtWidth;
    s.PrtHeight = Prt.PrtHeight;
    if (PrtLocForm) s.PrtColor = PrtLocForm->ColorChecked();
    if (PlotDoc) {
        s.BGColor = PlotDoc->BGColor;
        s.GridColor = PlotDoc->GridColor;
        s.ScaleColor = PlotDoc->ScaleColor;
        s.LabelColor = PlotDoc->LabelColor;
        s.InfoColor = PlotDoc->InfoColor;
    }
    s.AutoStart = config.AutoStart->checkedId();
    s.AutoStartSec = EditText(config.AutoStartSecEdit);
    s.AutoStartAltitude = EditText(config.AutoStartAltitudeEdit);
    s.AutoStop = config.AutoStop->checkedId();
    s.AutoStopSec = EditText(config.AutoStopSecEdit);
    s.AutoStopAltitude = EditText(config.AutoStopAltitudeEdit);
    s.AutoZero = config.AutoZero->checkedId();
    s.ExportType = Prt.ExportType;
    s.Interval = Config.BaseStep;
    return s;
}

void ApplySettings(TMainForm& form, const AppSettings& s) {
    form.ConnectPg->Context().state.SpeedIndex = s.SpeedIndex;
    if (CaptionOnAScreen(QRect(QPoint(s.Left, s.Top), form.frameGeometry().size())))
        form.move(s.Left, s.Top);
    form.SimulateChk->setChecked(s.SimulateTarget);
    form.ConnectPg->Context().state.SimulateTarget = s.SimulateTarget;
    form.DataPg->ShowPointsChk->setChecked(s.ShowPoints);
    if (EditInfoForm) {
        EditInfoForm->ShowInfoChk->setChecked(s.ShowInfo);
        EditInfoForm->ShowBackgroundChk->setChecked(s.ShowBackground);
        EditInfoForm->ShowROCChk->setChecked(s.ShowAvgROC);
        EditInfoForm->ShowSpeedChk->setChecked(s.ShowVerticalSpeed);
    }
    form.DataPg->PlotBox->Switches.ShowBackground = s.ShowBackground;
    form.DataPg->PlotBox->Switches.ShowAvgROC = s.ShowAvgROC;
    form.DataPg->PlotBox->Switches.ShowVerticalSpeed = s.ShowVerticalSpeed;
    ConfigurePage& config = *form.ConfigurePg;
    config.BlankPartChk->setChecked(s.BlankPart);
    config.RevTrigChk->setChecked(s.RevTrig);
    config.TrigChk->setChecked(s.Triggered);
    form.ConnectPg->SizeChk->setChecked(s.Sizeable);
    Prt.PrtWidth = s.PrtWidth;
    Prt.PrtHeight = s.PrtHeight;
    Prt.PrtColor = s.PrtColor;
    if (PrtLocForm) {
        // The Output dialog shows the kept size from the first export on.
        PrtLocForm->WidthEdit->setText(QString::fromStdString(InchesText(s.PrtWidth)));
        PrtLocForm->HeightEdit->setText(QString::fromStdString(InchesText(s.PrtHeight)));
        PrtLocForm->SetColorChecked(s.PrtColor);
    }
    if (PlotDoc) {
        PlotDoc->BGColor = s.BGColor;
        PlotDoc->GridColor = s.GridColor;
        PlotDoc->ScaleColor = s.ScaleColor;
        PlotDoc->LabelColor = s.LabelColor;
        PlotDoc->InfoColor = s.InfoColor;
    }
    SelectRadio(config.AutoStart, s.AutoStart);
    config.AutoStartSecEdit->setText(ToWidgetText(s.AutoStartSec));
    config.AutoStartAltitudeEdit->setText(ToWidgetText(s.AutoStartAltitude));
    SelectRadio(config.AutoStop, s.AutoStop);
    config.AutoStopSecEdit->setText(ToWidgetText(s.AutoStopSec));
    config.AutoStopAltitudeEdit->setText(ToWidgetText(s.AutoStopAltitude));
    SelectRadio(config.AutoZero, s.AutoZero);
    Prt.ExportType = s.ExportType;
    Config.BaseStep = s.Interval;
}

void SelectPortAndSpeed(TMainForm& form, const AppSettings& s) {
    auto select = [](QComboBox* list, int k) {
        list->setCurrentIndex(k >= 0 && k < list->count() ? k : -1);
    };
    // Another adapter plugged in moves the ports' places in the list, not their names.
    int port = s.ComPort;
    for (int i = 0; !s.ComPortName.empty() && i < static_cast<int>(PortTable.Count()); ++i)
        if (PortTable.Name(i) == s.ComPortName) port = i;
    select(form.ConnectPg->CommPortBox, port);
    select(form.ConnectPg->SpeedBox, s.SpeedIndex);
}

AppSettings LoadUserSettings(TMainForm& form) {
    AppSettings s = CaptureSettings(form);
    LoadSettings(*UserSettingsStore(), s);
    ApplySettings(form, s);
    return s;
}

void StoreUserSettings(const TMainForm& form) {
    StoreSettings(*UserSettingsStore(), CaptureSettings(form));
}
