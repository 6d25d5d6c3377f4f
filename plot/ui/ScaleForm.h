#pragma once
// The "Graph Scale" dialog: the four range limits typed by hand, or an automatic range.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vemo {
class PlotDocument;
}

class TScaleForm : public QDialog {
    Q_OBJECT
public:
    explicit TScaleForm(QWidget* parent = nullptr);

    // Shows the dialog modally for doc. OK stores the edits' values into the ranges and into
    // HomeRange; Cancel (or the close box) puts the ranges and HomeRange back as they were
    // when the dialog opened, including what "Auto" changed. PlotChanged either way.
    // OK refuses, with a message and the dialog still open, an edit that does not start with
    // a number and a minimum that is not below its maximum. Returns true for OK.
    bool Execute(vemo::PlotDocument& doc);

    // Shows the four range fields in the edits.
    void FillEdits(const vemo::PlotDocument& doc);
    // Parses the edits into the ranges (a text that is not a number leaves its field) and
    // copies all four into HomeRange.
    void StoreEdits(vemo::PlotDocument& doc) const;
    // What is wrong with the edits, in the words the user is shown, and the edit to correct;
    // empty when OK may close.
    QString EditsProblem(QLineEdit** culprit = nullptr) const;

    QLineEdit* XMinEdit;
    QLineEdit* XMaxEdit;
    QLineEdit* YMinEdit;
    QLineEdit* YMaxEdit;
    QPushButton* AutoBtn;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

signals:
    // The dialog closed: the plot is to be repainted.
    void PlotChanged();

private:
    void AutoBtnClick();
    void OkBtnClick();

    vemo::PlotDocument* doc_ = nullptr;
};

extern TScaleForm* ScaleForm;
