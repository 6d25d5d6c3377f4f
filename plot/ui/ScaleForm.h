#pragma once
#include <QDialog>

class TScaleForm : public QDialog {
    Q_OBJECT
public:
    explicit TScaleForm(QWidget* parent = nullptr);
};

extern TScaleForm* ScaleForm;
