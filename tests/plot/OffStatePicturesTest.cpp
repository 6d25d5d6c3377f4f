// With the vertical speed switched off, every picture of the plot is the one the program made
// before the speed trace existed: the screen (at 100 % and 200 % display scaling), a printed
// page and each export format. The pictures' fingerprints were taken from that program and
// are kept in tests/data/fixtures/offstate_pictures.sha256; a deliberate change of the
// drawing takes them again with VEMO_OFFSTATE_WRITE=1 (and says why in its commit).
#include "FlightSet.h"
#include "QtTestApp.h"

#include "plot/Export.h"
#include "plot/Print.h"
#include "plot/ui/PlotBox.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

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
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(QByteArray::number(rgb.width()) + "x" + QByteArray::number(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y)
        h.addData(QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)),
                                 rgb.width() * 4));
    return h.result().toHex();
}

QByteArray FileDigest(const QString& path, bool pdf) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "unreadable";
    QByteArray bytes = f.readAll();
    // A PDF records when it was made; nothing else in it changes from run to run.
    if (pdf) {
        const qsizetype from = bytes.indexOf("/CreationDate (");
        if (from >= 0) bytes.remove(from, bytes.indexOf(')', from) + 1 - from);
    }
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

std::map<QString, QByteArray> ReadFingerprints() {
    std::map<QString, QByteArray> known;
    QFile f(kFingerprints);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return known;
    while (!f.atEnd()) {
        const QList<QByteArray> parts = f.readLine().trimmed().split(' ');
        if (parts.size() == 2) known[QString::fromLatin1(parts[0])] = parts[1];
    }
    return known;
}

} // namespace

TEST(OffStatePictures, EveryPictureIsTheOneMadeBeforeTheSpeedTrace) {
    EnsureQtApp();
    PlotDocument doc;
    FillDocument(doc);
    QTemporaryDir dir;
    dir.setAutoRemove(false); // a changed picture stays for a look
    ASSERT_TRUE(dir.isValid());
    std::map<QString, QByteArray> made;

    // The screen, as the plot view paints itself at 100 % and 200 % display scaling.
    PlotDocument* const before = PlotDoc;
    PlotDoc = &doc;
    TPlotBox view;
    view.resize(880, 470);
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage& shot = view.RenderPicture(ratio);
        const QString name = QString("screen-%1x.png").arg(ratio);
        shot.save(dir.filePath(name));
        made[name] = PixelDigest(shot);
    }
    PlotDoc = before;

    // A printed page at 300 per inch, half an inch in and a quarter down, and one in black.
    for (const bool colour : {true, false}) {
        QImage page(1800, 900, QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(11811); // 300 per inch
        page.setDotsPerMeterY(11811);
        PrintSettings s;
        s.PrtWidth = 5.0, s.PrtHeight = 2.5, s.PrtLeft = 0.5, s.PrtTop = 0.25;
        s.PrtColor = colour;
        PrintPlot(page, doc, s);
        const QString name = colour ? "print-colour.png" : "print-mono.png";
        page.save(dir.filePath(name));
        made[name] = PixelDigest(page);
    }

    // Every export format at the default size, and a black one with the logo and no info.
    for (int type = 1; type <= ExportFileTypes; ++type) {
        const QString name = QString("export.") + ExportExtension(type);
        PrintSettings s;
        s.PrtColor = true;
        ExportPlot(doc, s, dir.filePath(name), type);
        made[name] = FileDigest(dir.filePath(name), type == ExportPdf);
    }
    {
        PrintSettings s;
        s.PrtColor = false;
        PlotSwitches switches;
        switches.ShowBackground = true;
        switches.ShowInfo = false;
        ExportPlot(doc, s, dir.filePath("mono-logo.png"), ExportPng, &RenderPlot, switches);
        made["mono-logo.png"] = FileDigest(dir.filePath("mono-logo.png"), false);
    }

    if (qEnvironmentVariableIsSet("VEMO_OFFSTATE_WRITE")) {
        QFile f(kFingerprints);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
        for (const auto& [name, digest] : made)
            f.write(name.toLatin1() + ' ' + digest + '\n');
        GTEST_SKIP() << "fingerprints written to " << kFingerprints.toStdString();
    }
    const std::map<QString, QByteArray> known = ReadFingerprints();
    ASSERT_EQ(known.size(), made.size()) << kFingerprints.toStdString();
    for (const auto& [name, digest] : made) {
        const auto kept = known.find(name);
        ASSERT_NE(kept, known.end()) << name.toStdString() << " has no fingerprint";
        EXPECT_EQ(digest, kept->second)
            << name.toStdString() << " changed: " << dir.filePath(name).toStdString();
    }
    if (!HasFailure()) dir.remove();
}
