#include "plot/ui/EditInfoForm.h"

#include "data/QtColours.h"
#include "data/Text.h"
#include "data/Text8.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEditInfoForm* EditInfoForm = nullptr;

namespace {

const char* const PanelNames[5] = {"BGColorPanel", "GridColorPanel", "ScaleColorPanel",
                                   "LabelColorPanel", "InfoColorPanel"};
const char* const PanelLabels[5] = {"Background", "Grid", "Scale", "Labels", "Info"};

// A sunken panel that reports clicks.
class ColourPanel : public QFrame {
public:
    ColourPanel(QWidget* parent, std::function<void()> onClick)
        : QFrame(parent), onClick_(std::move(onClick)) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setFixedSize(40, 20);
        setAutoFillBackground(true);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { onClick_(); }

private:
    std::function<void()> onClick_;
};

} // namespace

TEditInfoForm::TEditInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName("EditInfoForm");
    setWindowTitle("Edit Plot Info");
    ChooseColour = [](vemo::Colour current, QWidget* p) -> std::optional<vemo::Colour> {
        const QColor c = QColorDialog::getColor(vemo::ToQColor(current), p);
        if (!c.isValid()) return std::nullopt;
        return vemo::FromQColor(c);
    };

    auto* labels = new QGroupBox("Plot Labels", this);
    auto* form = new QFormLayout(labels);
    auto edit = [&](const char* name, const char* label) {
        auto* e = new QLineEdit(labels);
        e->setObjectName(name);
        e->setMinimumWidth(320);
        e->setMaxLength(static_cast<int>(vemo::TextLength)); // characters, one byte each
        form->addRow(label, e);
        return e;
    };
    TitleText = edit("TitleText", "Title");
    XAxisText = edit("XAxisText", "X Axis");
    YAxisText = edit("YAxisText", "Y Axis");
    Info1Text = edit("Info1Text", "Info1");
    Info2Text = edit("Info2Text", "Info2");
    Info3Text = edit("Info3Text", "Info3");

    auto* colours = new QGroupBox("Plot Colors", this);
    auto* colourForm = new QFormLayout(colours);
    for (int i = 0; i < 5; ++i) {
        auto* panel = new ColourPanel(colours, [this, i] { ColorPanelClick(i); });
        panel->setObjectName(PanelNames[i]);
        panels_[static_cast<std::size_t>(i)] = panel;
        colourForm->addRow(PanelLabels[i], panel);
    }
    ShowInfoChk = new QCheckBox("Show Text Info", colours);
    ShowInfoChk->setObjectName("ShowInfoChk");
    ShowInfoChk->setChecked(true);
    ShowSpeedChk = new QCheckBox("Show Vertical Speed", colours);
    ShowSpeedChk->setObjectName("ShowSpeedChk");
    ShowBackgroundChk = new QCheckBox("Show Background Logo", colours);
    ShowBackgroundChk->setObjectName("ShowBackgroundChk");
    ShowROCChk = new QCheckBox("Show Avg Rate of Climb", colours);
    ShowROCChk->setObjectName("ShowROCChk");
    ShowROCChk->setVisible(false); // its state comes only from the settings
    colourForm->addRow(ShowInfoChk);
    colourForm->addRow(ShowSpeedChk);
    colourForm->addRow(ShowBackgroundChk);
    colourForm->addRow(ShowROCChk);

    // The switches take effect at once, and Cancel does not undo them.
    for (QCheckBox* box : {ShowInfoChk, ShowBackgroundChk, ShowSpeedChk})
        connect(box, &QCheckBox::clicked, this, [this] { emit SwitchesChanged(Switches()); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKBtn");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("CancelBtn");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(labels, 1);
    row->addWidget(colours);
    auto* top = new QVBoxLayout(this);
    top->addLayout(row);
    top->addWidget(buttons);
}

vemo::PlotSwitches TEditInfoForm::Switches() const {
    return {.ShowInfo = ShowInfoChk->isChecked(),
            .ShowBackground = ShowBackgroundChk->isChecked(),
            .ShowAvgROC = ShowROCChk->isChecked(),
            .ShowVerticalSpeed = ShowSpeedChk->isChecked()};
}

vemo::Colour& TEditInfoForm::DocColour(int i) {
    switch (i) {
    case 0: return doc_->BGColor;
    case 1: return doc_->GridColor;
    case 2: return doc_->ScaleColor;
    case 3: return doc_->LabelColor;
    default: return doc_->InfoColor;
    }
}

void TEditInfoForm::FillPanel(int i, vemo::Colour colour) {
    QFrame* panel = ColorPanel(i);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, vemo::ToQColor(colour));
    panel->setPalette(pal);
}

void TEditInfoForm::ColorPanelClick(int i) {
    if (!doc_) return;
    const std::optional<vemo::Colour> chosen = ChooseColour(DocColour(i), this);
    if (!chosen) return;
    DocColour(i) = *chosen;
    FillPanel(i, *chosen);
    emit PlotChanged();
}

int TEditInfoForm::Open(vemo::PlotDocument& doc) {
    doc_ = &doc;
    auto text = [](const std::string& s) { return vemo::ToWidgetText(s); };
    TitleText->setText(text(doc.Title));
    XAxisText->setText(text(doc.XAxisLabel));
    YAxisText->setText(text(doc.YAxisLabel));
    Info1Text->setText(text(doc.Info1));
    Info2Text->setText(text(doc.Info2));
    Info3Text->setText(text(doc.Info3));
    std::array<vemo::Colour, 5> remembered{};
    for (int i = 0; i < 5; ++i) {
        remembered[static_cast<std::size_t>(i)] = DocColour(i);
        FillPanel(i, DocColour(i));
    }

    const int result = exec();
    auto cut = [](const QLineEdit* e) {
        return vemo::FromWidgetText(vemo::CutWidgetText(e->text(), vemo::TextLength));
    };
    if (result == QDialog::Accepted) {
        doc.Info1 = cut(Info1Text);
        doc.Info2 = cut(Info2Text);
        doc.Info3 = cut(Info3Text);
        doc.Title = cut(TitleText);
        doc.XAxisLabel = cut(XAxisText);
        doc.YAxisLabel = cut(YAxisText);
    } else {
        for (int i = 0; i < 5; ++i) DocColour(i) = remembered[static_cast<std::size_t>(i)];
    }
    emit PlotChanged();
    doc_ = nullptr;
    return result;
}
