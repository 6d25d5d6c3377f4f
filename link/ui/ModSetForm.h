#pragma once
#include <QDialog>

class TModSetForm : public QDialog {
    Q_OBJECT
public:
    explicit TModSetForm(QWidget* parent = nullptr);
};

extern TModSetForm* ModSetForm;
