// Encoding speed of the GIF export on the two kinds of picture it meets: a plain plot of a few
// flat colours and a large plot over a photograph-like background logo, which needs dithering.
// With --write-ppm DIR the same pictures are saved as PPM files for compare_gif.sh.
#include "gif/GifEncoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width, height;
    std::vector<std::uint32_t> pixels;
    vemo::gif::RgbImageView View() const { return {width, height, pixels.data(), 0}; }
    void Fill(int x0, int y0, int w, int h, std::uint32_t c) {
        for (int y = y0; y < y0 + h && y < height; ++y)
            for (int x = x0; x < x0 + w && x < width; ++x)
                pixels[std::size_t(y) * width + x] = c;
    }
};

// Grid, frame, text-like blocks and a data line over a given background.
void DrawPlot(Picture& p) {
    const int left = p.width / 10, right = p.width - p.width / 30;
    const int top = p.height / 15, bottom = p.height - p.height / 8;
    for (int x = left; x < right; x += (right - left) / 10)
        p.Fill(x, top, 1, bottom - top, 0x808080);
    for (int y = top; y < bottom; y += (bottom - top) / 10)
        p.Fill(left, y, right - left, 1, 0x808080);
    p.Fill(left, top, 2, bottom - top, 0x000000);
    p.Fill(left, bottom, right - left, 2, 0x000000);
    for (int i = 0; i < 30; ++i)
        p.Fill(left + i * 9, top / 3, 6, top / 2, 0x000000);
    for (int x = left; x < right; ++x) {
        const double t = double(x - left) / (right - left);
        const int y = top + int((bottom - top) * (0.5 - 0.4 * std::sin(9 * t) * (1 - t)));
        p.Fill(x, y - 1, 1, 3, 0x0000FF);
    }
}

Picture PlotPicture(int w, int h) {
    Picture p{w, h, std::vector<std::uint32_t>(std::size_t(w) * h, 0xFFFFFF)};
    DrawPlot(p);
    return p;
}

// A plot over a photograph-like logo: smooth colour gradients with sensor-like noise.
Picture PhotoPicture(int w, int h) {
    Picture p{w, h, std::vector<std::uint32_t>(std::size_t(w) * h)};
    std::uint32_t seed = 12345;
    auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return int(seed >> 27) - 16; // -16 .. 15
    };
    auto clamp = [](int v) { return std::uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < h; ++y) {
        const double fy = double(y) / h;
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w;
            const int r = int(200 * fx + 40 * std::sin(7 * fy)) + noise();
            const int g = int(120 + 90 * std::sin(5 * fy + 3 * fx)) + noise();
            const int b = int(230 * (1 - fy) * (0.4 + 0.6 * fx)) + noise();
            p.pixels[std::size_t(y) * w + x] = clamp(r) << 16 | clamp(g) << 8 | clamp(b);
        }
    }
    DrawPlot(p);
    return p;
}

const Picture& Plot() {
    static const Picture p = PlotPicture(700, 350);
    return p;
}
const Picture& Photo() {
    static const Picture p = PhotoPicture(4000, 2000);
    return p;
}

void Encode(benchmark::State& state, const Picture& p) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> gif = vemo::gif::EncodeGif(p.View());
        bytes = gif.size();
        benchmark::DoNotOptimize(gif.data());
    }
    state.counters["gif_bytes"] = double(bytes);
}

void BM_GifPlot700x350(benchmark::State& state) {
    Encode(state, Plot());
}
void BM_GifPhoto4000x2000(benchmark::State& state) {
    Encode(state, Photo());
}
BENCHMARK(BM_GifPlot700x350)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifPhoto4000x2000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

bool WritePpm(const Picture& p, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    std::vector<std::uint8_t> row(std::size_t(p.width) * 3);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.pixels[std::size_t(y) * p.width + x];
            row[std::size_t(x) * 3] = std::uint8_t(c >> 16);
            row[std::size_t(x) * 3 + 1] = std::uint8_t(c >> 8);
            row[std::size_t(x) * 3 + 2] = std::uint8_t(c);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-ppm") == 0) {
        const std::string dir = argv[2];
        const bool ok =
            WritePpm(Plot(), dir + "/plot.ppm") && WritePpm(Photo(), dir + "/photo.ppm");
        if (!ok) std::fprintf(stderr, "cannot write the pictures to %s\n", argv[2]);
        return ok ? 0 : 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
