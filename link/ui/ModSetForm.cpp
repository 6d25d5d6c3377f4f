#include "link/ui/ModSetForm.h"

#include "link/ModuleConfig.h"
#include "link/ui/SpinButton.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

using vemo::Config;

TModSetForm* ModSetForm = nullptr;

TModSetForm::TModSetForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ModSetForm");
    setWindowTitle("Module Settings");
    setModal(true);
    setFixedSize(300, 150);

    auto* versionLabel = new QLabel("Module Version:", this);
    versionLabel->setGeometry(16, 20, 110, 24);
    ModDisp = new QLabel(this);
    ModDisp->setObjectName("ModDisp");
    ModDisp->setGeometry(130, 16, 70, 30);
    ModDisp->setAlignment(Qt::AlignCenter);
    ModDisp->setAutoFillBackground(true);
    ModDisp->setStyleSheet("QLabel { background: black; color: lime; font-weight: bold; "
                           "font-size: 16px; }");
    CSpinButton1 = new SpinButton("CSpinButton1", this);
    CSpinButton1->setGeometry(204, 16, 18, 30);
    connect(CSpinButton1, &SpinButton::Up, this, [this] { CSpinButton1Click(true); });
    connect(CSpinButton1, &SpinButton::Down, this, [this] { CSpinButton1Click(false); });

    auto* memLabel = new QLabel("Memory Size:", this);
    memLabel->setGeometry(16, 62, 110, 24);
    MemList = new QComboBox(this);
    MemList->setObjectName("MemList");
    MemList->setGeometry(130, 60, 150, 26);
    MemList->addItems({"8192 (24LC64)", "16384 (24LC128)", "24576", "32768 (24LC256)", "40960",
                       "49152", "57344", "65536 (24LC512)"});
    connect(MemList, &QComboBox::currentIndexChanged, this, &TModSetForm::MemListChange);

    CloseBtn = new QPushButton("Close", this);
    CloseBtn->setObjectName("CloseBtn");
    CloseBtn->setGeometry(110, 106, 80, 28);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TModSetForm::Preset() {
    ModDisp->setText(QString::number(Config.ModuleVersion));
    const QSignalBlocker block(MemList);
    // A code the list has no item for (0, or above 8) leaves it without a selection.
    const int item = Config.MemorySize - 1;
    MemList->setCurrentIndex(item >= 0 && item < MemList->count() ? item : -1);
}

void TModSetForm::CSpinButton1Click(bool up) {
    Config.ModuleVersion = static_cast<std::uint8_t>(Config.ModuleVersion + (up ? 1 : -1));
    ModDisp->setText(QString::number(Config.ModuleVersion));
}

void TModSetForm::MemListChange(int index) {
    if (index >= 0) Config.MemorySize = static_cast<std::uint8_t>(index + 1);
}

void TModSetForm::showEvent(QShowEvent* event) {
    Preset();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TModSetForm::done(int result) {
    QDialog::done(result);
    emit Closed();
}
