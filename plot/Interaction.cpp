#include "plot/Interaction.h"

#include "data/TextNumbers.h"

#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

constexpr double MinZoomSpan = 10.0;
constexpr int HoverRadius = 5;

// A drag counts when it spans at least two whole units in time and in altitude.
bool LongEnough(const DragPoint& a, const DragPoint& b) {
    return std::fabs(std::trunc(a.T - b.T)) >= 2.0 && std::fabs(std::trunc(a.A - b.A)) >= 2.0;
}

Signal* ActiveAltSignal(const PlotDocument& doc) {
    return doc.AltSignal(doc.ActiveSet());
}

void AppendBand(std::vector<XorShape>& out, const BandRect& b) {
    out.push_back({XorShape::RubberBand, b.X1, b.Y1, b.X2, b.Y2});
}

void AppendLines(std::vector<XorShape>& out, const BandRect& b, const PlotRect& area) {
    out.push_back({XorShape::ClimbLine, b.X1, area.Top, b.X1, area.Bottom});
    out.push_back({XorShape::ClimbLine, b.X2, area.Top, b.X2, area.Bottom});
}

void SetZoomSpans(PlotDocument& doc, double factor) {
    const double w = doc.TimeMax - doc.TimeMin;
    const double h = doc.AltMax - doc.AltMin;
    const double cx = doc.TimeMin + 0.5 * w;
    const double cy = doc.AltMin + 0.5 * h;
    const double w2 = std::max(factor * w, MinZoomSpan);
    const double h2 = std::max(factor * h, MinZoomSpan);
    SetFiniteRange(doc.TimeMin, doc.TimeMax, cx - 0.5 * w2, cx - 0.5 * w2 + w2);
    SetFiniteRange(doc.AltMin, doc.AltMax, cy - 0.5 * h2, cy - 0.5 * h2 + h2);
}

// Crops one data set to the samples whose times lie within [tMin, tMax].
void CropSet(Signal& alt, Signal* trig, double tMin, double tMax) {
    SampleStore& a = alt.Samples;
    const int count = a.Count();
    int first = 0;
    while (first < count && !(a.Time[first] >= tMin))
        ++first;
    if (first >= count) return;
    int last = count - 1;
    while (last >= first && !(a.Time[last] <= tMax))
        --last;
    if (last < first) return;

    const double t0 = a.Time[first];
    const double tEnd = a.Time[last];
    if (trig) {
        SampleStore& t = trig->Samples;
        int kept = 0;
        for (int i = 0; i < t.Count(); ++i) {
            if (t.Time[i] < t0 || t.Time[i] > tEnd) continue;
            t.SetTime(kept, t.Time[i] - t0);
            t.SetAlt(kept, t.Alt[i]);
            ++kept;
        }
        t.Resize(kept);
    }

    const bool marks = a.HasPeakMarks();
    for (int j = first; j <= last; ++j) {
        a.SetTime(j - first, a.Time[j] - t0);
        a.SetAlt(j - first, a.Alt[j]);
        if (marks) a.PeakMarks[j - first] = a.PeakMarks[j];
    }
    a.Resize(last - first + 1);

    for (ClimbMark& m : alt.ClimbMarks) {
        if (!m.InUse) continue;
        const bool inside = m.FirstSample >= first && m.FirstSample <= last &&
                            m.SecondSample >= first && m.SecondSample <= last;
        if (inside) {
            m.FirstSample -= first;
            m.SecondSample -= first;
        } else {
            m = ClimbMark{};
        }
    }
}

} // namespace

void SetFiniteRange(double& min, double& max, double newMin, double newMax) {
    if (!std::isfinite(newMin) || !std::isfinite(newMax) || !std::isfinite(newMax - newMin)) return;
    min = newMin;
    max = newMax;
}

bool FiniteSample(const SampleStore& store, int i) {
    return std::isfinite(store.Time[i]) && std::isfinite(store.Alt[static_cast<std::size_t>(i)]);
}

