#pragma once
// Picture export: the plot rendered onto an off-screen bitmap at 100 pixels per inch and saved
// as a Windows bitmap, a JPEG, a GIF or a PNG file; or drawn straight onto an SVG or PDF
// page of the plot's size, so that lines stay lines and texts stay texts.
#include "plot/PrintSettings.h"
#include "plot/Renderer.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

namespace vemo {

constexpr int ExportPpi = 100;
// The longest side an exported picture may have: JPEG cannot record more, GIF a little more.
constexpr int MaxExportSide = 65500;
// The most pixels an export bitmap may hold (4 bytes each, 1 GiB in all).
constexpr std::int64_t MaxExportPixels = std::int64_t(1) << 28;

// trunc(100 * inches) on each side. Throws OutputError when a side is below one pixel or the
// picture is larger than an export may be.
QSize ExportPixelSize(double widthInches, double heightInches);

// Renders the plot onto painter at 100 units per inch with the plot at the corner, as every
// export draws it.
void RenderExport(QPainter& painter, const PlotDocument& doc, double widthInches,
                  double heightInches, bool colour, RenderFunction render = &RenderPlot,
                  const PlotSwitches& switches = {});

// A new bitmap of ExportPixelSize, rendered at 100 pixels per inch with the plot at its
// corner. Throws OutputError, also when the bitmap cannot be allocated.
QImage RenderExportImage(const PlotDocument& doc, double widthInches, double heightInches,
                         bool colour, RenderFunction render = &RenderPlot,
                         const PlotSwitches& switches = {});

// The picture as file bytes. Throw OutputError (or gif::GifError, also a runtime_error).
std::vector<std::uint8_t> EncodeBitmap(const QImage& image);
// Quality 90, baseline, colour (YCbCr 4:2:0), as libjpeg's defaults make it otherwise.
std::vector<std::uint8_t> EncodeJpeg(const QImage& image);
std::vector<std::uint8_t> EncodeGifPicture(const QImage& image);
// Lossless, with the bitmap's 100 pixels per inch recorded in the file.
std::vector<std::uint8_t> EncodePng(const QImage& image);

// Writes the picture in one of the bitmap file types (BMP, JPEG, GIF, PNG). A failed write leaves
// no partial file; an existing file is replaced only by a complete one. Throws OutputError or
// gif::GifError.
void SavePicture(const QImage& image, const QString& fileName, int fileType);

// "bmp", "jpg", "gif", "png", "svg" or "pdf"; "bmp" for a type out of range.
const char* ExportExtension(int fileType);
// The file type a name's extension stands for (.bmp, .jpg/.jpeg, .gif, .png, .svg, .pdf, any
// case); 0 for none.
int ExportTypeOfName(const QString& fileName);
// The name with the type's extension appended when it has no extension of its own.
QString WithDefaultExtension(const QString& fileName, int fileType);

// Renders the plot at settings' size and colour, with the display switches given, and writes
// it to fileName as fileType: the bitmap types at 100 pixels per inch, SVG and PDF as vectors
// at the same size in inches. Throws OutputError or gif::GifError.
void ExportPlot(const PlotDocument& doc, const PrintSettings& settings, const QString& fileName,
                int fileType, RenderFunction render = &RenderPlot,
                const PlotSwitches& switches = {});

} // namespace vemo
