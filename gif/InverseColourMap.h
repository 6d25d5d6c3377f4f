#pragma once
// For every histogram cell, the palette entry nearest to the cell's centre. Entries are found
// when first asked for, a block of 4 x 8 x 4 cells at a time, so a picture that uses few
// colours costs few searches.
#include "gif/ColourQuantiser.h"

#include <cstdint>
#include <vector>

namespace vemo::gif {

class InverseColourMap {
public:
    // Cells that a single-cell palette entry stands for map to that entry from the start.
    explicit InverseColourMap(const GifPalette& palette);

    int IndexOfCell(int cell) {
        const std::uint16_t e = map_[cell];
        if (e != 0) return e - 1;
        FillBlock(cell);
        return map_[cell] - 1;
    }
    int IndexOf(std::uint32_t rgb) { return IndexOfCell(CellOf(rgb)); }

private:
    void FillBlock(int cell);

    const GifPalette& palette_;
    std::vector<std::uint16_t> map_; // palette index + 1; 0 while unknown
};

} // namespace vemo::gif
