// Nearest palette entries, found block by block: entries that cannot beat the best worst case
// for the block are left out before the cells are searched.
#include "gif/InverseColourMap.h"

#include <climits>

namespace vemo::gif {

namespace {

constexpr int RedScale = 2;
constexpr int GreenScale = 3;
constexpr int BlueScale = 1;

// Cells per block on each axis.
constexpr int BlockRed = 4;
constexpr int BlockGreen = 8;
constexpr int BlockBlue = 4;

// Smallest and largest scaled square distance from x to the range lo..hi.
void AxisDistances(int x, int lo, int hi, int scale, int& minDist, int& maxDist) {
    int near, far;
    if (x < lo) {
        near = (x - lo) * scale;
        far = (x - hi) * scale;
    } else if (x > hi) {
        near = (x - hi) * scale;
        far = (x - lo) * scale;
    } else {
        near = 0;
        far = (x <= (lo + hi) / 2 ? x - hi : x - lo) * scale;
    }
    minDist += near * near;
    maxDist += far * far;
}

} // namespace

InverseColourMap::InverseColourMap(const GifPalette& palette)
    : palette_(palette), map_(CellCount, 0) {
    for (int i = 0; i < palette.Count; ++i)
        if (palette.SingleCell[i] >= 0)
            map_[palette.SingleCell[i]] = static_cast<std::uint16_t>(i + 1);
}

void InverseColourMap::FillBlock(int cell) {
    const int r0 = ((cell >> 11) & 31) / BlockRed * BlockRed;
    const int g0 = ((cell >> 5) & 63) / BlockGreen * BlockGreen;
    const int b0 = (cell & 31) / BlockBlue * BlockBlue;

    // Centres of the block's first and last cells on each axis.
    const int rLo = r0 * 8 + 4, rHi = rLo + (BlockRed - 1) * 8;
    const int gLo = g0 * 4 + 2, gHi = gLo + (BlockGreen - 1) * 4;
    const int bLo = b0 * 8 + 4, bHi = bLo + (BlockBlue - 1) * 8;

    const GifPalette& p = palette_;
    int minDist[MaxPaletteSize];
    int bestWorst = INT_MAX;
    for (int i = 0; i < p.Count; ++i) {
        int lo = 0, hi = 0;
        AxisDistances(p.Red[i], rLo, rHi, RedScale, lo, hi);
        AxisDistances(p.Green[i], gLo, gHi, GreenScale, lo, hi);
        AxisDistances(p.Blue[i], bLo, bHi, BlueScale, lo, hi);
        minDist[i] = lo;
        if (hi < bestWorst) bestWorst = hi;
    }
    int candidates[MaxPaletteSize];
    int nc = 0;
    for (int i = 0; i < p.Count; ++i)
        if (minDist[i] < bestWorst) candidates[nc++] = i;

    for (int r = r0; r < r0 + BlockRed; ++r)
        for (int g = g0; g < g0 + BlockGreen; ++g)
            for (int b = b0; b < b0 + BlockBlue; ++b) {
                std::uint16_t& entry = map_[CellIndex(r, g, b)];
                // A cell already known keeps its entry: the cell of a colour the palette holds
                // exactly must map to that colour, even where another entry is as near to the
                // cell's centre.
                if (entry != 0) continue;
                const int cr = r * 8 + 4, cg = g * 4 + 2, cb = b * 8 + 4;
                int best = candidates[0];
                int bestDist = INT_MAX;
                for (int k = 0; k < nc; ++k) {
                    const int i = candidates[k];
                    const int dr = (p.Red[i] - cr) * RedScale;
                    const int dg = (p.Green[i] - cg) * GreenScale;
                    const int db = (p.Blue[i] - cb) * BlueScale;
                    const int d = dr * dr + dg * dg + db * db;
                    if (d < bestDist) {
                        bestDist = d;
                        best = i;
                    }
                }
                entry = static_cast<std::uint16_t>(best + 1);
            }
}

} // namespace vemo::gif
