#include "plot/ui/ScaleForm.h"

TScaleForm* ScaleForm = nullptr;

TScaleForm::TScaleForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ScaleForm");
    setWindowTitle("Graph Scale");
}
