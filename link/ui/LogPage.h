#pragma once
// The "Log Data" page of the main window.
#include <QWidget>

class LogPage : public QWidget {
    Q_OBJECT
public:
    explicit LogPage(QWidget* parent = nullptr);
};
