// Pictures with more occupied cells than a palette can hold: 256 entries and error diffusion.
#include "GifTestSupport.h"

#include "gif/ColourQuantiser.h"
#include "gif/InverseColourMap.h"
#include "gif/PixelMapper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

using namespace gif_test;
using namespace vemo::gif;

namespace {

// Serpentine Floyd-Steinberg written out on a whole-picture error array, starting from the
// right on the first row; the encoder does the same with one row buffer.
struct Coverage {
    int damped = 0;    // errors beyond 15 levels
    int reflected = 0; // values pushed below zero
    int clipped = 0;   // values pushed above 255
};

std::vector<std::uint8_t> ReferenceDither(const Picture& p, const GifPalette& pal,
                                          InverseColourMap& map, Coverage& cov) {
    const int w = p.width, h = p.height;
    std::vector<std::array<int, 3>> below(std::size_t(w) * (h + 1), {0, 0, 0});
    std::vector<std::uint8_t> out(std::size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const int dir = y % 2 == 0 ? -1 : 1;
        std::array<int, 3> carried{0, 0, 0};
        for (int n = 0, x = dir < 0 ? w - 1 : 0; n < w; ++n, x += dir) {
            const Rgb src = rgbOf(p.at(x, y));
            int v[3];
            for (int c = 0; c < 3; ++c) {
                const int sum = carried[c] + below[std::size_t(y) * w + x][c];
                int e = (sum + 8) / 16;
                const int a = std::abs(e);
                const int lim = a < 16 ? a : a < 48 ? 16 + (a - 15) / 2 : 32;
                cov.damped += lim != a;
                e = e < 0 ? -lim : lim;
                v[c] = src[c] + e;
                cov.reflected += v[c] < 0;
                cov.clipped += v[c] > 255;
                v[c] = std::min(std::abs(v[c]), 255);
            }
            const int idx = map.IndexOf(std::uint32_t(v[0]) << 16 | std::uint32_t(v[1]) << 8 |
                                        std::uint32_t(v[2]));
            out[std::size_t(y) * w + x] = std::uint8_t(idx);
            const int palc[3] = {pal.Red[idx], pal.Green[idx], pal.Blue[idx]};
            for (int c = 0; c < 3; ++c) {
                const int err = v[c] - palc[c];
                carried[c] = 7 * err;
                auto spread = [&](int xx, int k) {
                    if (xx >= 0 && xx < w) below[std::size_t(y + 1) * w + xx][c] += k * err;
                };
                spread(x - dir, 3);
                spread(x, 5);
                spread(x + dir, 1);
            }
        }
    }
    return out;
}

} // namespace

TEST(GifDither, PhotoLikePictureGets256EntriesAndDitheredPixels) {
    Picture p = photoLike(320, 200);
    // A flat patch of a colour the picture holds nearby, which the palette lacks, must come out
    // as a mix of entries.
    const std::uint32_t flat = 0x6A4B61; // (106, 75, 97)
    p.fillRect(100, 60, 64, 64, flat);
    const std::vector<std::uint8_t> gif = EncodeGif(p.view());
    const Decoded d = decodeWithGiflib(gif);
    ASSERT_EQ(d.tableEntries, 256);
    EXPECT_EQ(d.sizeField, 7);
    EXPECT_EQ(d.lastByte, 0x3B);
    EXPECT_GT(std::set<Rgb>(d.table.begin(), d.table.end()).size(), 200u);
    ASSERT_EQ(std::find(d.table.begin(), d.table.end(), rgbOf(flat)), d.table.end())
        << "the patch colour must not be a palette entry for this test";
    std::set<int> patchIndices;
    double sum[3] = {0, 0, 0};
    for (int y = 60; y < 124; ++y)
        for (int x = 100; x < 164; ++x) {
            patchIndices.insert(d.index(x, y));
            for (int c = 0; c < 3; ++c)
                sum[c] += d.colour(x, y)[c];
        }
    EXPECT_GE(patchIndices.size(), 2u);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(sum[c] / (64 * 64), rgbOf(flat)[c], 2.0) << "component " << c;

    // Block by block, the dithered colours keep the picture's local mean far better than the
    // nearest entries alone would.
    ColourHistogram hist;
    hist.AddImage(p.view());
    const GifPalette pal = BuildPalette(hist);
    InverseColourMap map(pal);
    double ditherError = 0, nearestError = 0;
    int blocks = 0;
    for (int by = 0; by + 16 <= p.height; by += 16)
        for (int bx = 0; bx + 16 <= p.width; bx += 16, ++blocks)
            for (int c = 0; c < 3; ++c) {
                double s = 0, o = 0, n = 0;
                for (int y = by; y < by + 16; ++y)
                    for (int x = bx; x < bx + 16; ++x) {
                        s += d.colour(x, y)[c];
                        o += rgbOf(p.at(x, y))[c];
                        const int i = map.IndexOf(p.at(x, y));
                        n += c == 0 ? pal.Red[i] : c == 1 ? pal.Green[i] : pal.Blue[i];
                    }
                ditherError += std::abs(s - o) / 256;
                nearestError += std::abs(n - o) / 256;
            }
    EXPECT_LT(ditherError / blocks / 3, 2.0);
    EXPECT_LT(ditherError, 0.6 * nearestError);
}

