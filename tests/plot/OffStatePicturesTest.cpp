// With the vertical speed switched off, every picture of the plot (the screen at 100 % and 200 %,
// printed pages, each export format) is the one made before the speed trace existed, whose
// fingerprints kFingerprints holds; a deliberate change takes the new lines from the diff.
#include "FlightSet.h"
#include "PictureFiles.h"
#include "QtTestApp.h"

#include "plot/Export.h"
#include "plot/Print.h"
#include "plot/ui/PlotBox.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>
#include <QTemporaryDir>

#include <climits>
#include <map>

using namespace vemo;

namespace {

const QString kFingerprints = QString(VEMO_TEST_DATA) + "/fixtures/offstate_pictures.sha256";

// Two data sets with everything the renderer draws: a flight with triggers, a peak mark and a
// climb mark, and a dashed ramp with circles; info lines, a title and both axis labels.
void FillDocument(PlotDocument& doc) {
    doc.CreateDataSet();
    FillFlight(doc, 0);
    Signal* flight = doc.AltSignal(0);
    flight->Samples.PeakMarks[66] = 1;
    flight->ClimbMarks[0] = {.FirstSample = 16, .SecondSample = 30, .InUse = 1};
    Signal* ramp = doc.CreateDataSet();
    ramp->LineStyle = LineDash;
    ramp->PointStyle = PointCircle;
    ramp->AltOffset = 400.0;
    ramp->TimeScale = 3.0;
    doc.Info1 = "Field A, calm";
    doc.Info2 = "Motor H128";
    doc.Info3 = "Second try";
    AutoRangeAll(doc);
}

QByteArray PixelDigest(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32); // rows without padding
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(QByteArray::number(rgb.width()) + "x" + QByteArray::number(rgb.height()));
    h.addData(QByteArrayView(rgb.constBits(), rgb.sizeInBytes()));
    return h.result().toHex();
}

QByteArray FileDigest(const QString& path, bool pdf) {
    QByteArray bytes = QByteArray::fromStdString(FileHead(path, INT_MAX)); // empty if unreadable
    // A PDF records when it was made; nothing else in it changes from run to run.
    const qsizetype from = pdf ? bytes.indexOf("/CreationDate (") : -1;
    if (from >= 0) bytes.remove(from, bytes.indexOf(')', from) + 1 - from);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

TEST(OffStatePictures, EveryPictureIsTheOneMadeBeforeTheSpeedTrace) {
    EnsureQtApp();
    PlotDocument doc;
    FillDocument(doc);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::map<QString, QByteArray> made;
    auto exported = [&](const QString& name, int type, bool colour, PlotSwitches switches) {
        ExportPlot(doc, {.PrtColor = colour}, dir.filePath(name), type, &RenderPlot, switches);
        made[name] = FileDigest(dir.filePath(name), type == ExportPdf);
    };

    // The screen, as the plot view paints itself at 100 % and 200 % display scaling.
    PlotDocument* const before = PlotDoc;
    PlotDoc = &doc;
    TPlotBox view;
    view.resize(880, 470);
    for (const qreal ratio : {1.0, 2.0})
        made[QString("screen-%1x.png").arg(ratio)] = PixelDigest(view.RenderPicture(ratio));
    PlotDoc = before;

    // A printed page at 300 per inch, half an inch in and a quarter down, and one in black.
    for (const bool colour : {true, false}) {
        QImage page(1800, 900, QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(11811); // 300 per inch
        page.setDotsPerMeterY(11811);
        PrintPlot(
            page, doc,
            {.PrtWidth = 5, .PrtHeight = 2.5, .PrtLeft = 0.5, .PrtTop = 0.25, .PrtColor = colour});
        made[colour ? "print-colour.png" : "print-mono.png"] = PixelDigest(page);
    }

    // Every export format at the default size, and a black one with the logo and no info.
    for (int type = 1; type <= ExportFileTypes; ++type)
        exported(QString("export.") + ExportExtension(type), type, true, {});
    exported("mono-logo.png", ExportPng, false, {.ShowInfo = false, .ShowBackground = true});

    QByteArray list; // one line a picture, in the order of their names
    for (const auto& [name, digest] : made)
        list += name.toLatin1() + ' ' + digest + '\n';
    EXPECT_EQ(FileHead(kFingerprints, INT_MAX), list.toStdString());
}
