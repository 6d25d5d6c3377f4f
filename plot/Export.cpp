#include "plot/Export.h"

#include "data/DataFile.h"
#include "gif/GifEncoder.h"
#include "plot/JpegWriter.h"
#include "plot/VectorExport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <limits>

namespace vemo {

namespace {

// Pixels per metre that make a QImage report 100 pixels per inch.
constexpr int ExportDotsPerMeter = 3937; // 100 / 0.0254, rounded

int PixelsOf(double inches) {
    const double px = ExportPpi * inches;
    // Truncation toward zero, as every size of the plot is derived.
    if (!(px < double(std::numeric_limits<int>::max()))) return std::numeric_limits<int>::max();
    if (!(px > double(std::numeric_limits<int>::min()))) return 0;
    return static_cast<int>(px);
}

QImage AsRgb32(const QImage& image) {
    if (image.format() == QImage::Format_RGB32) return image;
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.isNull()) throw OutputError("Not enough memory to convert the picture.");
    return converted;
}

gif::RgbImageView ViewOf(const QImage& rgb32) {
    return {rgb32.width(), rgb32.height(),
            reinterpret_cast<const std::uint32_t*>(rgb32.constBits()), rgb32.bytesPerLine() / 4};
}

void WriteWhole(const QString& fileName, const std::vector<std::uint8_t>& bytes) {
    // The program's one safe writer: a failed write leaves the old picture whole, and a folder
    // that takes no new file still lets a writable picture be overwritten.
    const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!WriteFileAtomically(fileName, data, nullptr))
        throw OutputError(QString("Unable to write %1!").arg(fileName).toStdString());
}

// The picture in one of Qt's own formats, as file bytes.
std::vector<std::uint8_t> EncodeWithQt(const QImage& image, const char* format, const char* what) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        throw OutputError(std::string("Unable to encode the ") + what + ": " +
                          writer.errorString().toStdString());
    return {bytes.begin(), bytes.end()};
}

} // namespace

QSize ExportPixelSize(double widthInches, double heightInches) {
    if (!std::isfinite(widthInches) || !std::isfinite(heightInches))
        throw OutputError("The width and height of the picture must be numbers.");
    const int w = PixelsOf(widthInches);
    const int h = PixelsOf(heightInches);
    if (w <= 0 || h <= 0)
        throw OutputError("The width and height of the picture must be at least 0.01 inch.");
    if (w > MaxExportSide || h > MaxExportSide || std::int64_t(w) * h > MaxExportPixels)
        throw OutputError(QString("A picture of %1 x %2 inches is too large to export.")
                              .arg(widthInches)
                              .arg(heightInches)
                              .toStdString());
    return {w, h};
}

void RenderExport(QPainter& painter, const PlotDocument& doc, double widthInches,
                  double heightInches, bool colour, RenderFunction render,
                  const PlotSwitches& switches) {
    RenderTarget target;
    target.Canvas = &painter;
    target.PpiX = target.PpiY = ExportPpi;
    target.Width = widthInches;
    target.Height = heightInches;
    target.Left = target.Top = 0.0;
    target.Colour = colour;
    target.Screen = false;
    target.Switches = switches;
    render(target, doc);
}

QImage RenderExportImage(const PlotDocument& doc, double widthInches, double heightInches,
                         bool colour, RenderFunction render, const PlotSwitches& switches) {
    const QSize size = ExportPixelSize(widthInches, heightInches);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        throw OutputError(QString("Not enough memory for a picture of %1 x %2 pixels.")
                              .arg(size.width())
                              .arg(size.height())
                              .toStdString());
    image.setDotsPerMeterX(ExportDotsPerMeter);
    image.setDotsPerMeterY(ExportDotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    RenderExport(painter, doc, widthInches, heightInches, colour, render, switches);
    painter.end();
    return image;
}

std::vector<std::uint8_t> EncodeBitmap(const QImage& image) {
    return EncodeWithQt(image, "BMP", "bitmap");
}

std::vector<std::uint8_t> EncodeJpeg(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) throw OutputError("Not enough memory to convert the picture.");
    std::vector<std::uint8_t> out;
    std::string message;
    if (!CompressJpeg(rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), 90, out,
                      message))
        throw OutputError("Unable to write the JPEG picture: " + message);
    return out;
}

std::vector<std::uint8_t> EncodeGifPicture(const QImage& image) {
    return gif::EncodeGif(ViewOf(AsRgb32(image)));
}

std::vector<std::uint8_t> EncodePng(const QImage& image) {
    return EncodeWithQt(image, "PNG", "PNG picture");
}

void SavePicture(const QImage& image, const QString& fileName, int fileType) {
    switch (fileType) {
    case ExportJpeg:
        WriteWhole(fileName, EncodeJpeg(image));
        break;
    case ExportGif:
        WriteWhole(fileName, EncodeGifPicture(image));
        break;
    case ExportPng:
        WriteWhole(fileName, EncodePng(image));
        break;
    default:
        WriteWhole(fileName, EncodeBitmap(image));
        break;
    }
}

const char* ExportExtension(int fileType) {
    switch (fileType) {
    case ExportJpeg:
        return "jpg";
    case ExportGif:
        return "gif";
    case ExportPng:
        return "png";
    case ExportSvg:
        return "svg";
    case ExportPdf:
        return "pdf";
    default:
        return "bmp";
    }
}

int ExportTypeOfName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == "bmp") return ExportBitmap;
    if (suffix == "jpg" || suffix == "jpeg") return ExportJpeg;
    if (suffix == "gif") return ExportGif;
    if (suffix == "png") return ExportPng;
    if (suffix == "svg") return ExportSvg;
    if (suffix == "pdf") return ExportPdf;
    return 0;
}

QString WithDefaultExtension(const QString& fileName, int fileType) {
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty()) return fileName;
    const QString ext = ExportExtension(fileType);
    return fileName.endsWith('.') ? fileName + ext : fileName + '.' + ext;
}

void ExportPlot(const PlotDocument& doc, const PrintSettings& settings, const QString& fileName,
                int fileType, RenderFunction render, const PlotSwitches& switches) {
    if (fileType == ExportSvg || fileType == ExportPdf) {
        const auto encode = fileType == ExportSvg ? &EncodeSvgPlot : &EncodePdfPlot;
        WriteWhole(fileName, encode(doc, settings.PrtWidth, settings.PrtHeight, settings.PrtColor,
                                    render, switches));
        return;
    }
    const QImage image = RenderExportImage(doc, settings.PrtWidth, settings.PrtHeight,
                                           settings.PrtColor, render, switches);
    SavePicture(image, fileName, fileType);
}

} // namespace vemo
