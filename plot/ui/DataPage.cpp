#include "plot/ui/DataPage.h"

#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "plot/ui/EditInfoForm.h"
#include "plot/ui/PlotBox.h"
#include "plot/ui/PlotMouse.h"
#include "plot/ui/ScaleForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

using namespace vemo;

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const char* hint = nullptr) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(name);
    if (hint) b->setToolTip(QString::fromLatin1(hint));
    b->setFocusPolicy(Qt::NoFocus); // the arrow keys belong to the page's zoom and pan
    return b;
}

QPushButton* MakeArrow(QWidget* parent, const char* name, QStyle::StandardPixmap glyph) {
    auto* b = MakeButton(parent, name, "");
    b->setIcon(parent->style()->standardIcon(glyph));
    b->setFixedSize(22, 18);
    return b;
}

constexpr int BarHeight = 34;
constexpr int ToolGap = 4; // around the tool groups in their column

} // namespace

DataPage::DataPage(QWidget* parent) : QWidget(parent) {
    setObjectName("DataPage");

    PlotBox = new TPlotBox(this);

    // The tool groups stand in a column left of the view rather than over its corners, where
    // they would hide the plot's texts (the info lines, a long title). Zoom at the top.
    ZoomGrp = new QGroupBox("Zoom", this);
    ZoomGrp->setObjectName("ZoomGrp");
    ZoomInBtn = MakeButton(ZoomGrp, "ZoomInBtn", "IN");
    ZoomOutBtn = MakeButton(ZoomGrp, "ZoomOutBtn", "OUT");
    ZoomResetBtn = MakeButton(ZoomGrp, "ZoomResetBtn", "Reset", "Zoom back to original size");
    ZoomCropBtn = MakeButton(ZoomGrp, "ZoomCropBtn", "Crop", "Crop data to that shown in display");
    auto* zoom = new QGridLayout(ZoomGrp);
    zoom->setContentsMargins(4, 2, 4, 4);
    zoom->setSpacing(2);
    zoom->addWidget(ZoomInBtn, 0, 0);
    zoom->addWidget(ZoomOutBtn, 1, 0);
    zoom->addWidget(ZoomResetBtn, 2, 0);
    zoom->addWidget(ZoomCropBtn, 3, 0);
    zoom->setAlignment(Qt::AlignHCenter);
    for (QPushButton* b : {ZoomInBtn, ZoomOutBtn, ZoomResetBtn, ZoomCropBtn})
        b->setFixedSize(46, 20);

    // Pan group under it: four arrows in a cross.
    PanGrp = new QGroupBox("Pan", this);
    PanGrp->setObjectName("PanGrp");
    PanUpBtn = MakeArrow(PanGrp, "PanUpBtn", QStyle::SP_ArrowUp);
    PanDnBtn = MakeArrow(PanGrp, "PanDnBtn", QStyle::SP_ArrowDown);
    PanLtBtn = MakeArrow(PanGrp, "PanLtBtn", QStyle::SP_ArrowLeft);
    PanRtBtn = MakeArrow(PanGrp, "PanRtBtn", QStyle::SP_ArrowRight);
    auto* pan = new QGridLayout(PanGrp);
    pan->setContentsMargins(4, 2, 4, 4);
    pan->setSpacing(0);
    pan->addWidget(PanUpBtn, 0, 1);
    pan->addWidget(PanLtBtn, 1, 0);
    pan->addWidget(PanRtBtn, 1, 2);
    pan->addWidget(PanDnBtn, 2, 1);
    pan->setAlignment(Qt::AlignHCenter);

    // Mouse mode, at the column's foot.
    MouseGrp = new QGroupBox("Mouse", this);
    MouseGrp->setObjectName("MouseGrp");
    MouseButtons = new QButtonGroup(MouseGrp);
    auto* mouse = new QVBoxLayout(MouseGrp);
    mouse->setContentsMargins(4, 0, 4, 2);
    mouse->setSpacing(0);
    int id = 0;
    for (const char* caption : {"Zoom", "Climb", "Peak"}) {
        auto* r = new QRadioButton(QString::fromLatin1(caption), MouseGrp);
        r->setObjectName(QString("MouseGrp%1").arg(caption));
        r->setFocusPolicy(Qt::NoFocus);
        MouseButtons->addButton(r, id++);
        mouse->addWidget(r);
    }
    MouseButtons->button(0)->setChecked(true);

    // The bar under the view.
    buttonBar_ = new QWidget(this);
    auto* bar = new QHBoxLayout(buttonBar_);
    bar->setContentsMargins(4, 4, 4, 4);
    auto* activeLabel = new QLabel("Active Data Set", buttonBar_);
    ActiveSetCombo = new QComboBox(buttonBar_);
    ActiveSetCombo->setObjectName("ActiveSetCombo");
    ActiveSetCombo->setMinimumContentsLength(8);
    ActiveSetCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ActiveSetCombo->setFocusPolicy(Qt::NoFocus);
    activeSetNames_ = ComboNameList(ActiveSetCombo);
    bar->setSpacing(4);
    bar->addWidget(activeLabel);
    bar->addWidget(ActiveSetCombo, 1);
    bar->addSpacing(8);
    PrintBtn = MakeButton(buttonBar_, "PrintBtn", "Print", "Print the plot");
    ExportBtn = MakeButton(buttonBar_, "ExportBtn", "Export", "Export plot to bitmap, JPEG, GIF");
    SaveBtn = MakeButton(buttonBar_, "SaveBtn", "Save", "Save Data");
    LoadBtn = MakeButton(buttonBar_, "LoadBtn", "Load", "Load data");
    ScaleBtn = MakeButton(buttonBar_, "ScaleBtn", "Scale", "Manually set plot scale");
    PlotPropBtn =
        MakeButton(buttonBar_, "PlotPropBtn", "Plot Properties", "Edit plot colors and text");
    DataPropBtn =
        MakeButton(buttonBar_, "DataPropBtn", "Data Properties", "Edit Dataset Properties");
    for (QPushButton* b :
         {PrintBtn, ExportBtn, SaveBtn, LoadBtn, ScaleBtn, PlotPropBtn, DataPropBtn}) {
        // As wide as the caption needs, so that all of them fit beside the combo.
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(b->text()) + 18);
        bar->addWidget(b);
    }

    // Hidden option: only repaints the view; the drawing does not depend on it.
    ShowPointsChk = new QCheckBox("Show Points", this);
    ShowPointsChk->setObjectName("ShowPointsChk");
    ShowPointsChk->setChecked(ShowPoints);
    ShowPointsChk->hide();
    connect(ShowPointsChk, &QCheckBox::toggled, this, [this](bool on) {
        ShowPoints = on;
        RepaintPlot();
    });

    connect(ZoomInBtn, &QPushButton::clicked, this, &DataPage::ZoomInBtnClick);
    connect(ZoomOutBtn, &QPushButton::clicked, this, &DataPage::ZoomOutBtnClick);
    connect(ZoomResetBtn, &QPushButton::clicked, this, &DataPage::ZoomResetBtnClick);
    connect(ZoomCropBtn, &QPushButton::clicked, this, &DataPage::ZoomCropBtnClick);
    const std::pair<QPushButton*, PanDirection> pans[] = {{PanUpBtn, PanDirection::Up},
                                                          {PanDnBtn, PanDirection::Down},
                                                          {PanLtBtn, PanDirection::Left},
                                                          {PanRtBtn, PanDirection::Right}};
    for (const auto& [button, direction] : pans)
        connect(button, &QPushButton::clicked, this, [this, d = direction] { PanBtnClick(d); });
    connect(ScaleBtn, &QPushButton::clicked, this, &DataPage::ScaleBtnClick);
    connect(PlotPropBtn, &QPushButton::clicked, this, &DataPage::PlotPropBtnClick);
    connect(DataPropBtn, &QPushButton::clicked, this, &DataPage::DataPropBtnClick);

    // The mouse on the view, in the mode of the "Mouse" group.
    auto* mouseHandler =
        new PlotMouse(PlotBox, [this] { return static_cast<vemo::MouseMode>(MouseMode()); });
    PlotBox->Overlay = [mouseHandler](QImage& picture) { mouseHandler->PaintOverlay(picture); };
    connect(PlotBox, &TPlotBox::OverlayWiped, mouseHandler, &PlotMouse::ForgetOverlay);
    // The hover circle sits on a sample of the active set: another set, another picture.
    connect(ActiveSetCombo, &QComboBox::currentIndexChanged, this, [this] { RepaintPlot(); });

    PlaceControls();
}

