// The export's speed on the real renderer's pictures: the default 700 x 350 plot and a
// 4000 x 2000 plot over the background logo, each written as a GIF file (and, for comparison,
// as BMP and JPEG). With --write-png DIR the two rendered pictures are saved as PNG files for
// compare_export.sh, which times ImageMagick on the same pictures.
#include "plot/Export.h"
#include "plot/Scaling.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

// Three recordings of a flight each, with info lines, as a user would export them.
void FillFlights(vemo::PlotDocument& doc) {
    for (int k = 0; k < 3; ++k) {
        vemo::Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (int i = 0; i < 3000; ++i) {
            const double t = i * 0.05;
            const double climb = 1200.0 * (1 - std::exp(-t / (20 + 10 * k)));
            s->Samples.Append(t, climb * std::exp(-t / 120) + 8 * std::sin(t * 3 + k));
        }
    }
    doc.Title = "Flight tests";
    doc.Info1 = "Field A, morning";
    doc.Info2 = "Flight 2, max=812";
    doc.Info3 = "Wind 3 m/s";
    vemo::AutoRangeTime(doc);
    vemo::AutoRangeAlt(doc);
}

QImage Render(double width, double height, bool logo) {
    vemo::PlotDocument doc;
    FillFlights(doc);
    vemo::PlotSwitches switches;
    switches.ShowBackground = logo;
    return vemo::RenderExportImage(doc, width, height, true, &vemo::RenderPlot, switches);
}

const QImage& Plot() {
    static const QImage img = Render(7.0, 3.5, false);
    return img;
}
const QImage& LogoPlot() {
    static const QImage img = Render(40.0, 20.0, true);
    return img;
}

// The logo plot with sensor-like noise on every pixel, as a photographed logo would have: far
// more than 256 occupied cells, so the GIF encoder dithers it.
const QImage& PhotoLogoPlot() {
    static const QImage img = [] {
        QImage noisy = LogoPlot().copy();
        std::uint32_t seed = 12345;
        auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return int(seed >> 28) - 8; // -8 .. 7
        };
        auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
        for (int y = 0; y < noisy.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(noisy.scanLine(y));
            for (int x = 0; x < noisy.width(); ++x)
                row[x] = qRgb(clamp(qRed(row[x]) + noise()), clamp(qGreen(row[x]) + noise()),
                              clamp(qBlue(row[x]) + noise()));
        }
        return noisy;
    }();
    return img;
}

// Occupied cells of the encoder's histogram (5, 6, 5 bits): above 256 the GIF is dithered.
int OccupiedCells(const QImage& img) {
    std::set<QRgb> cells;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            cells.insert(img.pixel(x, y) & 0xF8FCF8);
    return int(cells.size());
}

QString OutName(const char* name) {
    return QDir::temp().filePath(QString("vemo_bench_") + name);
}

void Save(benchmark::State& state, const QImage& img, int type, const char* name) {
    const QString file = OutName(name);
    for (auto _ : state)
        vemo::SavePicture(img, file, type);
    state.counters["bytes"] = double(QFile(file).size());
    state.counters["cells"] = OccupiedCells(img);
    QFile::remove(file);
}

void BM_ExportGifPlot700x350(benchmark::State& s) {
    Save(s, Plot(), vemo::ExportGif, "p.gif");
}
void BM_ExportGifLogo4000x2000(benchmark::State& s) {
    Save(s, LogoPlot(), vemo::ExportGif, "l.gif");
}
void BM_ExportGifPhotoLogo4000x2000(benchmark::State& s) {
    Save(s, PhotoLogoPlot(), vemo::ExportGif, "n.gif");
}
void BM_ExportBmpPlot700x350(benchmark::State& s) {
    Save(s, Plot(), vemo::ExportBitmap, "p.bmp");
}
void BM_ExportJpegPlot700x350(benchmark::State& s) {
    Save(s, Plot(), vemo::ExportJpeg, "p.jpg");
}
void BM_ExportJpegLogo4000x2000(benchmark::State& s) {
    Save(s, LogoPlot(), vemo::ExportJpeg, "l.jpg");
}
// Rendering the picture, which every export does before encoding.
void BM_RenderPlot700x350(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Render(7.0, 3.5, false).constBits());
}

BENCHMARK(BM_ExportGifPlot700x350)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGifLogo4000x2000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExportGifPhotoLogo4000x2000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExportBmpPlot700x350)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportJpegPlot700x350)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportJpegLogo4000x2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPlot700x350)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Text needs fonts, fonts need a GUI application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char name[] = "bench_export";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    if (argc == 3 && std::strcmp(argv[1], "--write-png") == 0) {
        const QDir dir(argv[2]);
        const bool ok = Plot().save(dir.filePath("plot.png"), "PNG") &&
                        LogoPlot().save(dir.filePath("logo.png"), "PNG") &&
                        PhotoLogoPlot().save(dir.filePath("photo.png"), "PNG");
        if (!ok) std::fprintf(stderr, "cannot write the pictures to %s\n", argv[2]);
        std::printf("occupied cells: plot %d, logo %d, photographed logo %d\n",
                    OccupiedCells(Plot()), OccupiedCells(LogoPlot()),
                    OccupiedCells(PhotoLogoPlot()));
        return ok ? 0 : 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
