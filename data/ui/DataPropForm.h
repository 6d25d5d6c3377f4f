#pragma once
#include <QDialog>

class TDataPropForm : public QDialog {
    Q_OBJECT
public:
    explicit TDataPropForm(QWidget* parent = nullptr);
};

extern TDataPropForm* DataPropForm;
