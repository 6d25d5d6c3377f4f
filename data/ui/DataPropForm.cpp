#include "data/ui/DataPropForm.h"

#include "data/PlotDocument.h"
#include "data/SetUnits.h"
#include "data/SummaryText.h"
#include "data/Text.h"
#include "data/Text8.h"
#include "data/ui/ColorSwatch.h"
#include "data/ui/FileActions.h"
#include "data/ui/StyleCombo.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace vemo;

TDataPropForm* DataPropForm = nullptr;

namespace {

template <class W> W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QLabel* Label(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QString Q(const std::string& s) {
    return ToWidgetText(s);
}
// An edit's text as bytes, at most n characters of it.
std::string S(const QLineEdit* e, std::size_t n = TextLength) {
    return FromWidgetText(CutWidgetText(e->text(), static_cast<qsizetype>(n)));
}

} // namespace

TDataPropForm::TDataPropForm(QWidget* parent)
    : QDialog(parent), SetListBox(Named(new QListWidget(this), "SetListBox")),
      setListNames_(SetListBox) {
    setObjectName("DataPropForm");
    setWindowTitle("Data Properties");

    SignalDisplayNameEdit = Named(new QLineEdit(this), "SignalDisplayNameEdit");
    Line_Clr = Named(new ColorSwatch(this), "Line_Clr");
    LineStyleCombo = Named(new StyleCombo(StyleKind::Line, this), "LineStyleCombo");
    Pt_Clr = Named(new ColorSwatch(this), "Pt_Clr");
    PointStyleCombo = Named(new StyleCombo(StyleKind::Point, this), "PointStyleCombo");
    Trig_Clr = Named(new ColorSwatch(this), "Trig_Clr");
    TrigStyleCombo = Named(new StyleCombo(StyleKind::Point, this), "TrigStyleCombo");
    XOffsetEdit = Named(new QLineEdit(this), "XOffsetEdit");
    YOffsetEdit = Named(new QLineEdit(this), "YOffsetEdit");
    XScaleEdit = Named(new QLineEdit(this), "XScaleEdit");
    YScaleEdit = Named(new QLineEdit(this), "YScaleEdit");
    Note1Edit = Named(new QLineEdit(this), "Note1Edit");
    Note2Edit = Named(new QLineEdit(this), "Note2Edit");
    Note3Edit = Named(new QLineEdit(this), "Note3Edit");
    ApplyBtn = Named(new QPushButton("Apply", this), "ApplyBtn");
    DelSetBtn = Named(new QPushButton("Delete Data Set", this), "DelSetBtn");
    DriftBtn = Named(new QPushButton("Fix Drift", this), "DriftBtn");
    DriftBtn->setToolTip("Adjust for pressure drift over time");
    OffsetBtn = Named(new QPushButton("Fix Offset", this), "OffsetBtn");
    OffsetBtn->setToolTip("Adjust for offset");
    PhotoBtn = Named(new QPushButton("Export Photo Info", this), "PhotoBtn");
    PhotoBtn->setToolTip("Export list of triggers with altitudes");
    OKBtn = Named(new QPushButton("OK", this), "OKBtn");
    for (QPushButton* b : {ApplyBtn, DelSetBtn, DriftBtn, OffsetBtn, PhotoBtn})
        b->setAutoDefault(false);
    // A name holds 19 characters and a note 255, one byte each.
    SignalDisplayNameEdit->setMaxLength(static_cast<int>(NameLength));
    for (QLineEdit* e : {Note1Edit, Note2Edit, Note3Edit})
        e->setMaxLength(static_cast<int>(TextLength));

    auto* grid = new QGridLayout;
    grid->addWidget(Label("Data Set Name", SignalDisplayNameEdit, this), 0, 0);
    grid->addWidget(SignalDisplayNameEdit, 0, 1, 1, 3);
    grid->addWidget(Label("Line Color", Line_Clr, this), 1, 0);
    grid->addWidget(Line_Clr, 1, 1);
    grid->addWidget(Label("Line Style", LineStyleCombo, this), 1, 2);
    grid->addWidget(LineStyleCombo, 1, 3);
    grid->addWidget(Label("Point Color", Pt_Clr, this), 2, 0);
    grid->addWidget(Pt_Clr, 2, 1);
    grid->addWidget(Label("Point Style", PointStyleCombo, this), 2, 2);
    grid->addWidget(PointStyleCombo, 2, 3);
    grid->addWidget(Label("Trig Color", Trig_Clr, this), 3, 0);
    grid->addWidget(Trig_Clr, 3, 1);
    grid->addWidget(Label("Point Style", TrigStyleCombo, this), 3, 2);
    grid->addWidget(TrigStyleCombo, 3, 3);
    grid->addWidget(Label("Time Offset", XOffsetEdit, this), 4, 0);
    grid->addWidget(XOffsetEdit, 4, 1);
    grid->addWidget(Label("Altitude Offset", YOffsetEdit, this), 4, 2);
    grid->addWidget(YOffsetEdit, 4, 3);
    // The scales are carried through Apply unchanged and never shown.
    XScaleLabel = Named(Label("Time Scale", XScaleEdit, this), "XScaleLabel");
    YScaleLabel = Named(Label("Altitude Scale", YScaleEdit, this), "YScaleLabel");
    grid->addWidget(XScaleLabel, 5, 0);
    grid->addWidget(XScaleEdit, 5, 1);
    grid->addWidget(YScaleLabel, 5, 2);
    grid->addWidget(YScaleEdit, 5, 3);
    for (QWidget* w :
         std::initializer_list<QWidget*>{XScaleLabel, XScaleEdit, YScaleLabel, YScaleEdit})
        w->setVisible(false);
    grid->addWidget(Label("Note 1", Note1Edit, this), 6, 0);
    grid->addWidget(Note1Edit, 6, 1, 1, 3);
    grid->addWidget(Label("Note 2", Note2Edit, this), 7, 0);
    grid->addWidget(Note2Edit, 7, 1, 1, 3);
    grid->addWidget(Label("Note 3", Note3Edit, this), 8, 0);
    grid->addWidget(Note3Edit, 8, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(Label("Data Sets", SetListBox, this));
    left->addWidget(SetListBox);
    SetListBox->setMinimumWidth(150);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {ApplyBtn, DelSetBtn, DriftBtn, OffsetBtn, PhotoBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(OKBtn);

    auto* right = new QVBoxLayout;
    right->addLayout(grid);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(660, 360);

    connect(SetListBox, &QListWidget::currentRowChanged, this, &TDataPropForm::SetListBoxChange);
    connect(ApplyBtn, &QPushButton::clicked, this, &TDataPropForm::ApplyBtnClick);
    connect(DelSetBtn, &QPushButton::clicked, this, &TDataPropForm::DelSetBtnClick);
    connect(DriftBtn, &QPushButton::clicked, this, &TDataPropForm::DriftBtnClick);
    connect(OffsetBtn, &QPushButton::clicked, this, &TDataPropForm::OffsetBtnClick);
    connect(PhotoBtn, &QPushButton::clicked, this, &TDataPropForm::PhotoBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TDataPropForm::OKBtnClick);
    PhotoBtn->setVisible(false);

    // The flight summary sits under the notes, across the dialog; the dialog grows by its
    // height, so every other control keeps its size and its place beside its neighbours.
    SummaryBox = Named(new QWidget(this), "SummaryBox");
    SummaryText = Named(new QPlainTextEdit(SummaryBox), "SummaryText");
    SummaryText->setReadOnly(true);
    SummaryText->setLineWrapMode(QPlainTextEdit::NoWrap);
    SummaryText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics lines(SummaryText->font());
    SummaryText->setFixedHeight(lines.lineSpacing() * 11 + 2 * SummaryText->frameWidth() +
                                2 * static_cast<int>(SummaryText->document()->documentMargin()));
    auto* summaryLayout = new QVBoxLayout(SummaryBox);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    summaryLayout->addWidget(Label("Flight Summary", SummaryText, SummaryBox));
    summaryLayout->addWidget(SummaryText);
    SummaryBox->setFixedHeight(SummaryBox->sizeHint().height());
    layout->insertWidget(1, SummaryBox);
    resize(width(), height() + SummaryBox->height() + layout->spacing());
    // Apply shows the set again, summary included; Fix Drift changes the samples alone.
    connect(DriftBtn, &QPushButton::clicked, this, &TDataPropForm::ShowSummary);
}

void TDataPropForm::ShowProperties(const SetProperties& p, bool triggers) {
    SignalDisplayNameEdit->setText(Q(p.Name));
    Line_Clr->SetColour(p.LineColor);
    Pt_Clr->SetColour(p.PointColor);
    Trig_Clr->SetColour(p.TrigColor);
    LineStyleCombo->setCurrentIndex(p.LineStyle);
    PointStyleCombo->setCurrentIndex(p.PointStyle);
    TrigStyleCombo->setCurrentIndex(p.TrigStyle);
    XOffsetEdit->setText(Q(p.TimeOffset));
    YOffsetEdit->setText(Q(p.AltOffset));
    XScaleEdit->setText(Q(p.TimeScale));
    YScaleEdit->setText(Q(p.AltScale));
    Note1Edit->setText(Q(p.Note1));
    Note2Edit->setText(Q(p.Note2));
    Note3Edit->setText(Q(p.Note3));
    // A long note reads from its beginning, not from where setText leaves the cursor.
    for (QLineEdit* edit : {SignalDisplayNameEdit, Note1Edit, Note2Edit, Note3Edit})
        edit->setCursorPosition(0);
    PhotoBtn->setVisible(triggers);
}

void TDataPropForm::SetEditable(bool editable) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             SignalDisplayNameEdit, Line_Clr, LineStyleCombo, Pt_Clr, PointStyleCombo, Trig_Clr,
             TrigStyleCombo, XOffsetEdit, YOffsetEdit, Note1Edit, Note2Edit, Note3Edit, ApplyBtn,
             DelSetBtn, DriftBtn, OffsetBtn, PhotoBtn})
        w->setEnabled(editable);
}

