// Median cut over the colour histogram. Boxes are split first by the number of occupied cells
// they hold, then by their weighted size; every box becomes one palette entry.
#include "gif/ColourQuantiser.h"

#include <cstdint>

namespace vemo::gif {

void ColourHistogram::AddImage(const RgbImageView& image) {
    std::uint16_t* count = count_.data();
    for (int y = 0; y < image.Height; ++y) {
        const std::uint32_t* row = image.Row(y);
        for (int x = 0; x < image.Width; ++x) {
            std::uint16_t& c = count[CellOf(row[x])];
            c = static_cast<std::uint16_t>(c + (c != 0xFFFF));
        }
    }
}

namespace {

// Distances between colours weigh red by 2, green by 3 and blue by 1; a cell spans 8 red,
// 4 green and 8 blue levels, hence these factors on the lengths of a box.
constexpr int RedLengthScale = 16;
constexpr int GreenLengthScale = 12;
constexpr int BlueLengthScale = 8;

struct Box {
    int rmin, rmax, gmin, gmax, bmin, bmax;
    long colourCount = 0; // occupied cells inside
    long volume = 0;
};

class MedianCut {
public:
    explicit MedianCut(const ColourHistogram& h) : h_(h) {}

    GifPalette Run();

private:
    bool RedPlaneOccupied(const Box& b, int r) const {
        for (int g = b.gmin; g <= b.gmax; ++g)
            for (int c = b.bmin; c <= b.bmax; ++c)
                if (h_.Occupied(r, g, c)) return true;
        return false;
    }
    bool GreenPlaneOccupied(const Box& b, int g) const {
        for (int r = b.rmin; r <= b.rmax; ++r)
            for (int c = b.bmin; c <= b.bmax; ++c)
                if (h_.Occupied(r, g, c)) return true;
        return false;
    }
    bool BluePlaneOccupied(const Box& b, int c) const {
        for (int r = b.rmin; r <= b.rmax; ++r)
            for (int g = b.gmin; g <= b.gmax; ++g)
                if (h_.Occupied(r, g, c)) return true;
        return false;
    }
    void Shrink(Box& b) const;
    void Split(Box& b);
    int BiggestByCount() const;
    int BiggestByVolume() const;
    void SetColour(GifPalette& p, int i) const;

