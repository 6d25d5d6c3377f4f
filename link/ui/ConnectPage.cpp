#include "link/ui/ConnectPage.h"

#include "data/Text8.h"
#include "data/ui/MainStatus.h"
#include "link/ModuleBusy.h"
#include "link/PortList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// A box shown while a command keeps the busy cursor: the arrow again while the user answers.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() : pushed_(QApplication::overrideCursor() != nullptr) {
        if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileAsking() {
        if (pushed_) QApplication::restoreOverrideCursor();
    }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool pushed_;
};

// Message boxes: errors with an exclamation icon and OK, questions with Yes and No.
class MessageBoxes : public vemo::UserPrompt {
public:
    explicit MessageBoxes(QWidget* owner) : owner_(owner) {}
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        return Ask(text, caption, QMessageBox::Yes);
    }
    bool AskYesNoDefaultNo(const std::string& text, const std::string& caption) override {
        return Ask(text, caption, QMessageBox::No);
    }
    void Error(const std::string& text, const std::string& caption) override {
        QMessageBox box(QMessageBox::Warning, vemo::ToWidgetText(caption), vemo::ToWidgetText(text),
                        QMessageBox::Ok, owner_->window());
        ArrowWhileAsking arrow;
        box.exec();
    }

private:
    bool Ask(const std::string& text, const std::string& caption,
             QMessageBox::StandardButton byDefault) {
        QMessageBox box(QMessageBox::NoIcon, vemo::ToWidgetText(caption), vemo::ToWidgetText(text),
                        QMessageBox::Yes | QMessageBox::No, owner_->window());
        box.setDefaultButton(byDefault);
        ArrowWhileAsking arrow;
        return box.exec() == QMessageBox::Yes;
    }

    QWidget* owner_;
};

// The Port list reads the machine's ports again each time it opens, so that an adapter
// plugged in (or a simulator started) since shows up and one pulled out goes away.
class PortBox : public QComboBox {
public:
    explicit PortBox(QWidget* parent) : QComboBox(parent) {}
    std::function<void()> BeforePopup;

    void showPopup() override {
        if (BeforePopup) BeforePopup();
        QComboBox::showPopup();
    }
};

QLabel* Caption(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 160, 18);
    return label;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, const QString& hint,
                    QRect where) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setGeometry(where);
    return button;
}

} // namespace

ConnectPage::ConnectPage(QWidget* parent)
    : QWidget(parent),
      boxes_(std::make_unique<MessageBoxes>(this)), context_{vemo::Link(), *this, relay_, *this} {
    relay_.to = boxes_.get();
    setObjectName("ConnectPage");
    resize(748, 488);

    // Port, speed and Connect along the top.
    Caption(this, "Port", 16, 14);
    auto* portBox = new PortBox(this);
    portBox->BeforePopup = [this] { ListPorts(); };
    CommPortBox = portBox;
    CommPortBox->setObjectName("CommPortBox");
    CommPortBox->setGeometry(16, 34, 420, 26);
    CommPortBox->setToolTip("Serial port the Vemo module is connected to");

    Caption(this, "Speed", 452, 14);
    SpeedBox = new QComboBox(this);
    SpeedBox->setObjectName("SpeedBox");
    SpeedBox->setGeometry(452, 34, 100, 26);
    for (std::uint32_t baud : vemo::BaudTable)
        SpeedBox->addItem(QString::number(baud));
    SpeedBox->setCurrentIndex(context_.state.SpeedIndex);

    ConnectBtn = Button(this, "ConnectBtn", "Connect", "Connect or Disconnect to the Vemo Module",
                        QRect(572, 32, 160, 30));

    // The message log.
    InfoText = new QPlainTextEdit(this);
    InfoText->setObjectName("InfoText");
    InfoText->setGeometry(16, 76, 540, 396);
    InfoText->setReadOnly(true);
    InfoText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    InfoText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont mono("Courier New");
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPixelSize(15);
    mono.setBold(true);
    InfoText->setFont(mono);
    QPalette palette = InfoText->palette();
    palette.setColor(QPalette::Text, Qt::blue);
    InfoText->setPalette(palette);

    // Module commands down the right.
    DLInfoBtn = Button(this, "DLInfoBtn", "Download Info", "Download module information",
                       QRect(572, 76, 160, 30));
    Caption(this, "Set#", 572, 122);
    SetList = new QComboBox(this);
    SetList->setObjectName("SetList");
    SetList->setGeometry(572, 142, 160, 26);
    SetList->setToolTip("Select data set to download");
    SetList->setPlaceholderText("(none)");
    DLDataBtn = Button(this, "DLDataBtn", "Download Data", "Download specified data set.",
                       QRect(572, 176, 160, 30));
    EraseDataBtn = Button(this, "EraseDataBtn", "Erase Data", "Erase all module data",
                          QRect(572, 232, 160, 30));

    SizeChk = new QCheckBox("Sizeable Window", this);
    SizeChk->setObjectName("SizeChk");
    SizeChk->setGeometry(572, 448, 170, 22);
    SizeChk->setToolTip("Check/uncheck to make main window sizeable/unsizeable.  Restart "
                        "program to take effect.");

    connect(ConnectBtn, &QPushButton::clicked, this, &ConnectPage::ConnectBtnClick);
    connect(SpeedBox, &QComboBox::currentIndexChanged, this, &ConnectPage::SpeedBoxChange);
    connect(DLInfoBtn, &QPushButton::clicked, this, &ConnectPage::DLInfoBtnClick);
    connect(DLDataBtn, &QPushButton::clicked, this, &ConnectPage::DLDataBtnClick);
    connect(EraseDataBtn, &QPushButton::clicked, this, &ConnectPage::EraseDataBtnClick);

    ListPorts();
    // The newest page is told; one that is gone is not.
    context_.link.SetLostHandler([page = QPointer<ConnectPage>(this)] {
        if (page) page->ModuleLost();
    });
}