void TDataPropForm::RefreshSetProperties() {
    ShowSummary();
    if (!PlotDoc) return;
    const int k = SetListBox->currentRow();
    if (!PlotDoc->ValidSet(k)) {
        // An empty document: nothing to show, nothing to edit.
        if (PlotDoc->SetCount() == 0) {
            ShowProperties(SetProperties{}, false);
            SetEditable(false);
            shownSet_ = -1;
            shown_ = ControlValues();
        }
        return;
    }
    SetEditable(true);
    ShowProperties(ReadSetProperties(*PlotDoc, k), PlotDoc->TrigSignal(k)->Visible != 0);
    shownSet_ = k;
    shown_ = ControlValues();
}

bool TDataPropForm::HasPendingEdits() const {
    return PlotDoc && PlotDoc->ValidSet(shownSet_) && ControlValues() != shown_;
}

void TDataPropForm::SelectRow(int k) {
    listChanging_ = true;
    SetListBox->setCurrentRow(k);
    listChanging_ = false;
}

void TDataPropForm::SetListBoxChange() {
    if (listChanging_ || !PlotDoc) return;
    const int chosen = SetListBox->currentRow();
    if (chosen == shownSet_) return;
    if (isVisible() && HasPendingEdits()) {
        const QString name = Q(PlotDoc->AltSignal(shownSet_)->Name);
        if (Questions().AskYesNo(this, "Data Properties",
                                 QString("Apply the changes to %1?").arg(name)))
            ApplyTo(shownSet_);
        SelectRow(chosen); // applying selects the set it renamed
    }
    RefreshSetProperties();
}

