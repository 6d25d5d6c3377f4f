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

    // Loads every control from the selected set; does nothing without a selection.
    void RefreshSetProperties();
    // The controls' contents, as Apply reads them.
    vemo::SetProperties ControlValues() const;

    void ApplyBtnClick();
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

protected:
    // Opening the dialog shows data set 0.
    void showEvent(QShowEvent* event) override;

private:
    void ShowProperties(const vemo::SetProperties& p, bool triggers);
    vemo::ListWidgetNameList setListNames_;
    bool renaming_ = false; // Apply renames the list item; that is not a new selection
};

extern TDataPropForm* DataPropForm;
