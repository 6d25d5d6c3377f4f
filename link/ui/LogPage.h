#pragma once
// The "Log Data" page (its tab is hidden): the live altitude display's box and its limits.
#include <QWidget>

class QLabel;

class LogPage : public QWidget {
    Q_OBJECT
public:
    explicit LogPage(QWidget* parent = nullptr);

    QWidget* AltBox = nullptr;
    QLabel* AMaxLabel = nullptr;
    QLabel* AMinLabel = nullptr;

    // The display's limits, shown as shortest plain number text.
    void ShowLimits(double maximum, double minimum);
};