SetProperties TDataPropForm::ControlValues() const {
    SetProperties p;
    p.Name = S(SignalDisplayNameEdit, NameLength);
    p.LineColor = Line_Clr->GetColour();
    p.PointColor = Pt_Clr->GetColour();
    p.TrigColor = Trig_Clr->GetColour();
    p.LineStyle = std::max(0, LineStyleCombo->currentIndex());
    p.PointStyle = std::max(0, PointStyleCombo->currentIndex());
    p.TrigStyle = std::max(0, TrigStyleCombo->currentIndex());
    p.TimeOffset = S(XOffsetEdit);
    p.AltOffset = S(YOffsetEdit);
    p.TimeScale = S(XScaleEdit);
    p.AltScale = S(YScaleEdit);
    p.Note1 = S(Note1Edit);
    p.Note2 = S(Note2Edit);
    p.Note3 = S(Note3Edit);
    return p;
}

void TDataPropForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    // Edits left in the controls when the dialog was last closed were not wanted.
    SelectRow(SetListBox->count() > 0 ? 0 : -1);
    RefreshSetProperties();
}

void TDataPropForm::ApplyTo(int k) {
    listChanging_ = true;
    ApplySetProperties(*PlotDoc, k, ControlValues());
    listChanging_ = false;
    // The offsets are amounts to add, used up by this Apply: showing the set again puts them
    // back at zero, so that the next Apply does not shift the data once more.
    RefreshSetProperties();
    emit PlotChanged();
}

