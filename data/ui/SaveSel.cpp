#include "data/ui/SaveSel.h"

TSaveSel* SaveSel = nullptr;

TSaveSel::TSaveSel(QWidget* parent) : QDialog(parent) {
    setObjectName("SaveSel");
    setWindowTitle("Save");
}
