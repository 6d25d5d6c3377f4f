#include "plot/ui/PrtLocForm.h"

TPrtLocForm* PrtLocForm = nullptr;

TPrtLocForm::TPrtLocForm(QWidget* parent) : QDialog(parent) {
    setObjectName("PrtLocForm");
    setWindowTitle("Output");
}
