#pragma once
// The "Connect / Download" page of the main window.
#include <QWidget>

class ConnectPage : public QWidget {
    Q_OBJECT
public:
    explicit ConnectPage(QWidget* parent = nullptr);
};
