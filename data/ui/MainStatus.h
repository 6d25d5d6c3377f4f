#pragma once
// The main window's status bar panels, which several pages write to. The main window fills
// the pointers when it builds its status bar; before that (and in tests that build a page
// alone) they are null, so writers check them.
class QLabel;
class QProgressBar;

struct MainStatusPanels {
    QLabel* ConnectStatusDisp = nullptr; // "Connected" / "Not Connected"
    QProgressBar* ProgressBar1 = nullptr; // 0..100, shown only during a transfer
    QLabel* LogDisp = nullptr;            // "Logging" while the live log runs
    QLabel* XYDisp = nullptr;             // mouse readouts of the plot
    QLabel* ROCDisp = nullptr;
};

extern MainStatusPanels MainStatus;
