#pragma once
// The "Data Properties" dialog: one data set's name, colours, styles, notes and a one-time
// shift of its values; deleting a set, the drift correction and the photo list.
#include "data/DataSetEdit.h"
#include "data/ui/WidgetNameLists.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vemo {
class ColorSwatch;
class StyleCombo;
} // namespace vemo

class TDataPropForm : public QDialog {
    Q_OBJECT
public:
    explicit TDataPropForm(QWidget* parent = nullptr);

    // The set list as a data set name list, for PlotDocument::UseNameLists.
    vemo::NameList* SetListNames() { return &setListNames_; }

    // Loads every control from the selected set. Without a set the editing controls are
    // disabled, as there is nothing they could change.
    void RefreshSetProperties();
    // The controls' contents, as Apply reads them.
    vemo::SetProperties ControlValues() const;
    // True when the controls hold edits that were not applied to the set they show.
    bool HasPendingEdits() const;

    void ApplyBtnClick();
    // Applies pending edits as Apply does, then closes.
    void OKBtnClick();
    // Asks "Delete data set %s?" first.
    void DelSetBtnClick();
    void DriftBtnClick();
    void OffsetBtnClick();
    void PhotoBtnClick();

    QListWidget* SetListBox;
    QLineEdit* SignalDisplayNameEdit;
    vemo::ColorSwatch* Line_Clr;
    vemo::StyleCombo* LineStyleCombo;
    vemo::ColorSwatch* Pt_Clr;
    vemo::StyleCombo* PointStyleCombo;
    vemo::ColorSwatch* Trig_Clr;
    vemo::StyleCombo* TrigStyleCombo;
    QLineEdit* XOffsetEdit;
    QLineEdit* YOffsetEdit;
    QLabel* XScaleLabel;
    QLineEdit* XScaleEdit;
    QLabel* YScaleLabel;
    QLineEdit* YScaleEdit;
    QLineEdit* Note1Edit;
    QLineEdit* Note2Edit;
    QLineEdit* Note3Edit;
    QPushButton* ApplyBtn;
    QPushButton* DelSetBtn;
    QPushButton* DriftBtn;
    QPushButton* OffsetBtn;
    QPushButton* PhotoBtn;
    QPushButton* OKBtn;
    // The shown set's flight summary, read-only, under the notes.
    QWidget* SummaryBox;
    QPlainTextEdit* SummaryText;
    void ShowSummary();

signals:
    // A set was changed or deleted: the plot is to be repainted.
    void PlotChanged();
    // "Fix Drift" shifted a set's altitudes: the altitude axis is to be fitted again (before
    // the repaint that follows).
    void AltitudesShifted();

protected:
    // Opening the dialog shows data set 0.
    void showEvent(QShowEvent* event) override;

private:
    void ShowProperties(const vemo::SetProperties& p, bool triggers);
    void SetEditable(bool editable);
    // Another set was chosen in the list: offers to apply the edits made to the one shown.
    void SetListBoxChange();
    // Stores the controls into set k and shows what was stored, the offsets back at zero.
    void ApplyTo(int k);
    // Selects row k without treating it as the user's choice.
    void SelectRow(int k);

    vemo::ListWidgetNameList setListNames_;
    bool listChanging_ = false; // the program, not the user, changes the list's selection
    int shownSet_ = -1;         // the set the controls were loaded from
    vemo::SetProperties shown_; // what the controls showed when loaded
};

extern TDataPropForm* DataPropForm;
