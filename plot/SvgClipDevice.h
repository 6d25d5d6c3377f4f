#pragma once
// The SVG generator of this Qt version ignores clipping: a clipped trace would run on past the
// plot area into the margins. This paint device takes the drawing in its place and hands each
// run of calls made under one clip rectangle to an SVG generator of its own; the runs are then
// put together as one SVG in which every clipped run sits in a group with an SVG clip path.
#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>

#include <memory>

namespace vemo {

class SvgClipEngine;

class SvgClipDevice : public QPaintDevice {
public:
    // size in pixels at ppi pixels per inch.
    SvgClipDevice(QSize size, int ppi, QString title, QString description);
    ~SvgClipDevice() override;

    QPaintEngine* paintEngine() const override;
    // The whole SVG; call after the painter has ended.
    QByteArray Svg() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    int ppi_;
    std::unique_ptr<SvgClipEngine> engine_;
};

} // namespace vemo
