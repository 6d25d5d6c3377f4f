#pragma once
// Maps a bitmap onto its palette row by row from the top. An exact palette takes every pixel
// straight from the inverse colour map; otherwise the pixels are dithered with serpentine
// Floyd-Steinberg error diffusion.
#include "gif/InverseColourMap.h"

#include <cstdint>
#include <functional>

namespace vemo::gif {

using RowSink = std::function<void(const std::uint8_t* indices, int count)>;

// Hands each finished row of palette indices to sink; returns the number of rows handed over.
int MapPixels(const RgbImageView& image, const GifPalette& palette, InverseColourMap& map,
              bool dither, const RowSink& sink);

// Damps a diffused error (in colour levels): small errors pass, larger ones grow by half as
// much, and nothing beyond 32 is carried, which keeps streaks out of flat areas.
constexpr int LimitError(int e) {
    const int a = e < 0 ? -e : e;
    const int limited = a <= 15 ? a : a <= 47 ? 16 + (a - 15) / 2 : 32;
    return e < 0 ? -limited : limited;
}

} // namespace vemo::gif