    const ColourHistogram& h_;
    std::vector<Box> boxes_;
};

// Moves every bound of the box inward to the nearest plane holding an occupied cell, then
// counts the occupied cells and measures the box.
void MedianCut::Shrink(Box& b) const {
    int lo = b.rmin;
    while (lo <= b.rmax && !RedPlaneOccupied(b, lo))
        ++lo;
    if (lo > b.rmax) throw GifError("Unable to find Colour in Red Plane");
    b.rmin = lo;
    while (!RedPlaneOccupied(b, b.rmax))
        --b.rmax;

    lo = b.gmin;
    while (lo <= b.gmax && !GreenPlaneOccupied(b, lo))
        ++lo;
    if (lo > b.gmax) throw GifError("Unable to find Colour in Green Plane");
    b.gmin = lo;
    while (!GreenPlaneOccupied(b, b.gmax))
        --b.gmax;

    lo = b.bmin;
    while (lo <= b.bmax && !BluePlaneOccupied(b, lo))
        ++lo;
    if (lo > b.bmax) throw GifError("Unable to find Colour in Blue Plane");
    b.bmin = lo;
    while (!BluePlaneOccupied(b, b.bmax))
        --b.bmax;

    const long dr = long{b.rmax - b.rmin} * RedLengthScale;
    const long dg = long{b.gmax - b.gmin} * GreenLengthScale;
    const long db = long{b.bmax - b.bmin} * BlueLengthScale;
    b.volume = dr * dr + dg * dg + db * db;

    long count = 0;
    for (int r = b.rmin; r <= b.rmax; ++r)
        for (int g = b.gmin; g <= b.gmax; ++g)
            for (int c = b.bmin; c <= b.bmax; ++c)
                count += h_.Occupied(r, g, c);
    b.colourCount = count;
}

// The lower half of the longest weighted axis becomes a new box at the end of the list; the
// box itself keeps the upper half.
void MedianCut::Split(Box& b) {
    const int dr = (b.rmax - b.rmin) * RedLengthScale;
    const int dg = (b.gmax - b.gmin) * GreenLengthScale;
    const int db = (b.bmax - b.bmin) * BlueLengthScale;
    Box lower = b;
    if (db > dr && db > dg) {
        const int mid = b.bmin + (b.bmax - b.bmin) / 2;
        lower.bmax = mid;
        b.bmin = mid + 1;
    } else if (dg >= dr) {
        const int mid = b.gmin + (b.gmax - b.gmin) / 2;
        lower.gmax = mid;
        b.gmin = mid + 1;
    } else {
        const int mid = b.rmin + (b.rmax - b.rmin) / 2;
        lower.rmax = mid;
        b.rmin = mid + 1;
    }
    Shrink(b);
    Shrink(lower);
    boxes_.push_back(lower);
}

int MedianCut::BiggestByCount() const {
    int best = -1;
    long most = 0;
    for (int i = 0; i < static_cast<int>(boxes_.size()); ++i)
        if (boxes_[i].volume > 0 && boxes_[i].colourCount > most) {
            most = boxes_[i].colourCount;
            best = i;
        }
    return best;
}

int MedianCut::BiggestByVolume() const {
    int best = -1;
    long most = 0;
    for (int i = 0; i < static_cast<int>(boxes_.size()); ++i)
        if (boxes_[i].volume > most) {
            most = boxes_[i].volume;
            best = i;
        }
    return best;
}

// A single cell gives its lowest colour; a larger box the mean of its occupied cells' highest
// colours, every cell counted once, rounded half up.
void MedianCut::SetColour(GifPalette& p, int i) const {
    const Box& b = boxes_[i];
    if (b.colourCount == 1) {
        p.Red[i] = static_cast<std::uint8_t>(b.rmin * 8);
        p.Green[i] = static_cast<std::uint8_t>(b.gmin * 4);
        p.Blue[i] = static_cast<std::uint8_t>(b.bmin * 8);
        p.SingleCell[i] = CellIndex(b.rmin, b.gmin, b.bmin);
        return;
    }
    long n = 0, sr = 0, sg = 0, sb = 0;
    for (int r = b.rmin; r <= b.rmax; ++r)
        for (int g = b.gmin; g <= b.gmax; ++g)
            for (int c = b.bmin; c <= b.bmax; ++c)
                if (h_.Occupied(r, g, c)) {
                    ++n;
                    sr += r * 8 + 7;
                    sg += g * 4 + 3;
                    sb += c * 8 + 7;
                }
    auto mean = [n](long sum) { return static_cast<std::uint8_t>((2 * sum + n) / (2 * n)); };
    p.Red[i] = mean(sr);
    p.Green[i] = mean(sg);
    p.Blue[i] = mean(sb);
    p.SingleCell[i] = -1;
}

GifPalette MedianCut::Run() {
    Box all{0, RedCells - 1, 0, GreenCells - 1, 0, BlueCells - 1};
    Shrink(all);
    boxes_.reserve(MaxPaletteSize);
    boxes_.push_back(all);

    // Half the entries go to the most crowded boxes, the rest to the largest ones.
    constexpr int countSplits = MaxPaletteSize / 2;
    constexpr int volumeSplits = MaxPaletteSize - 1 - countSplits;
    bool stopped = false;
    for (int i = 0; i < countSplits && !stopped; ++i) {
        const int b = BiggestByCount();
        if (b < 0)
            stopped = true;
        else
            Split(boxes_[b]);
    }
    for (int i = 0; i < volumeSplits && !stopped; ++i) {
        const int b = BiggestByVolume();
        if (b < 0)
            stopped = true;
        else
            Split(boxes_[b]);
    }

    GifPalette p;
    p.Count = static_cast<int>(boxes_.size());
    p.Exact = true;
    for (int i = 0; i < p.Count; ++i) {
        SetColour(p, i);
        if (p.SingleCell[i] < 0) p.Exact = false;
    }
    return p;
}

} // namespace

GifPalette BuildPalette(const ColourHistogram& histogram) {
    return MedianCut(histogram).Run();
}

} // namespace vemo::gif
