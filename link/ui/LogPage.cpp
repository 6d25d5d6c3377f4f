#include "link/ui/LogPage.h"

#include <QFrame>
#include <QLabel>

LogPage::LogPage(QWidget* parent) : QWidget(parent) {
    setObjectName("LogPage");
    auto* box = new QFrame(this);
    box->setObjectName("AltBox");
    box->setFrameStyle(QFrame::Box);
    box->setGeometry(60, 20, 660, 400);
    AltBox = box;
    AMaxLabel = new QLabel(this);
    AMaxLabel->setObjectName("AMaxLabel");
    AMaxLabel->setGeometry(4, 20, 52, 16);
    AMinLabel = new QLabel(this);
    AMinLabel->setObjectName("AMinLabel");
    AMinLabel->setGeometry(4, 404, 52, 16);
}

void LogPage::ShowLimits(double maximum, double minimum) {
    AMaxLabel->setText(QString::number(maximum, 'g', 15));
    AMinLabel->setText(QString::number(minimum, 'g', 15));
}
