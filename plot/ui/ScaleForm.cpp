#include "plot/ui/ScaleForm.h"

#include "data/Text8.h"
#include "data/ui/FileActions.h"
#include "plot/ScaleTexts.h"
#include "plot/Scaling.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace vemo;

TScaleForm* ScaleForm = nullptr;

namespace {

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(static_cast<int>(ScaleEditLength));
    return e;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(name);
    return b;
}

void Show(QLineEdit* e, double v) {
    e->setText(ToWidgetText(FormatRangeValue(v)));
}

bool Read(const QLineEdit* e, double& field) {
    return ParseLeadingNumber(FromWidgetText(e->text()), field);
}

} // namespace

TScaleForm::TScaleForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ScaleForm");
    setWindowTitle("Graph Scale");
    setModal(true);

    XMinEdit = MakeEdit(this, "XMinEdit");
    XMaxEdit = MakeEdit(this, "XMaxEdit");
    YMinEdit = MakeEdit(this, "YMinEdit");
    YMaxEdit = MakeEdit(this, "YMaxEdit");
    AutoBtn = MakeButton(this, "AutoBtn", "Auto");
    OkBtn = MakeButton(this, "OkBtn", "OK");
    CancelBtn = MakeButton(this, "CancelBtn", "Cancel");
    OkBtn->setDefault(true);

    auto* grid = new QGridLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {{"Time Min", XMinEdit},
                                                       {"Time Max", XMaxEdit},
                                                       {"Altitude Min", YMinEdit},
                                                       {"Altitude Max", YMaxEdit}};
    int r = 0;
    for (auto [caption, edit] : rows) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        ++r;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AutoBtn);
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    setFixedSize(sizeHint());

    connect(AutoBtn, &QPushButton::clicked, this, &TScaleForm::AutoBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &TScaleForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TScaleForm::FillEdits(const PlotDocument& doc) {
    Show(XMinEdit, doc.TimeMin);
    Show(XMaxEdit, doc.TimeMax);
    Show(YMinEdit, doc.AltMin);
    Show(YMaxEdit, doc.AltMax);
}

void TScaleForm::StoreEdits(PlotDocument& doc) const {
    Read(XMinEdit, doc.TimeMin);
    Read(XMaxEdit, doc.TimeMax);
    Read(YMinEdit, doc.AltMin);
    Read(YMaxEdit, doc.AltMax);
    HomeRange = AxisRanges{doc.TimeMin, doc.TimeMax, doc.AltMin, doc.AltMax};
}

QString TScaleForm::EditsProblem(QLineEdit** culprit) const {
    double v[4] = {};
    QLineEdit* const edits[4] = {XMinEdit, XMaxEdit, YMinEdit, YMaxEdit};
    for (int i = 0; i < 4; ++i)
        if (!Read(edits[i], v[i])) {
            if (culprit) *culprit = edits[i];
            return QString("Not a number: %1").arg(edits[i]->text());
        }
    // An empty or inverted range leaves nothing to draw.
    for (int axis = 0; axis < 4; axis += 2)
        if (!(v[axis] < v[axis + 1])) {
            if (culprit) *culprit = edits[axis];
            return "The minimum must be less than the maximum.";
        }
    return {};
}

void TScaleForm::OkBtnClick() {
    QLineEdit* culprit = nullptr;
    const QString problem = EditsProblem(&culprit);
    if (problem.isEmpty()) {
        accept();
        return;
    }
    Questions().ShowMessage(this, problem);
    // Ready for the correction.
    culprit->setFocus();
    culprit->selectAll();
}

void TScaleForm::AutoBtnClick() {
    if (!doc_) return;
    AutoRangeTime(*doc_);
    AutoRangeAlt(*doc_);
    FillEdits(*doc_);
    // Time Min always shows 0, whatever the samples' first time.
    Show(XMinEdit, 0.0);
}

bool TScaleForm::Execute(PlotDocument& doc) {
    doc_ = &doc;
    const AxisRanges before{doc.TimeMin, doc.TimeMax, doc.AltMin, doc.AltMax};
    const AxisRanges homeBefore = HomeRange;
    FillEdits(doc);
    XMinEdit->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    if (ok) {
        StoreEdits(doc);
    } else {
        doc.TimeMin = before.TimeMin;
        doc.TimeMax = before.TimeMax;
        doc.AltMin = before.AltMin;
        doc.AltMax = before.AltMax;
        HomeRange = homeBefore;
    }
    doc_ = nullptr;
    emit PlotChanged();
    return ok;
}
