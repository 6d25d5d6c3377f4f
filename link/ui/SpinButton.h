#pragma once
// A pair of arrow buttons without a value of its own: the page keeps the value and decides
// what a click does.
#include <QWidget>

class QToolButton;

class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(const QString& name, QWidget* parent = nullptr);

    QToolButton* UpBtn = nullptr;   // objectName "<name>Up"
    QToolButton* DownBtn = nullptr; // objectName "<name>Down"

signals:
    void Up();
    void Down();
};