int NearestSample(const SampleStore& store, double t) {
    const int count = store.Count();
    if (count < 2 || std::isnan(t)) {
        for (int i = 0; i < count; ++i)
            if (FiniteSample(store, i)) return i;
        return -1;
    }
    int best = -1;
    double bestDist = 0.0;
    for (int i = 0; i < count; ++i) {
        // A sample that is not a finite number is nowhere on the plot.
        if (!FiniteSample(store, i)) continue;
        const double d = std::fabs(store.Time[i] - t);
        if (std::isnan(d)) continue;
        // Ties go to the later sample.
        if (best < 0 || d < bestDist || (d == bestDist && store.Time[i] >= store.Time[best])) {
            best = i;
            bestDist = d;
        }
    }
    return best;
}

std::string TimeAltText(const SampleStore& store, int n) {
    // "Time = %8.1f, Altitude = %4d"
    return "Time = " + FormatNumber(store.Time[n], 'f', 1, 8) +
           ", Altitude = " + FormatNumber(TruncToInt(store.Alt[n]), 'f', 0, 4);
}

std::optional<std::string> ClimbRateText(const SampleStore& store, int n) {
    if (n <= 0 || n >= store.Count() || !FiniteSample(store, n)) return std::nullopt;
    int prev = n - 1; // the previous sample that is a finite number
    while (prev >= 0 && !FiniteSample(store, prev))
        --prev;
    if (prev < 0) return std::nullopt;
    const double dt = store.Time[n] - store.Time[prev];
    if (dt == 0.0) return std::nullopt;
    return "Rate of Climb = " + FormatNumber((store.Alt[n] - store.Alt[prev]) / dt, 'f', 3, 8) +
           " units/sec";
}

MoveResult PlotMouseLogic::MouseMove(const PlotDocument& doc, const PlotRect& area, int x, int y) {
    MoveResult result;
    if (area.Right <= area.Left || area.Bottom <= area.Top) return result;
    if (x < area.Left || x > area.Right || y < area.Top || y > area.Bottom) return result;

    auto& overlay = result.Overlay;
    if (hoverShown_) {
        overlay.push_back({XorShape::HoverCircle, HoverX - HoverRadius, HoverY - HoverRadius,
                           HoverX + HoverRadius, HoverY + HoverRadius});
        hoverShown_ = false;
    }
    HoverX = HoverY = NoHoverPoint;

    const double t =
        (x - area.Left) * (doc.TimeMax - doc.TimeMin) / (area.Right - area.Left) + doc.TimeMin;
    const Signal* active = ActiveAltSignal(doc);
    if (!active) return result;
    const SampleStore& samples = active->Samples;
    const int n = NearestSample(samples, t);
    const double a =
        doc.AltMax - (y - area.Top) * (doc.AltMax - doc.AltMin) / (area.Bottom - area.Top);

    // Take off the band or lines drawn last (only if they are still on the view).
    if (bandShown_) AppendBand(overlay, DrawnBand);
    if (linesShown_) AppendLines(overlay, DrawnBand, area);
    bandShown_ = linesShown_ = false;

    const DragPoint here{x, y, t, a};
    const bool dragging =
        (Mode == MouseMode::Zoom && ZoomDrag) || (Mode == MouseMode::Climb && ClimbDrag);
    if (Mode != MouseMode::Peak) {
        if (!dragging) DragStart = here;
        DragEnd = here;
    }

    if (n >= 0 && n < samples.Count()) {
        result.XY = TimeAltText(samples, n);
        result.ROC = ClimbRateText(samples, n);
        HoverX = MapTimeToPixel(doc, area, samples.Time[n]) + area.Left;
        HoverY = MapAltToPixel(doc, area, samples.Alt[n]) + area.Top;
        HoverSample = n;
        overlay.push_back({XorShape::HoverCircle, HoverX - HoverRadius, HoverY - HoverRadius,
                           HoverX + HoverRadius, HoverY + HoverRadius});
        hoverShown_ = true;
    }

    DrawnBand = {DragStart.X, DragEnd.X, DragStart.Y, DragEnd.Y};
    if (ZoomDrag) {
        AppendBand(overlay, DrawnBand);
        bandShown_ = true;
    }
    if (ClimbDrag) {
        AppendLines(overlay, DrawnBand, area);
        linesShown_ = true;
    }
    return result;
}

