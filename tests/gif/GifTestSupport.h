#pragma once
// Helpers for the GIF tests: pictures to encode, giflib to decode what the encoder wrote, and
// a plain LZW decoder that also reports what giflib does not check (the end code, clears).
#include "gif/GifEncoder.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gif_test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB

    Picture(int w, int h, std::uint32_t fill = 0xFFFFFF)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void fillRect(int x0, int y0, int w, int h, std::uint32_t c);
    vemo::gif::RgbImageView view() const { return {width, height, pixels.data(), 0}; }
};

using Rgb = std::array<int, 3>;
inline Rgb rgbOf(std::uint32_t c) {
    return {int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)};
}
// The colour a single-cell palette entry gets: the lowest of the pixel's cell.
inline Rgb cellFloor(std::uint32_t c) {
    const Rgb v = rgbOf(c);
    return {v[0] & ~7, v[1] & ~3, v[2] & ~7};
}

// Smooth gradients with noise, like a photograph: far more than 256 occupied cells.
Picture photoLike(int w, int h, unsigned seed = 1);

// What giflib reads from the stream, plus the raw fields it hides.
struct Decoded {
    int width = 0, height = 0;
    int tableEntries = 0; // entries in the global colour table
    int sizeField = -1;   // low three bits of the screen's packed byte
    int packed = 0;
    int background = -1;
    std::vector<Rgb> table;
    std::vector<std::uint8_t> indices; // width x height, rows from the top
    bool hasControlExtension = false;
    std::vector<std::uint8_t> controlExtension; // the 4 data bytes
    std::uint8_t lastByte = 0;
    Rgb colour(int x, int y) const {
        return table[indices[static_cast<std::size_t>(y) * width + x]];
    }
    int index(int x, int y) const { return indices[static_cast<std::size_t>(y) * width + x]; }
};

// Decodes with giflib; fails the calling test (ADD_FAILURE) and returns an empty result when
// giflib refuses the stream.
Decoded decodeWithGiflib(const std::vector<std::uint8_t>& gif);
Decoded decodeFileWithGiflib(const std::string& path);

struct LzwResult {
    bool ok = false;   // well formed up to and including the end code
    std::string error; // what was wrong otherwise
    std::vector<std::uint8_t> indices;
    int clearCodes = 0; // including the leading one
    int maxCodeWidth = 0;
    bool dataAfterEnd = false; // bytes between the end code and the block terminator
    std::vector<int> blockLengths;
};

// Decodes the image data of a single-image stream written by the encoder.
LzwResult decodeLzw(const std::vector<std::uint8_t>& gif);

} // namespace gif_test
