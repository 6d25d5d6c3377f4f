#include "link/ui/LogPage.h"

#include "data/ui/MainStatus.h"
#include "link/ModuleBusy.h"
#include "link/ui/ConnectPage.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {

// The chart: draws the page's history at its own size.
class AltChartBox : public QWidget {
public:
    AltChartBox(const vemo::AltitudeHistory& history, QWidget* parent)
        : QWidget(parent), history_(history) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        vemo::PaintAltChart(painter, width(), height(), history_);
    }

private:
    const vemo::AltitudeHistory& history_;
};

QLabel* Label(QWidget* parent, const char* name, const QString& text, QRect where) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    return label;
}

// A black display panel with large light digits.
QLabel* Display(QWidget* parent, const char* name, const QString& text, QRect where) {
    QLabel* panel = Label(parent, name, text, where);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    panel->setPalette(palette);
    QFont font = panel->font();
    font.setPixelSize(22);
    font.setBold(true);
    panel->setFont(font);
    return panel;
}

} // namespace

LogPage::LogPage(QWidget* parent) : QWidget(parent) {
    setObjectName("LogPage");
    Label2 = Label(this, "Label2", "Time", {70, 10, 120, 16});
    Panel3 = Display(this, "Panel3", "0d 00:00:00.00", {70, 28, 220, 40});
    Label3 = Label(this, "Label3", "Altitude (feet)", {310, 10, 140, 16});
    AltDisp = Display(this, "AltDisp", "10000", {310, 28, 150, 40});

    StartBtn = new QPushButton("Start", this);
    StartBtn->setObjectName("StartBtn");
    StartBtn->setGeometry(560, 33, 80, 30);
    ClearBtn = new QPushButton("Clear", this);
    ClearBtn->setObjectName("ClearBtn");
    ClearBtn->setGeometry(650, 33, 80, 30);

    AltBox = new AltChartBox(History, this);
    AltBox->setObjectName("AltBox");
    AltBox->setGeometry(70, 84, 665, 321);
    AMaxLabel = Label(this, "AMaxLabel", QString(), {4, 84, 62, 16});
    AMaxLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    AMinLabel = Label(this, "AMinLabel", QString(), {4, 84 + 321 - 16, 62, 16});
    AMinLabel->setAlignment(Qt::AlignRight | Qt::AlignBottom);

    connect(StartBtn, &QPushButton::clicked, this, &LogPage::StartBtnClick);
    // "Clear" has no action.
}

void LogPage::ShowLimits() {
    AMaxLabel->setText(QString::number(History.FullScale, 'g', 15));
    AMinLabel->setText(QString::number(History.Bottom, 'g', 15));
}

std::vector<QWidget*> LogPage::ModuleControls() const {
    return {StartBtn};
}

void LogPage::StartBtnClick() {
    if (vemo::ModuleBusy()) return;
    if (commands_) vemo::StartBtnClick(commands_->Context(), *this);
}

void LogPage::ShowLogging(bool logging) {
    StartBtn->setText(logging ? "Stop" : "Start");
    if (MainStatus.LogDisp) MainStatus.LogDisp->setText(logging ? "Logging" : QString());
}

void LogPage::RunTimer(bool run) {
    if (!Timer1) return;
    if (run)
        Timer1->start();
    else
        Timer1->stop();
}
