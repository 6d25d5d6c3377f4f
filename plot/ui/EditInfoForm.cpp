#include "plot/ui/EditInfoForm.h"

TEditInfoForm* EditInfoForm = nullptr;

TEditInfoForm::TEditInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName("EditInfoForm");
    setWindowTitle("Edit Plot Info");
}
