#pragma once
// The "Recorded Data" page of the main window.
#include <QWidget>

class DataPage : public QWidget {
    Q_OBJECT
public:
    explicit DataPage(QWidget* parent = nullptr);
};
