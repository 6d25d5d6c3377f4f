#pragma once
// Colour reduction: a histogram of 32 x 64 x 32 cells (top 5 bits of red, 6 of green, 5 of
// blue) and a median cut of its occupied cells into at most 256 boxes, one palette entry each.
#include "gif/GifEncoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vemo::gif {

constexpr int RedCells = 32;
constexpr int GreenCells = 64;
constexpr int BlueCells = 32;
constexpr int CellCount = RedCells * GreenCells * BlueCells;
constexpr int MaxPaletteSize = 256;

// Cells are numbered red-major: (r << 11) | (g << 5) | b.
constexpr int CellIndex(int r, int g, int b) {
    return (r << 11) | (g << 5) | b;
}
constexpr int CellOf(std::uint32_t rgb) {
    return static_cast<int>(((rgb >> 8) & 0xF800u) | ((rgb >> 5) & 0x07E0u) | ((rgb >> 3) & 0x1Fu));
}

// Pixel counts per cell; a count stops at 65535, since only empty or not matters later.
class ColourHistogram {
public:
    ColourHistogram() : count_(CellCount, 0) {}
    void AddImage(const RgbImageView& image);
    void AddColour(std::uint32_t rgb) {
        std::uint16_t& c = count_[CellOf(rgb)];
        if (c != 0xFFFF) ++c;
    }
    std::uint16_t Count(int r, int g, int b) const { return count_[CellIndex(r, g, b)]; }
    bool Occupied(int r, int g, int b) const { return count_[CellIndex(r, g, b)] != 0; }

private:
    std::vector<std::uint16_t> count_;
};

struct GifPalette {
    int Count = 0;
    std::array<std::uint8_t, MaxPaletteSize> Red{};
    std::array<std::uint8_t, MaxPaletteSize> Green{};
    std::array<std::uint8_t, MaxPaletteSize> Blue{};
    // The one occupied cell of entry i when its box holds a single cell, otherwise -1.
    std::array<int, MaxPaletteSize> SingleCell{};
    // Every entry stands for exactly one occupied cell: no pixel needs error diffusion.
    bool Exact = false;
};

// Median cut of the histogram's occupied cells. Throws GifError when there is no occupied
// cell at all.
GifPalette BuildPalette(const ColourHistogram& histogram);

} // namespace vemo::gif
