#pragma once
#include <QDialog>

class TPrtLocForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrtLocForm(QWidget* parent = nullptr);
};

extern TPrtLocForm* PrtLocForm;
