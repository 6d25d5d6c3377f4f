// Pixel mapping. The dither keeps its errors in sixteenths in one buffer of width + 2 entries
// per component: entry x + 1 holds what the row above left for column x, and the two outer
// entries swallow what would fall off the picture.
#include "gif/PixelMapper.h"

#include <array>
#include <vector>

namespace vemo::gif {

namespace {

constexpr int MaxError = 255;

struct ErrorLimitTable {
    std::array<int, 2 * MaxError + 1> value{};
    constexpr ErrorLimitTable() {
        for (int e = -MaxError; e <= MaxError; ++e)
            value[e + MaxError] = LimitError(e);
    }
    int operator()(int e) const { return value[e + MaxError]; }
};
constexpr ErrorLimitTable errorLimit;

int MapExact(const RgbImageView& image, InverseColourMap& map, const RowSink& sink) {
    std::vector<std::uint8_t> out(image.Width);
    for (int y = 0; y < image.Height; ++y) {
        const std::uint32_t* row = image.Row(y);
        // Neighbouring pixels mostly share a colour, so the last lookup is kept.
        std::uint32_t last = ~row[0] & 0xFFFFFFu;
        std::uint8_t lastIndex = 0;
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t rgb = row[x] & 0xFFFFFFu;
            if (rgb != last) {
                last = rgb;
                lastIndex = static_cast<std::uint8_t>(map.IndexOf(rgb));
            }
            out[x] = lastIndex;
        }
        sink(out.data(), image.Width);
    }
    return image.Height;
}

int Reflect(int v) {
    return v < 0 ? -v : v > 255 ? 255 : v;
}

int MapDithered(const RgbImageView& image, const GifPalette& p, InverseColourMap& map,
                const RowSink& sink) {
    const int w = image.Width;
    std::vector<std::uint8_t> out(w);
    std::vector<int> errors(static_cast<std::size_t>(w + 2) * 3, 0);
    bool rightToLeft = true;
    for (int y = 0; y < image.Height; ++y, rightToLeft = !rightToLeft) {
        const std::uint32_t* row = image.Row(y);
        const int dir = rightToLeft ? -1 : 1;
        int x = rightToLeft ? w - 1 : 0;
        // ep points at the entry of the column just passed; the current column is ep + dir.
        int* ep = errors.data() + (rightToLeft ? (w + 1) * 3 : 0);
        const int ahead = dir * 3;
        int carried[3] = {0, 0, 0}; // seven sixteenths of the previous pixel's error
        int below[3] = {0, 0, 0};   // one sixteenth of the previous pixel's error
        int passed[3] = {0, 0, 0};  // what the column just passed holds from this row so far
        for (int n = 0; n < w; ++n, x += dir, ep += ahead) {
            const std::uint32_t rgb = row[x];
            const int src[3] = {static_cast<int>((rgb >> 16) & 0xFF),
                                static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF)};
            int v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = Reflect(src[c] + errorLimit((carried[c] + ep[ahead + c] + 8) / 16));
            const int index = map.IndexOfCell(CellIndex(v[0] >> 3, v[1] >> 2, v[2] >> 3));
            out[x] = static_cast<std::uint8_t>(index);
            const int err[3] = {v[0] - p.Red[index], v[1] - p.Green[index], v[2] - p.Blue[index]};
            for (int c = 0; c < 3; ++c) {
                const int e = err[c];
                ep[c] = passed[c] + 3 * e;
                passed[c] = below[c] + 5 * e;
                below[c] = e;
                carried[c] = 7 * e;
            }
        }
        for (int c = 0; c < 3; ++c)
            ep[c] = passed[c];
        sink(out.data(), w);
    }
    return image.Height;
}

} // namespace

int MapPixels(const RgbImageView& image, const GifPalette& palette, InverseColourMap& map,
              bool dither, const RowSink& sink) {
    if (image.Width <= 0 || image.Height <= 0) return 0;
    return dither ? MapDithered(image, palette, map, sink) : MapExact(image, map, sink);
}

} // namespace vemo::gif
