#include "link/ui/ModSetForm.h"

TModSetForm* ModSetForm = nullptr;

TModSetForm::TModSetForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ModSetForm");
    setWindowTitle("ModSetForm");
}
