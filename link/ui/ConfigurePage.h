#pragma once
// The "Configure" page of the main window.
#include <QWidget>

class ConfigurePage : public QWidget {
    Q_OBJECT
public:
    explicit ConfigurePage(QWidget* parent = nullptr);
};
