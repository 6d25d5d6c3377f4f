#pragma once
// The main window: five pages, the status bar, the Close button and the two timers.
#include "data/PlotDocument.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QTabWidget;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class ConnectPage;
class ConfigurePage;
class DataPage;
class LogPage;
class AboutPage;
namespace vemo {
class BusyControls;
struct ModuleContext;
} // namespace vemo

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    QTabWidget* PageControl1 = nullptr;
    ConnectPage* ConnectPg = nullptr;
    ConfigurePage* ConfigurePg = nullptr;
    DataPage* DataPg = nullptr;
    LogPage* LogPg = nullptr;
    AboutPage* AboutPg = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer3 = nullptr;
    // Hidden option "Simulate Target": never shown; its state comes from the kept settings.
    QCheckBox* SimulateChk = nullptr;

    static constexpr int ClientWidth = 772;
    static constexpr int ClientHeight = 565;

    // The dialogs made after this window tell it what they changed.
    void ConnectDialogs();
    // Repaints the plot on the Recorded Data page.
    void RepaintPlot();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildStatusBar();
    void FormShow();
    void FormClose();
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Timer3Timer();
    void PageControl1Change();
    void Image1MouseDown(Qt::KeyboardModifiers modifiers);
    void SetSizeable(bool sizeable);
    // The smallest size at which every page and the status bar show all their controls whole.
    QSize SmallestWholeSize() const;
    void AttachNameLists();
    void ConnectDataPageButtons();
    void ConnectModulePages();
    // "Download Data" into the document, auto-ranged, with the status bar's progress bar.
    void DownloadData(vemo::ModuleContext& ctx);
    // Closes the window once the firmware update has ended.
    void CloseAfterUpdate();

    bool firstShow_ = true;
    bool closed_ = false;
    bool closeAfterUpdate_ = false; // a close waits for the firmware update
    // The settings are stored at close only when this run read them: a window that was never
    // shown must not overwrite them with its initial state.
    bool settingsLoaded_ = false;
    std::unique_ptr<vemo::PlotDocument> document_;
    std::unique_ptr<vemo::BusyControls> busy_;
    QFrame* statusPanel_ = nullptr;
    QPushButton* closeBtn_ = nullptr;
};

extern TMainForm* MainForm;
