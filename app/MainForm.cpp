#include "app/MainForm.h"

#include "Version.h"
#include "app/AboutPage.h"
#include "app/AppIcon.h"
#include "app/KeyZoom.h"
#include "app/WindowSettings.h"
#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/FileActions.h"
#include "data/ui/MainStatus.h"
#include "link/DownloadCommand.h"
#include "link/FirmwareUpdate.h"
#include "link/Protocol.h"
#include "link/ui/BusyControls.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ConnectPage.h"
#include "link/ui/LogPage.h"
#include "link/ui/ModSetForm.h"
#include "link/ui/StatusBarProgress.h"
#include "plot/Scaling.h"
#include "plot/ui/DataPage.h"
#include "plot/ui/EditInfoForm.h"
#include "plot/ui/OutputActions.h"
#include "plot/ui/PlotBox.h"
#include "plot/ui/ScaleForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

TMainForm* MainForm = nullptr;

namespace {

vemo::ZoomKey ToZoomKey(int key) {
    switch (key) {
    case Qt::Key_Left: return vemo::ZoomKey::Left;
    case Qt::Key_Right: return vemo::ZoomKey::Right;
    case Qt::Key_Up: return vemo::ZoomKey::Up;
    case Qt::Key_Down: return vemo::ZoomKey::Down;
    case Qt::Key_Home: return vemo::ZoomKey::Home;
    default: return vemo::ZoomKey::Other;
    }
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
    setObjectName("MainForm");
    setWindowTitle("Vemo");
    setWindowIcon(AppIcon());
    QFont font("MS Sans Serif", 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    // Fixed size until the splash is over; the "Sizeable Window" option may lift it then.
    SetSizeable(false);
    move(339, 152);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(8, 8, 756, 516);
    ConnectPg = new ConnectPage;
    ConfigurePg = new ConfigurePage;
    DataPg = new DataPage;
    LogPg = new LogPage;
    AboutPg = new AboutPage;
    ConnectPg->setObjectName("ConnectPage");
    ConfigurePg->setObjectName("ConfigurePage");
    DataPg->setObjectName("DataPage");
    LogPg->setObjectName("LogPage");
    PageControl1->addTab(ConnectPg, "Connect / Download");
    PageControl1->addTab(ConfigurePg, "Configure");
    PageControl1->addTab(DataPg, "Recorded Data");
    PageControl1->addTab(LogPg, "Log Data");
    PageControl1->addTab(AboutPg, "About");
    // Hidden, and out of reach of Ctrl+Tab and the mouse wheel, which pass over disabled tabs
    // only; the page itself stays enabled.
    PageControl1->setTabVisible(PageControl1->indexOf(LogPg), false);
    PageControl1->tabBar()->setTabEnabled(PageControl1->indexOf(LogPg), false);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageControl1Change);
    connect(AboutPg, &AboutPage::Image1MouseDown, this, &TMainForm::Image1MouseDown);

    BuildStatusBar();

    closeBtn_ = new QPushButton("Close", this);
    closeBtn_->setObjectName("CloseBtn");
    closeBtn_->setGeometry(688, 536, 76, 25);
    connect(closeBtn_, &QPushButton::clicked, this, &QWidget::close);

    SimulateChk = new QCheckBox("Simulate Target", this);
    SimulateChk->setObjectName("SimulateChk");
    SimulateChk->hide();
    connect(SimulateChk, &QCheckBox::toggled, this,
            [this](bool on) { ConnectPg->Context().state.SimulateTarget = on; });

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(250);
    LogPg->Timer1 = Timer1;
    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(3000);
    connect(Timer3, &QTimer::timeout, this, &TMainForm::Timer3Timer);
    Timer3->start();

    // The window sees key presses before its controls do.
    qApp->installEventFilter(this);

    ConnectDataPageButtons();
    ConnectModulePages();
}

void TMainForm::ConnectModulePages() {
    // While a module command runs, the controls that would start another are disabled.
    std::vector<QWidget*> controls = ConnectPg->ModuleControls();
    for (const auto& more : {ConfigurePg->ModuleControls(), LogPg->ModuleControls()})
        controls.insert(controls.end(), more.begin(), more.end());
    busy_ = std::make_unique<vemo::BusyControls>(this, controls);

    // The Configure and Log Data pages run their module commands where the Connect page keeps
    // the port, the message log and the connection; the commands read the block through the
    // Configure page's session and show the firmware version there.
    ConfigurePg->RunCommandsOn(ConnectPg);
    LogPg->RunCommandsOn(ConnectPg);
    ConnectPg->UseConfigSession(&ConfigurePg->Session());
    ConnectPg->OnFirmwareVersion = [this](const QString& version) {
        ConfigurePg->FirmwareVersionDisp->setText(version);
    };
    ConnectPg->OnDownloadData = [this](vemo::ModuleContext& ctx) { DownloadData(ctx); };
}

void TMainForm::ConnectDialogs() {
    if (ModSetForm)
        connect(ModSetForm, &TModSetForm::Closed, ConfigurePg, &ConfigurePage::ShowBlankCaption);
    if (EditInfoForm) {
        connect(EditInfoForm, &TEditInfoForm::SwitchesChanged, this,
                [this](const vemo::PlotSwitches& switches) {
                    DataPg->PlotBox->Switches = switches;
                    RepaintPlot();
                });
        connect(EditInfoForm, &TEditInfoForm::PlotChanged, this, &TMainForm::RepaintPlot);
    }
    if (ScaleForm) connect(ScaleForm, &TScaleForm::PlotChanged, this, &TMainForm::RepaintPlot);
    if (DataPropForm) {
        connect(DataPropForm, &TDataPropForm::AltitudesShifted, this, [this] {
            if (document_) vemo::AutoRangeAlt(*document_);
        });
        connect(DataPropForm, &TDataPropForm::PlotChanged, this, &TMainForm::RepaintPlot);
    }
}

void TMainForm::DownloadData(vemo::ModuleContext& ctx) {
    vemo::PlotDocument* doc = document_.get();
    if (!doc) return;
    vemo::DownloadHooks hooks;
    hooks.View = vemo::StatusBarTransfer();
    // The window may close while the transfer lets its events through.
    hooks.Stop = [doc] { return vemo::PlotDoc != doc; };
    hooks.AutoRange = vemo::AutoRangeAll;
    hooks.Finished = [window = QPointer<TMainForm>(this)] {
        if (window) window->RepaintPlot();
    };
    vemo::DownloadDataClick(ctx, *doc, ConnectPg->SetList->currentIndex(), hooks);
}

void TMainForm::ConnectDataPageButtons() {
    connect(DataPg->SaveBtn, &QPushButton::clicked, this,
            [this] { vemo::SaveData(this, ConnectPg->Context().state.DownloadSetIndex); });
    connect(DataPg->LoadBtn, &QPushButton::clicked, this,
            [this] { vemo::LoadData(this, [this] { RepaintPlot(); }); });
    connect(DataPg->PrintBtn, &QPushButton::clicked, this,
            [this] { vemo::PrintBtnClick(this, DataPg->PlotBox->Switches); });
    connect(DataPg->ExportBtn, &QPushButton::clicked, this,
            [this] { vemo::ExportBtnClick(this, DataPg->PlotBox->Switches); });
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    if (!closed_) FormClose();
    MainStatus = MainStatusPanels{};
}

void TMainForm::BuildStatusBar() {
    statusPanel_ = new QFrame(this);
    statusPanel_->setObjectName("StatusPanel");
    statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPanel_->setGeometry(8, 536, 673, 25);
    auto* row = new QHBoxLayout(statusPanel_);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(2);

    // Every panel has a place of its own that nothing changes: the progress bar keeps its
    // room while hidden, and the mouse readouts are as wide as their longest texts.
    auto panel = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, statusPanel_);
        l->setObjectName(name);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return l;
    };
    auto fitted = [](QLabel* l, const QString& longest) {
        const QString text = l->text();
        l->setText(longest);
        const int width = l->sizeHint().width();
        l->setText(text);
        return width;
    };
    MainStatus.ConnectStatusDisp = panel("ConnectStatusDisp", "Not Connected");
    MainStatus.ConnectStatusDisp->setFixedWidth(
        fitted(MainStatus.ConnectStatusDisp, "Not Connected") + 8);
    MainStatus.LogDisp = panel("LogDisp", QString());
    MainStatus.LogDisp->setFixedWidth(fitted(MainStatus.LogDisp, "Logging") + 8);
    MainStatus.XYDisp = panel("XYDisp", QString());
    MainStatus.XYDisp->setFixedWidth(
        fitted(MainStatus.XYDisp, "Time =  99999.9, Altitude = -99999") + 4);
    MainStatus.ROCDisp = panel("ROCDisp", QString());
    MainStatus.ROCDisp->setMinimumWidth(
        fitted(MainStatus.ROCDisp, "Rate of Climb = -999.999 units/sec") + 4);

    MainStatus.ProgressBar1 = new QProgressBar(statusPanel_);
    MainStatus.ProgressBar1->setObjectName("ProgressBar1");
    MainStatus.ProgressBar1->setRange(0, 100);
    // What the other panels leave at the window's own size, and no less than a readable bar.
    const int others = MainStatus.ConnectStatusDisp->width() + MainStatus.LogDisp->width() +
                       MainStatus.XYDisp->width() + MainStatus.ROCDisp->minimumWidth();
    const int room = statusPanel_->contentsRect().width() - 8 - 4 * row->spacing() - others;
    MainStatus.ProgressBar1->setFixedWidth(std::max(room, 60));
    QSizePolicy keep = MainStatus.ProgressBar1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    MainStatus.ProgressBar1->setSizePolicy(keep);
    MainStatus.ProgressBar1->hide();

    row->addWidget(MainStatus.ConnectStatusDisp);
    row->addWidget(MainStatus.ProgressBar1);
    row->addWidget(MainStatus.LogDisp);
    row->addWidget(MainStatus.XYDisp);
    row->addWidget(MainStatus.ROCDisp, 1);
}