void DataPage::RepaintPlot() {
    PlotBox->RepaintPlot();
}

int DataPage::MouseMode() const {
    const int id = MouseButtons->checkedId();
    return id < 0 ? 0 : id;
}

void DataPage::ChangeView(void (*change)(PlotDocument&)) {
    if (PlotDoc) change(*PlotDoc);
    RepaintPlot();
}

void DataPage::ZoomInBtnClick() {
    ChangeView(ZoomIn);
}

void DataPage::ZoomOutBtnClick() {
    ChangeView(ZoomOut);
}

void DataPage::ZoomResetBtnClick() {
    ChangeView(ZoomReset);
}

void DataPage::ZoomCropBtnClick() {
    ChangeView(CropToView);
}

void DataPage::PanBtnClick(PanDirection direction) {
    if (PlotDoc) Pan(*PlotDoc, direction);
    RepaintPlot();
}

void DataPage::PlotPropBtnClick() {
    if (EditInfoForm && PlotDoc) EditInfoForm->Open(*PlotDoc);
    RepaintPlot();
}

void DataPage::DataPropBtnClick() {
    if (DataPropForm) DataPropForm->exec();
    RepaintPlot();
}

void DataPage::ScaleBtnClick() {
    if (!PlotDoc) return;
    TScaleForm* form = ScaleForm;
    TScaleForm local(this);
    if (!form) form = &local;
    form->Execute(*PlotDoc);
    RepaintPlot();
}

void DataPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

QSize DataPage::minimumSizeHint() const {
    constexpr int SmallestView = 200;
    const QWidget* groups[] = {ZoomGrp, PanGrp, MouseGrp};
    int column = 0, stacked = 2;
    for (const QWidget* g : groups) {
        column = std::max(column, g->sizeHint().width());
        stacked += g->sizeHint().height() + ToolGap;
    }
    return {std::max(column + 2 * ToolGap + SmallestView, buttonBar_->minimumSizeHint().width()),
            stacked + BarHeight};
}

void DataPage::PlaceControls() {
    const int w = width(), h = height();
    const int plotH = std::max(h - BarHeight, 0);
    ZoomGrp->adjustSize();
    PanGrp->adjustSize();
    MouseGrp->adjustSize();
    const int inner = std::max({ZoomGrp->width(), PanGrp->width(), MouseGrp->width()});
    const int column = inner + 2 * ToolGap;
    PlotBox->setGeometry(column, 0, std::max(w - column, 0), plotH);
    buttonBar_->setGeometry(0, plotH, w, BarHeight);
    ZoomGrp->setGeometry(ToolGap, 2, inner, ZoomGrp->height());
    PanGrp->setGeometry(ToolGap, ZoomGrp->geometry().bottom() + 1 + ToolGap, inner,
                        PanGrp->height());
    MouseGrp->setGeometry(ToolGap, plotH - MouseGrp->height() - ToolGap, inner, MouseGrp->height());
}
