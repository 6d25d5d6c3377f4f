#include "plot/ui/PrtLocForm.h"

#include "data/Text8.h"
#include "plot/PlacementText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

TPrtLocForm* PrtLocForm = nullptr;

namespace {

template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(name);
    return w;
}

} // namespace

TPrtLocForm::TPrtLocForm(QWidget* parent) : QDialog(parent) {
    setObjectName("PrtLocForm");
    setWindowTitle("Output");
    setModal(true);

    OptionsGrp = Named(new QGroupBox("Printed Plot Options", this), "OptionsGrp");
    WidthLabel = Named(new QLabel("Width (inches)"), "WidthLabel");
    WidthEdit = Named(new QLineEdit("7.0"), "WidthEdit");
    HeightLabel = Named(new QLabel("Height (inches)"), "HeightLabel");
    HeightEdit = Named(new QLineEdit("3.5"), "HeightEdit");
    LeftLabel = Named(new QLabel("Distance from Left (inches)"), "LeftLabel");
    LeftEdit = Named(new QLineEdit("0.5"), "LeftEdit");
    TopLabel = Named(new QLabel("Distance from Top (inches)"), "TopLabel");
    TopEdit = Named(new QLineEdit("0.5"), "TopEdit");
    ColorChk = Named(new QCheckBox("Print with color"), "ColorChk");
    for (QLineEdit* e : {WidthEdit, HeightEdit, LeftEdit, TopEdit}) {
        e->setMaxLength(255);
        e->setFixedWidth(70);
    }
    WidthLabel->setBuddy(WidthEdit);
    HeightLabel->setBuddy(HeightEdit);
    LeftLabel->setBuddy(LeftEdit);
    TopLabel->setBuddy(TopEdit);

    auto* grid = new QGridLayout(OptionsGrp);
    grid->addWidget(WidthLabel, 0, 0);
    grid->addWidget(WidthEdit, 0, 1);
    grid->addWidget(HeightLabel, 1, 0);
    grid->addWidget(HeightEdit, 1, 1);
    grid->addWidget(LeftLabel, 2, 0);
    grid->addWidget(LeftEdit, 2, 1);
    grid->addWidget(TopLabel, 3, 0);
    grid->addWidget(TopEdit, 3, 1);
    grid->addWidget(ColorChk, 4, 0, 1, 2);

    OKBtn = Named(new QPushButton("OK"), "OKBtn");
    CancelBtn = Named(new QPushButton("Cancel"), "CancelBtn");
    OKBtn->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(OptionsGrp);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    connect(OKBtn, &QPushButton::clicked, this, &TPrtLocForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TPrtLocForm::~TPrtLocForm() = default;

QPrinter& TPrtLocForm::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void TPrtLocForm::PrepareForPrint(double widthInches, double heightInches) {
    WidthEdit->setText(vemo::ToWidgetText(vemo::InchesText(widthInches)));
    HeightEdit->setText(vemo::ToWidgetText(vemo::InchesText(heightInches)));
    SetPlaceEnabled(true);
}

void TPrtLocForm::PrepareForExport() {
    SetPlaceEnabled(false);
}

bool TPrtLocForm::ColorChecked() const {
    return ColorChk->isChecked();
}
void TPrtLocForm::SetColorChecked(bool on) {
    ColorChk->setChecked(on);
}

void TPrtLocForm::SetPlaceEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{LeftEdit, TopEdit, LeftLabel, TopLabel})
        w->setEnabled(on);
}

void TPrtLocForm::OKBtnClick() {
    vemo::ReadPlacement(vemo::Prt, vemo::FromWidgetText(WidthEdit->text()),
                        vemo::FromWidgetText(HeightEdit->text()),
                        vemo::FromWidgetText(LeftEdit->text()),
                        vemo::FromWidgetText(TopEdit->text()), ColorChk->isChecked());
    accept();
}