bool PlotMouseLogic::MouseDown(PlotDocument& doc, MouseButton button) {
    Signal* active = ActiveAltSignal(doc);
    if (!active) return false;
    switch (Mode) {
    case MouseMode::Zoom:
        if (button == MouseButton::Left) ZoomDrag = true;
        return false;
    case MouseMode::Climb:
        ClimbDrag = true;
        ClimbAnchor = HoverSample;
        return false;
    case MouseMode::Peak: {
        auto& marks = active->Samples.PeakMarks;
        if (HoverSample < 0 || HoverSample >= static_cast<int>(marks.size())) return false;
        auto& mark = marks[static_cast<std::size_t>(HoverSample)];
        mark = mark ? 0 : 1;
        return true;
    }
    }
    return false;
}

bool PlotMouseLogic::MouseUp(PlotDocument& doc, MouseButton button) {
    if (button != MouseButton::Left) return false;
    bool repaint = false;
    if (Mode == MouseMode::Zoom && ZoomDrag) {
        if (LongEnough(DragStart, DragEnd)) {
            doc.TimeMin = std::min(DragStart.T, DragEnd.T);
            doc.TimeMax = std::max(DragStart.T, DragEnd.T);
            doc.AltMin = std::min(DragStart.A, DragEnd.A);
            doc.AltMax = std::max(DragStart.A, DragEnd.A);
        }
        repaint = true;
    } else if (Mode == MouseMode::Climb && ClimbDrag) {
        Signal* active = ActiveAltSignal(doc);
        if (active && LongEnough(DragStart, DragEnd)) {
            const int count = active->Samples.Count();
            const int slot = active->FreeClimbMark();
            const bool valid =
                ClimbAnchor >= 0 && ClimbAnchor < count && HoverSample >= 0 && HoverSample < count;
            if (slot >= 0 && valid) {
                ClimbMark& m = active->ClimbMarks[static_cast<std::size_t>(slot)];
                m.FirstSample = ClimbAnchor;
                m.SecondSample = HoverSample;
                m.InUse = 1;
            }
        }
        repaint = true;
    }
    // A drag of the other mode (the mode was changed during it) ends with the button too,
    // rather than leaving a band that follows the mouse with no button held.
    if (ZoomDrag || ClimbDrag) repaint = true;
    ZoomDrag = ClimbDrag = false;
    return repaint;
}

void PlotMouseLogic::Repainted() {
    HoverX = HoverY = NoHoverPoint;
    hoverShown_ = bandShown_ = linesShown_ = false;
}

void ZoomIn(PlotDocument& doc) {
    SetZoomSpans(doc, 0.5);
}
void ZoomOut(PlotDocument& doc) {
    SetZoomSpans(doc, 2.0);
}

void ZoomReset(PlotDocument& doc) {
    doc.TimeMin = HomeRange.TimeMin;
    doc.TimeMax = HomeRange.TimeMax;
    doc.AltMin = HomeRange.AltMin;
    doc.AltMax = HomeRange.AltMax;
}

void Pan(PlotDocument& doc, PanDirection direction) {
    const double dt = 0.2 * (doc.TimeMax - doc.TimeMin);
    const double da = 0.2 * (doc.AltMax - doc.AltMin);
    switch (direction) {
    case PanDirection::Left:
        SetFiniteRange(doc.TimeMin, doc.TimeMax, doc.TimeMin - dt, doc.TimeMax - dt);
        break;
    case PanDirection::Right:
        SetFiniteRange(doc.TimeMin, doc.TimeMax, doc.TimeMin + dt, doc.TimeMax + dt);
        break;
    case PanDirection::Up:
        SetFiniteRange(doc.AltMin, doc.AltMax, doc.AltMin + da, doc.AltMax + da);
        break;
    case PanDirection::Down:
        SetFiniteRange(doc.AltMin, doc.AltMax, doc.AltMin - da, doc.AltMax - da);
        break;
    }
}

void CropToView(PlotDocument& doc) {
    for (int k = 0; k < doc.SetCount(); ++k)
        CropSet(*doc.AltSignal(k), doc.TrigSignal(k), doc.TimeMin, doc.TimeMax);
    AutoRangeTime(doc);
    AutoRangeAlt(doc);
}

} // namespace vemo