void TDataPropForm::ApplyBtnClick() {
    const int k = SetListBox->currentRow();
    if (!PlotDoc || !PlotDoc->ValidSet(k)) return;
    ApplyTo(k);
}

void TDataPropForm::OKBtnClick() {
    if (HasPendingEdits()) ApplyTo(shownSet_);
    accept();
}

void TDataPropForm::DelSetBtnClick() {
    const int k = SetListBox->currentRow();
    if (!PlotDoc || !PlotDoc->ValidSet(k)) return;
    if (!Questions().AskYesNo(this, "Delete Data Set",
                              QString("Delete data set %1?").arg(Q(PlotDoc->AltSignal(k)->Name))))
        return;
    listChanging_ = true;
    PlotDoc->DeleteDataSet(k);
    SetListBox->setCurrentRow(SetListBox->count() > 0 ? 0 : -1);
    listChanging_ = false;
    RefreshSetProperties();
    emit PlotChanged();
}

void TDataPropForm::DriftBtnClick() {
    const int k = SetListBox->currentRow();
    if (!PlotDoc || !PlotDoc->ValidSet(k)) return;
    if (!FixDrift(*PlotDoc, k)) return;
    emit AltitudesShifted();
    emit PlotChanged();
}

// What a fixed offset should be measured against is not settled; the button stays and
// changes nothing.
void TDataPropForm::OffsetBtnClick() {}

void TDataPropForm::PhotoBtnClick() {
    const int k = SetListBox->currentRow();
    if (!PlotDoc || !PlotDoc->ValidSet(k)) return;
    const QString path = Questions().AskPhotoPath(this);
    if (path.isEmpty()) return;
    QString error;
    if (!ExportPhotoList(*PlotDoc, k, path, &error)) {
        Questions().ShowError(this, error);
        return;
    }
    Questions().OpenDocument(path);
}

void TDataPropForm::ShowSummary() {
    // Loads and downloads refresh the dialog while it is closed; its summary is worked out when
    // it is shown.
    if (!isVisible()) return;
    const int k = SetListBox->currentRow();
    const Signal* alt = PlotDoc ? PlotDoc->AltSignal(k) : nullptr;
    if (!alt) {
        SummaryText->clear();
        return;
    }
    std::string text = SummaryBlock(SummariseFlight(*alt), SetUnitWord(*PlotDoc, k));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    SummaryText->setPlainText(ToWidgetText(text));
}
