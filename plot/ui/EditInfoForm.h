#pragma once
#include <QDialog>

class TEditInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditInfoForm(QWidget* parent = nullptr);
};

extern TEditInfoForm* EditInfoForm;
