#pragma once
// The mouse on the plot view of the Recorded Data page: zoom drags, climb marks, peak marks
// and the hover readouts. The handlers read the mouse mode, call the interaction logic and
// write back the readouts, the overlay and the repaint.
#include "plot/Interaction.h"

#include <QObject>

#include <functional>
#include <vector>

class QImage;
class QMouseEvent;
class TPlotBox;

class PlotMouse : public QObject {
    Q_OBJECT
public:
    // Mouse events come from `view`, and the overlay is drawn over it; `mode` tells the
    // selection of the page's "Mouse" radio group, read at every event.
    PlotMouse(TPlotBox* view, std::function<vemo::MouseMode()> mode);

    // The view calls this after painting the plot into `picture`: the overlay that is on the
    // view now is drawn over it in exclusive-or mode.
    void PaintOverlay(QImage& picture) const;

    // The plot was painted afresh: nothing drawn over it is on the view any more; only the
    // mouse draws the overlay again.
    void ForgetOverlay();

    const vemo::PlotMouseLogic& Logic() const { return logic_; }

    void PlotBoxMouseDown(QMouseEvent* event);
    void PlotBoxMouseMove(QMouseEvent* event);
    void PlotBoxMouseUp(QMouseEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveTo(int x, int y);
    // Forgets the overlay (the repaint wipes it) and repaints the plot.
    void Repaint();

    TPlotBox* view_;
    std::function<vemo::MouseMode()> mode_;
    vemo::PlotMouseLogic logic_;
    // The shapes on the view now; drawing a shape that is already there takes it off.
    std::vector<vemo::XorShape> shown_;
    int lastX_ = -1;
    int lastY_ = -1;
};
