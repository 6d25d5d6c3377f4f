#include "app/Windows.h"

#include "app/MainForm.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/SaveSel.h"
#include "link/ui/ModSetForm.h"
#include "plot/ui/EditInfoForm.h"
#include "plot/ui/PrtLocForm.h"
#include "plot/ui/ScaleForm.h"

void CreateWindows() {
    MainForm = new TMainForm;
    PrtLocForm = new TPrtLocForm(MainForm);
    ScaleForm = new TScaleForm(MainForm);
    EditInfoForm = new TEditInfoForm(MainForm);
    DataPropForm = new TDataPropForm(MainForm);
    ModSetForm = new TModSetForm(MainForm);
    SaveSel = new TSaveSel(MainForm);
    MainForm->ConnectDialogs();
}

void DestroyWindows() {
    // The dialogs are children of the main window and go with it.
    delete MainForm;
    MainForm = nullptr;
    PrtLocForm = nullptr;
    ScaleForm = nullptr;
    EditInfoForm = nullptr;
    DataPropForm = nullptr;
    ModSetForm = nullptr;
    SaveSel = nullptr;
}