TEST(GifDither, FollowsSerpentineErrorDiffusion) {
    Picture p = photoLike(97, 61, 7);
    // Hard edges between far-apart colours give large errors; near-black and near-white
    // stripes push values past either end.
    for (int y = 0; y < 61; y += 6)
        for (int x = (y / 6) % 2 * 5; x < 97; x += 10)
            p.fillRect(x, y, 5, 3, (x + y) % 4 ? 0xFF00FF : 0x00FF00);
    p.fillRect(0, 20, 97, 3, 0x020103);
    p.fillRect(0, 40, 97, 3, 0xFDFEFC);
    ColourHistogram hist;
    hist.AddImage(p.view());
    const GifPalette pal = BuildPalette(hist);
    ASSERT_FALSE(pal.Exact);
    ASSERT_EQ(pal.Count, 256);
    InverseColourMap map(pal);
    Coverage cov;
    const std::vector<std::uint8_t> expected = ReferenceDither(p, pal, map, cov);
    EXPECT_GT(cov.damped, 0);
    EXPECT_GT(cov.reflected, 0);
    EXPECT_GT(cov.clipped, 0);

    const Decoded d = decodeWithGiflib(EncodeGif(p.view()));
    ASSERT_EQ(d.indices.size(), expected.size());
    int wrong = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (d.indices[i] != expected[i] && ++wrong <= 5)
            ADD_FAILURE() << "pixel (" << i % 97 << ", " << i / 97 << ") is " << int(d.indices[i])
                          << ", expected " << int(expected[i]);
    EXPECT_EQ(wrong, 0);
}

TEST(GifDither, MultiCellEntryIsUnweightedMeanOfCellTops) {
    // 257 occupied cells: one box must keep two of them. Its entry is the mean of the cells'
    // highest colours, whatever their pixel counts.
    Picture p(300, 4, 0);
    for (int i = 0; i < 256; ++i)
        p.fillRect(i, 0, 1, 4, std::uint32_t(i % 16) * 16 << 16 | std::uint32_t(i / 16) * 16 << 8);
    p.fillRect(256, 0, 1, 4, 0x0000C8);
    p.fillRect(257, 0, 43, 4, 0x000000); // one cell far more frequent than the others
    ColourHistogram hist;
    hist.AddImage(p.view());
    const GifPalette pal = BuildPalette(hist);
    ASSERT_EQ(pal.Count, 256);
    EXPECT_FALSE(pal.Exact);
    int merged = -1;
    for (int i = 0; i < pal.Count; ++i)
        if (pal.SingleCell[i] < 0) {
            EXPECT_EQ(merged, -1) << "only one entry can hold two cells";
            merged = i;
        }
    ASSERT_GE(merged, 0);
    // Find the two used cells no single-cell entry stands for.
    std::set<int> single;
    for (int i = 0; i < pal.Count; ++i)
        if (pal.SingleCell[i] >= 0) single.insert(pal.SingleCell[i]);
    std::vector<Rgb> tops;
    std::set<int> seen;
    for (std::uint32_t c : p.pixels) {
        const int cell = CellOf(c);
        if (single.count(cell) || !seen.insert(cell).second) continue;
        const Rgb f = cellFloor(c);
        tops.push_back({f[0] + 7, f[1] + 3, f[2] + 7});
    }
    ASSERT_EQ(tops.size(), 2u);
    const Rgb want = {(tops[0][0] + tops[1][0] + 1) / 2, (tops[0][1] + tops[1][1] + 1) / 2,
                      (tops[0][2] + tops[1][2] + 1) / 2};
    EXPECT_EQ((Rgb{pal.Red[merged], pal.Green[merged], pal.Blue[merged]}), want);
}
