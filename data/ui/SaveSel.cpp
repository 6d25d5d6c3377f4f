#include "data/ui/SaveSel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSaveSel* SaveSel = nullptr;

TSaveSel::TSaveSel(QWidget* parent) : QDialog(parent) {
    setObjectName("SaveSel");
    setWindowTitle("Save");

    auto* question = new QLabel("What do you want to save?", this);
    question->setObjectName("QuestionLabel");
    QFont bold = question->font();
    bold.setBold(true);
    question->setFont(bold);

    SaveGrp = new QGroupBox(this);
    SaveGrp->setObjectName("SaveGrp");
    ActiveSetRadio = new QRadioButton("Active Data Set", SaveGrp);
    ActiveSetRadio->setObjectName("ActiveSetRadio");
    AllSetsRadio = new QRadioButton("Plot and All Data Sets", SaveGrp);
    AllSetsRadio->setObjectName("AllSetsRadio");
    ActiveSetRadio->setChecked(true);
    auto* group = new QVBoxLayout(SaveGrp);
    group->addWidget(ActiveSetRadio);
    group->addWidget(AllSetsRadio);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(SaveGrp);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

int TSaveSel::ItemIndex() const {
    return AllSetsRadio->isChecked() ? PlotAndAllDataSets : ActiveDataSet;
}
