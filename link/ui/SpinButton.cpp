#include "link/ui/SpinButton.h"

#include <QToolButton>
#include <QVBoxLayout>

SpinButton::SpinButton(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    UpBtn = new QToolButton(this);
    UpBtn->setObjectName(name + "Up");
    UpBtn->setArrowType(Qt::UpArrow);
    UpBtn->setAutoRepeat(true);
    DownBtn = new QToolButton(this);
    DownBtn->setObjectName(name + "Down");
    DownBtn->setArrowType(Qt::DownArrow);
    DownBtn->setAutoRepeat(true);
    for (auto* b : {UpBtn, DownBtn}) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    connect(UpBtn, &QToolButton::clicked, this, &SpinButton::Up);
    connect(DownBtn, &QToolButton::clicked, this, &SpinButton::Down);
}