void TMainForm::SetSizeable(bool sizeable) {
    if (sizeable) {
        setMinimumSize(SmallestWholeSize());
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    } else {
        setFixedSize(size().isValid() && !isVisible() ? QSize(ClientWidth, ClientHeight)
                                                      : size());
        setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    }
}

QSize TMainForm::SmallestWholeSize() const {
    // The pages place their controls at fixed places, with this much room left around them;
    // a page that lays out its own controls says what it needs.
    constexpr int PageMargin = 8;
    QSize page;
    for (int i = 0; i < PageControl1->count(); ++i) {
        const QWidget* p = PageControl1->widget(i);
        QSize need = p->minimumSizeHint();
        if (!need.isValid()) {
            const QRect used = p->childrenRect();
            need = QSize(used.right() + 1 + PageMargin, used.bottom() + 1 + PageMargin);
        }
        page = page.expandedTo(need);
    }
    // Around the page: the tab control's bar and frame, then the window's edges and the
    // status line (as resizeEvent places them).
    const QWidget* shown = PageControl1->currentWidget();
    const QSize frame = PageControl1->size() - (shown ? shown->size() : QSize(0, 0));
    const QSize byPages = page + frame + QSize(16, 49);
    return byPages.expandedTo(QSize(statusPanel_->minimumSizeHint().width() + 99, 0));
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    // Anchors: the pages follow every edge, the status bar the left, right and bottom edges,
    // the Close button the right and bottom edges.
    const int w = width(), h = height();
    PageControl1->setGeometry(8, 8, w - 16, h - 49);
    statusPanel_->setGeometry(8, h - 29, w - 99, 25);
    closeBtn_->setGeometry(w - 84, h - 29, 76, 25);
    QWidget::resizeEvent(event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    if (!firstShow_) return;
    firstShow_ = false;

    // The Connect page listed the machine's serial ports into CommPortBox when it was made.

    document_ = std::make_unique<vemo::PlotDocument>();
    vemo::PlotDoc = document_.get();
    AttachNameLists();
    document_->OnSetsChanged = [this] {
        DataPropForm->RefreshSetProperties();
        RepaintPlot();
    };

    const vemo::AppSettings settings = LoadUserSettings(*this);
    settingsLoaded_ = true;

    AboutPg->Image1->setPixmap(AppIconPixmap(96));
    PageControl1->setCurrentWidget(AboutPg);

    document_->CreateDataSet();
    document_->SetListBox->Select(0);
    DataPropForm->RefreshSetProperties();
    vemo::HomeRange = vemo::AxisRanges{}; // time 0..20, altitude 0..20

    // The live display: one value per pixel column of its chart, and its limits.
    LogPg->History.Allocate(LogPg->AltBox->width());
    LogPg->ShowLimits();

    AboutPg->VersionInfo->setText(VEMO_VERSION_TEXT);
    AboutPg->BuildInfo->setText(AboutPage::BuildDateText());

    // The view's switches agree with their boxes from the first rendering on.
    if (EditInfoForm) DataPg->PlotBox->Switches = EditInfoForm->Switches();

    SelectPortAndSpeed(*this, settings);
}

void TMainForm::AttachNameLists() {
    document_->UseNameLists(DataPropForm ? DataPropForm->SetListNames() : nullptr,
                            DataPg->ActiveSetNames());
}

void TMainForm::Timer3Timer() {
    Timer3->stop();
    // Changing the window flags hides a visible window: ask before, show again after.
    const bool visible = isVisible();
    SetSizeable(ConnectPg->SizeChk->isChecked());
    if (visible) show();
    PageControl1->setCurrentWidget(ConnectPg);
}

void TMainForm::PageControl1Change() {
    if (MainStatus.XYDisp) MainStatus.XYDisp->clear();
    if (MainStatus.ROCDisp) MainStatus.ROCDisp->clear();
}

void TMainForm::Image1MouseDown(Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier)) return;
    ModSetForm->exec();
}

