#pragma once
// The "Output" dialog: size and place of the printed plot and the colour choice, used by both
// Print and Export.
#include <QDialog>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

class TPrtLocForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrtLocForm(QWidget* parent = nullptr);
    ~TPrtLocForm() override;

    // Print: width and height show the current placement; left and top can be edited and keep
    // the texts last entered.
    void PrepareForPrint(double widthInches, double heightInches);
    // Export: a picture has no place on a page, so left and top are disabled; width and height
    // keep the texts they last held.
    void PrepareForExport();

    // The "Print with color" box, kept between runs.
    bool ColorChecked() const;
    void SetColorChecked(bool on);

    // The printer of the run: the choices made in the print dialog stay for the next print.
    QPrinter& Printer();

    QGroupBox* OptionsGrp;
    QLabel* WidthLabel;
    QLineEdit* WidthEdit;
    QLabel* HeightLabel;
    QLineEdit* HeightEdit;
    QLabel* LeftLabel;
    QLineEdit* LeftEdit;
    QLabel* TopLabel;
    QLineEdit* TopEdit;
    QCheckBox* ColorChk;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    std::unique_ptr<QPrinter> printer_;
    void OKBtnClick();
    void SetPlaceEnabled(bool on);
};

extern TPrtLocForm* PrtLocForm;
