#include "plot/VectorExport.h"

#include "data/PlotDocument.h"
#include "data/Text8.h"
#include "plot/Export.h"
#include "plot/SvgClipDevice.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace vemo {

namespace {

std::vector<std::uint8_t> BytesOf(const QByteArray& bytes) {
    return {bytes.begin(), bytes.end()};
}

} // namespace

std::vector<std::uint8_t> EncodeSvgPlot(const PlotDocument& doc, double widthInches,
                                        double heightInches, bool colour, RenderFunction render,
                                        const PlotSwitches& switches) {
    const QSize size = ExportPixelSize(widthInches, heightInches);
    SvgClipDevice svg(size, ExportPpi, ToWidgetText(doc.Title), ToWidgetText(doc.Footer1));
    QPainter painter;
    if (!painter.begin(&svg)) throw OutputError("Unable to start the SVG picture.");
    RenderExport(painter, doc, widthInches, heightInches, colour, render, switches);
    painter.end();
    return BytesOf(svg.Svg());
}

std::vector<std::uint8_t> EncodePdfPlot(const PlotDocument& doc, double widthInches,
                                        double heightInches, bool colour, RenderFunction render,
                                        const PlotSwitches& switches) {
    ExportPixelSize(widthInches, heightInches); // the same limits as every other picture
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(ExportPpi);
        pdf.setPageSize(QPageSize(QSizeF(widthInches, heightInches), QPageSize::Inch, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(ToWidgetText(doc.Title));
        pdf.setCreator(ToWidgetText(doc.Footer1));
        QPainter painter;
        if (!painter.begin(&pdf)) throw OutputError("Unable to start the PDF picture.");
        RenderExport(painter, doc, widthInches, heightInches, colour, render, switches);
        if (!painter.end()) throw OutputError("Unable to finish the PDF picture.");
    }
    return BytesOf(bytes);
}

} // namespace vemo
