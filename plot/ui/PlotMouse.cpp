#include "plot/ui/PlotMouse.h"

#include "data/PlotDocument.h"
#include "data/ui/MainStatus.h"
#include "plot/Renderer.h"
#include "plot/SpeedTrace.h"
#include "plot/XorOverlay.h"
#include "plot/ui/PlotBox.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>

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

PlotMouse::PlotMouse(TPlotBox* view, std::function<vemo::MouseMode()> mode)
    : QObject(view), view_(view), mode_(std::move(mode)) {
    view_->setMouseTracking(true);
    view_->installEventFilter(this);
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
    logic_.Mode = mode_();
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
    // With the speed shown, the panel beside the altitude gives the hovered sample's speed
    // from the estimate the trace draws, in place of the rate from the sample before.
    if (r.XY && view_->Switches.ShowVerticalSpeed)
        SetReadout(MainStatus.ROCDisp, vemo::SpeedReadoutText(*vemo::PlotDoc, vemo::PlotDoc->ActiveSet(),
                                                              logic_.HoverSample));
    else
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
    logic_.Mode = mode_();
    if (logic_.MouseDown(*vemo::PlotDoc, ButtonOf(event->button()))) Repaint();
}

void PlotMouse::PlotBoxMouseUp(QMouseEvent* event) {
    if (!vemo::PlotDoc) return;
    const QPoint p = event->position().toPoint();
    if (p.x() != lastX_ || p.y() != lastY_) MoveTo(p.x(), p.y());
    logic_.Mode = mode_();
    if (logic_.MouseUp(*vemo::PlotDoc, ButtonOf(event->button()))) Repaint();
    // A click on the plot hands the keyboard to the page control, for the zoom keys.
    if (event->button() == Qt::LeftButton) {
        for (QWidget* w = view_->parentWidget(); w; w = w->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                tabs->setFocus();
                break;
            }
        }
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
