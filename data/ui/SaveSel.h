#pragma once
#include <QDialog>

class TSaveSel : public QDialog {
    Q_OBJECT
public:
    explicit TSaveSel(QWidget* parent = nullptr);
};

extern TSaveSel* SaveSel;
