#include "data/ui/DataPropForm.h"

TDataPropForm* DataPropForm = nullptr;

TDataPropForm::TDataPropForm(QWidget* parent) : QDialog(parent) {
    setObjectName("DataPropForm");
    setWindowTitle("Data Properties");
}
