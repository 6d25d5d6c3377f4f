#include "plot/ui/PlotMouse.h"

#include "data/PlotDocument.h"
#include "data/ui/DataPropForm.h"
#include "data/ui/MainStatus.h"
#include "plot/Renderer.h"
#include "plot/XorOverlay.h"
#include "plot/ui/EditInfoForm.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace {

vemo::MouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return vemo::MouseButton::Left;
    case Qt::RightButton:
        return vemo::MouseButton::Right;
    default:
        return vemo::MouseButton::Middle;
    }
}

void SetReadout(QLabel* label, const std::optional<std::string>& text) {
    if (label && text) label->setText(QString::fromStdString(*text));
}

} // namespace

PlotMouse::PlotMouse(QWidget* view, QWidget* page) : QObject(view), view_(view), page_(page) {
    view_->setMouseTracking(true);
    view_->installEventFilter(this);

    ConnectButton("ZoomInBtn", &PlotMouse::ZoomInBtnClick);
    ConnectButton("ZoomOutBtn", &PlotMouse::ZoomOutBtnClick);
    ConnectButton("ZoomResetBtn", &PlotMouse::ZoomResetBtnClick);
    ConnectButton("ZoomCropBtn", &PlotMouse::ZoomCropBtnClick);
    ConnectButton("PlotPropBtn", &PlotMouse::PlotPropBtnClick);
    ConnectButton("DataPropBtn", &PlotMouse::DataPropBtnClick);
    const std::pair<const char*, vemo::PanDirection> pans[] = {
        {"PanUpBtn", vemo::PanDirection::Up},
        {"PanDnBtn", vemo::PanDirection::Down},
        {"PanLtBtn", vemo::PanDirection::Left},
        {"PanRtBtn", vemo::PanDirection::Right},
    };
    for (const auto& [name, direction] : pans) {
        if (auto* b = page_->findChild<QAbstractButton*>(name))
            connect(b, &QAbstractButton::clicked, this, [this, d = direction] { PanBtnClick(d); });
    }
}

void PlotMouse::ConnectButton(const char* name, void (PlotMouse::*handler)()) {
    if (auto* b = page_->findChild<QAbstractButton*>(name))
        connect(b, &QAbstractButton::clicked, this, handler);
}

vemo::MouseMode PlotMouse::CurrentMode() const {
    auto* group = page_->findChild<QWidget*>("MouseGrp");
    if (!group) return vemo::MouseMode::Zoom;
    const auto items = group->findChildren<QRadioButton*>();
    for (int i = 0; i < static_cast<int>(items.size()) && i < 3; ++i)
        if (items[i]->isChecked()) return static_cast<vemo::MouseMode>(i);
    return vemo::MouseMode::Zoom;
}

void PlotMouse::PaintOverlay(QImage& picture) const {
    vemo::DrawXorShapes(picture, shown_);
}

bool PlotMouse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            PlotBoxMouseDown(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseMove:
            PlotBoxMouseMove(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseButtonRelease:
            PlotBoxMouseUp(static_cast<QMouseEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PlotMouse::MoveTo(int x, int y) {
    lastX_ = x;
    lastY_ = y;
    if (!vemo::PlotDoc) return;
    logic_.Mode = CurrentMode();
    const vemo::MoveResult r = logic_.MouseMove(*vemo::PlotDoc, vemo::PlotArea, x, y);
    for (const vemo::XorShape& s : r.Overlay) {
        auto it = std::find(shown_.begin(), shown_.end(), s);
        if (it != shown_.end())
            shown_.erase(it);
        else
            shown_.push_back(s);
    }
    if (!r.Overlay.empty()) view_->update();
    SetReadout(MainStatus.XYDisp, r.XY);
    SetReadout(MainStatus.ROCDisp, r.ROC);
}

void PlotMouse::PlotBoxMouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MoveTo(p.x(), p.y());
}

void PlotMouse::PlotBoxMouseDown(QMouseEvent* event) {
    if (!vemo::PlotDoc) return;
    // A press where the mouse has not been seen yet starts the drag at the press.
    const QPoint p = event->position().toPoint();
    if (p.x() != lastX_ || p.y() != lastY_) MoveTo(p.x(), p.y());
    logic_.Mode = CurrentMode();
    if (logic_.MouseDown(*vemo::PlotDoc, ButtonOf(event->button()))) Repaint();
}

void PlotMouse::PlotBoxMouseUp(QMouseEvent* event) {
    if (!vemo::PlotDoc) return;
    const QPoint p = event->position().toPoint();
    if (p.x() != lastX_ || p.y() != lastY_) MoveTo(p.x(), p.y());
    logic_.Mode = CurrentMode();
    if (logic_.MouseUp(*vemo::PlotDoc, ButtonOf(event->button()))) Repaint();
    // A click on the plot hands the keyboard to the page control, for the zoom keys.
    if (event->button() == Qt::LeftButton) {
        if (auto* tabs = view_->window()->findChild<QTabWidget*>("PageControl1")) tabs->setFocus();
    }
}

void PlotMouse::ForgetOverlay() {
    shown_.clear();
    logic_.Repainted();
}

void PlotMouse::Repaint() {
    ForgetOverlay();
    view_->update();
}

void PlotMouse::ZoomInBtnClick() {
    if (vemo::PlotDoc) vemo::ZoomIn(*vemo::PlotDoc);
    Repaint();
}

void PlotMouse::ZoomOutBtnClick() {
    if (vemo::PlotDoc) vemo::ZoomOut(*vemo::PlotDoc);
    Repaint();
}

void PlotMouse::ZoomResetBtnClick() {
    if (vemo::PlotDoc) vemo::ZoomReset(*vemo::PlotDoc);
    Repaint();
}

void PlotMouse::ZoomCropBtnClick() {
    if (vemo::PlotDoc) vemo::CropToView(*vemo::PlotDoc);
    Repaint();
}

void PlotMouse::PanBtnClick(vemo::PanDirection direction) {
    if (vemo::PlotDoc) vemo::Pan(*vemo::PlotDoc, direction);
    Repaint();
}

void PlotMouse::PlotPropBtnClick() {
    if (EditInfoForm && vemo::PlotDoc) EditInfoForm->Open(*vemo::PlotDoc);
    Repaint();
}

void PlotMouse::DataPropBtnClick() {
    if (DataPropForm) DataPropForm->exec();
    Repaint();
}
