#pragma once
// The hidden service dialog: the module's hardware version and memory size, the two factory
// values of the configuration block. Changes go into the block at once and reach the module
// with the next "Write Config".
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class SpinButton;

class TModSetForm : public QDialog {
    Q_OBJECT
public:
    explicit TModSetForm(QWidget* parent = nullptr);

    QLabel* ModDisp;
    SpinButton* CSpinButton1;
    QComboBox* MemList;
    QPushButton* CloseBtn;

    // Shows the block's values (done by every show).
    void Preset();
    void CSpinButton1Click(bool up);
    void MemListChange(int index);

signals:
    // The dialog closed: the module version may have changed the display option's caption.
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
};

extern TModSetForm* ModSetForm;
