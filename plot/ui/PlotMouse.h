#pragma once
// The mouse on the plot view and the zoom, pan, crop and dialog buttons of the Recorded Data
// page. The handlers read the controls, call the interaction logic and write back the
// readouts, the overlay and the repaint.
#include "plot/Interaction.h"

#include <QObject>

#include <vector>

class QImage;
class QMouseEvent;
class QWidget;

class PlotMouse : public QObject {
    Q_OBJECT
public:
    // `view` is the plot view (mouse events come from it, the overlay is drawn over it);
    // `page` holds the named buttons and the "Mouse" radio group.
    PlotMouse(QWidget* view, QWidget* page);

    // The view calls this after painting the plot into `picture`: the overlay that is on the
    // view now is drawn over it in exclusive-or mode.
    void PaintOverlay(QImage& picture) const;

    // The plot was painted afresh: nothing drawn over it is on the view any more; only the
    // mouse draws the overlay again.
    void ForgetOverlay();

    // The selection of the "Mouse" radio group, read at every event.
    vemo::MouseMode CurrentMode() const;

    const vemo::PlotMouseLogic& Logic() const { return logic_; }

    void PlotBoxMouseDown(QMouseEvent* event);
    void PlotBoxMouseMove(QMouseEvent* event);
    void PlotBoxMouseUp(QMouseEvent* event);

    void ZoomInBtnClick();
    void ZoomOutBtnClick();
    void ZoomResetBtnClick();
    void ZoomCropBtnClick();
    void PanBtnClick(vemo::PanDirection direction);
    void PlotPropBtnClick();
    void DataPropBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveTo(int x, int y);
    // Forgets the overlay (the repaint wipes it) and repaints the plot.
    void Repaint();
    void ConnectButton(const char* name, void (PlotMouse::*handler)());

    QWidget* view_;
    QWidget* page_;
    vemo::PlotMouseLogic logic_;
    // The shapes on the view now; drawing a shape that is already there takes it off.
    std::vector<vemo::XorShape> shown_;
    int lastX_ = -1;
    int lastY_ = -1;
};