void TMainForm::RepaintPlot() { DataPg->RepaintPlot(); }

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (PageControl1->currentWidget() != DataPg || !vemo::PlotDoc) return false;
    const bool used = vemo::ApplyZoomKey(*vemo::PlotDoc, ToZoomKey(key),
                                         modifiers & Qt::ControlModifier,
                                         modifiers & Qt::ShiftModifier);
    if (used) RepaintPlot();
    return used;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers())) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Programming goes on whatever the window does: a window gone meanwhile would hide it, and
    // a module unplugged then would be left half-programmed. The close happens when it ends.
    if (vemo::FirmwareUpdateRunning()) {
        event->ignore();
        if (!closeAfterUpdate_) {
            closeAfterUpdate_ = true;
            ConnectPg->Context().log.Append(vemo::CloseWaitsForUpdateText);
            CloseAfterUpdate();
        }
        return;
    }
    FormClose();
    event->accept();
}

void TMainForm::CloseAfterUpdate() {
    // Looked at while the update lets window events through, and once more after it ended.
    QTimer::singleShot(100, this, [this] {
        if (vemo::FirmwareUpdateRunning())
            CloseAfterUpdate();
        else
            close();
    });
}

void TMainForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    Timer1->stop();
    LogPg->History.Release();
    if (document_) document_->Clear();
    if (settingsLoaded_) {
        try {
            StoreUserSettings(*this);
        } catch (...) {
            // a store that cannot be written does not stop the shutdown
        }
    }
    if (document_) {
        document_->UseNameLists(nullptr, nullptr);
        vemo::PlotDoc = nullptr;
        document_.reset();
    }
}