void ConnectPage::ModuleLost() {
    // A running command finds the loss itself and reports it as it ends; look again then.
    if (vemo::ModuleBusy()) {
        QTimer::singleShot(50, this, &ConnectPage::ModuleLost);
        return;
    }
    vemo::ModuleGone(context_);
}

ConnectPage::~ConnectPage() = default;

void ConnectPage::ListPorts() {
    // The chosen port stays chosen, by name, wherever it now stands in the list. A chosen
    // port that went away leaves no choice rather than quietly another device.
    const std::string chosen = vemo::PortTable.Name(CommPortBox->currentIndex());
    CommPortBox->clear();
    for (const std::string& line : vemo::FillPortTable(vemo::EnumeratePorts()))
        CommPortBox->addItem(QString::fromStdString(line));
    int select = chosen.empty() && CommPortBox->count() > 0 ? 0 : -1;
    for (int i = 0; !chosen.empty() && i < CommPortBox->count(); ++i)
        if (vemo::PortTable.Name(i) == chosen) select = i;
    CommPortBox->setCurrentIndex(select);
}

void ConnectPage::SetPrompt(vemo::UserPrompt* prompt) {
    relay_.to = prompt ? prompt : boxes_.get();
}

void ConnectPage::UseConfigSession(vemo::ConfigSession* session) {
    context_.config = session;
}

std::vector<QWidget*> ConnectPage::ModuleControls() const {
    return {ConnectBtn, SpeedBox, DLInfoBtn, DLDataBtn, EraseDataBtn};
}

int ConnectPage::TakeShownSpeed() {
    if (SpeedBox->currentIndex() >= 0) context_.state.SpeedIndex = SpeedBox->currentIndex();
    return context_.state.SpeedIndex;
}

void ConnectPage::ConnectBtnClick() {
    TakeShownSpeed();
    const bool connecting = !context_.state.Connected;
    // A port that could not be opened may have gone away, another may have come.
    if (!vemo::ConnectClick(context_, CommPortBox->currentIndex()) && connecting) ListPorts();
}

void ConnectPage::SpeedBoxChange(int index) {
    if (index < 0) return;
    vemo::SpeedChange(context_, index);
}

void ConnectPage::DLInfoBtnClick() {
    vemo::DownloadInfo(context_);
}

void ConnectPage::DLDataBtnClick() {
    if (OnDownloadData) OnDownloadData(context_);
}

void ConnectPage::EraseDataBtnClick() {
    vemo::EraseData(context_);
}

void ConnectPage::CalibrateClick(const QString& altitudeText) {
    vemo::Calibrate(context_, vemo::FromWidgetText(vemo::CutWidgetText(altitudeText, 255)));
}

void ConnectPage::Clear() {
    InfoText->clear();
}

void ConnectPage::Append(const std::string& line) {
    InfoText->appendPlainText(vemo::ToWidgetText(line));
    InfoText->verticalScrollBar()->setValue(InfoText->verticalScrollBar()->maximum());
}

void ConnectPage::ShowConnected(bool connected) {
    ConnectBtn->setText(connected ? "Disconnect" : "Connect");
    if (MainStatus.ConnectStatusDisp)
        MainStatus.ConnectStatusDisp->setText(connected ? "Connected" : "Not Connected");
}

void ConnectPage::SetSetList(const std::vector<std::string>& items, int selected) {
    SetList->setPlaceholderText(QString()); // "(none)" only until the first list
    SetList->clear();
    for (const std::string& item : items)
        SetList->addItem(vemo::ToWidgetText(item));
    SetList->setCurrentIndex(selected);
}

void ConnectPage::ShowFirmwareVersion(const std::string& version) {
    if (OnFirmwareVersion) OnFirmwareVersion(vemo::ToWidgetText(version));
}

void ConnectPage::ShowConnectPage() {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            tabs->setCurrentWidget(this);
            return;
        }
    }
}
