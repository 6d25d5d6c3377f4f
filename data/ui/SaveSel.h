#pragma once
// The "Save" choice: the active data set alone, or the plot with all data sets.
#include <QDialog>

class QGroupBox;
class QRadioButton;
class QPushButton;

class TSaveSel : public QDialog {
    Q_OBJECT
public:
    explicit TSaveSel(QWidget* parent = nullptr);

    enum Choice { ActiveDataSet = 0, PlotAndAllDataSets = 1 };
    // The radio group's item index; the choice stays from one use to the next.
    int ItemIndex() const;

    QGroupBox* SaveGrp;
    QRadioButton* ActiveSetRadio;
    QRadioButton* AllSetsRadio;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

extern TSaveSel* SaveSel;
