#pragma once
// The "Log Data" page (its tab is hidden): time and altitude displays, the strip chart AltBox
// with its limits, "Start"/"Stop" and "Clear".
#include "link/LiveLog.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class ConnectPage;
class QLabel;
class QPushButton;
class QTimer;

class LogPage : public QWidget, private vemo::LiveLogUi {
    Q_OBJECT
public:
    explicit LogPage(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    QLabel* Panel3 = nullptr; // time
    QLabel* Label3 = nullptr;
    QLabel* AltDisp = nullptr;
    QLabel* AMaxLabel = nullptr;
    QLabel* AMinLabel = nullptr;
    QWidget* AltBox = nullptr; // 665 x 321
    QPushButton* StartBtn = nullptr;
    QPushButton* ClearBtn = nullptr;
    // The main window's 250 ms timer; its tick has no action.
    QTimer* Timer1 = nullptr;

    // Allocated by the main window's first show, released when it closes.
    vemo::AltitudeHistory History;

    // The history's full scale and bottom value, as shortest plain number text.
    void ShowLimits();

    // "Start" runs in the surroundings of the "Connect / Download" page, which holds the port,
    // the message log and the connection; without one it does nothing.
    void RunCommandsOn(ConnectPage* commands) { commands_ = commands; }

    void StartBtnClick();

    // The control that starts a module command, disabled while one runs.
    std::vector<QWidget*> ModuleControls() const;

private:
    void ShowLogging(bool logging) override;
    void RunTimer(bool run) override;

    QPointer<ConnectPage> commands_;
};
