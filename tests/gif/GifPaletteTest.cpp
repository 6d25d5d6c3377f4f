// Pictures of few colours: the palette holds each occupied cell exactly and every pixel is
// written as its own colour, with the colour table and its size field as decoders expect.
#include "GifTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace gif_test;
using vemo::gif::EncodeGif;

namespace {

constexpr std::uint32_t White = 0xFFFFFF, Grey = 0x808080, Black = 0x000000, Blue = 0x0000FF;

// White background, grey grid, black "text" and a blue zig-zag line, as an exported plot.
Picture plotLike() {
    Picture p(700, 350, White);
    for (int x = 60; x < 680; x += 62)
        p.fillRect(x, 20, 1, 300, Grey);
    for (int y = 20; y < 320; y += 30)
        p.fillRect(60, y, 620, 1, Grey);
    for (int i = 0; i < 12; ++i)
        p.fillRect(70 + i * 9, 5, 6, 9, Black);
    p.fillRect(60, 20, 2, 300, Black);
    for (int x = 62; x < 680; ++x) {
        const int y = 170 + ((x / 40) % 2 ? x % 40 : 40 - x % 40) * 3;
        p.fillRect(x, y - 1, 1, 3, Blue);
    }
    return p;
}

void ExpectEveryPixelExact(const Picture& p, const Decoded& d) {
    ASSERT_EQ(d.width, p.width);
    ASSERT_EQ(d.height, p.height);
    ASSERT_EQ(d.indices.size(), p.pixels.size());
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (d.colour(x, y) != cellFloor(p.at(x, y)) && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") written as another colour";
    EXPECT_EQ(wrong, 0);
}

int IndexOfColour(const Decoded& d, Rgb c) {
    auto it = std::find(d.table.begin(), d.table.end(), c);
    return it == d.table.end() ? -1 : int(it - d.table.begin());
}

// n colours in distinct cells, in vertical stripes.
Picture Stripes(int n, int width = 0) {
    Picture p(width ? width : 4 * n, 8);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t c = std::uint32_t(i & 7) * 32 << 16 |
                                std::uint32_t((i >> 3) & 7) * 32 << 8 | std::uint32_t(i >> 6) * 64;
        for (int x = i * p.width / n; x < (i + 1) * p.width / n; ++x)
            p.fillRect(x, 0, 1, 8, c);
    }
    return p;
}

} // namespace

TEST(GifPalette, PlotGivesExactPaletteWithWhiteLowered) {
    const Picture p = plotLike();
    const std::vector<std::uint8_t> gif = EncodeGif(p.view());
    ASSERT_GE(gif.size(), 13u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(gif.back(), 0x3B);

    const Decoded d = decodeWithGiflib(gif);
    EXPECT_EQ(d.tableEntries, 4);
    EXPECT_EQ(d.sizeField, 1);
    EXPECT_EQ(d.packed & 0xF8, 0x80 | 0x08); // global table, sort flag, resolution field 0
    const std::set<Rgb> colours(d.table.begin(), d.table.end());
    EXPECT_EQ(colours, (std::set<Rgb>{{248, 252, 248}, {128, 128, 128}, {0, 0, 0}, {0, 0, 248}}));
    ExpectEveryPixelExact(p, d);

    const int white = IndexOfColour(d, {248, 252, 248});
    EXPECT_EQ(d.background, white);
    ASSERT_TRUE(d.hasControlExtension);
    EXPECT_EQ(d.controlExtension, (std::vector<std::uint8_t>{0, 0, 0, std::uint8_t(white)}));
}

TEST(GifPalette, TableIsPaddedToPowerOfTwoWithBlack) {
    // entries -> size field; the table holds 2 ^ (field + 1) entries
    const std::pair<int, int> cases[] = {{2, 0},  {3, 1},  {4, 1},   {5, 2},
                                         {10, 3}, {17, 4}, {100, 6}, {256, 7}};
    for (auto [n, field] : cases) {
        SCOPED_TRACE("entries " + std::to_string(n));
        const Picture p = Stripes(n);
        const Decoded d = decodeWithGiflib(EncodeGif(p.view()));
        EXPECT_EQ(d.sizeField, field);
        ASSERT_EQ(d.tableEntries, 1 << (field + 1));
        std::set<Rgb> expected;
        for (std::uint32_t c : p.pixels)
            expected.insert(cellFloor(c));
        ASSERT_EQ(int(expected.size()), n) << "test picture must use n distinct cells";
        EXPECT_EQ(std::set<Rgb>(d.table.begin(), d.table.begin() + n), expected);
        for (int i = n; i < d.tableEntries; ++i)
            EXPECT_EQ(d.table[i], (Rgb{0, 0, 0})) << "padding entry " << i;
        ExpectEveryPixelExact(p, d);
    }
}

TEST(GifPalette, SingleColourGivesTableOfTwo) {
    Picture p(33, 17, 0xC86432); // (200, 100, 50)
    const std::vector<std::uint8_t> gif = EncodeGif(p.view());
    const Decoded d = decodeWithGiflib(gif);
    EXPECT_EQ(d.sizeField, 0);
    ASSERT_EQ(d.tableEntries, 2);
    EXPECT_EQ(d.table[0], (Rgb{200, 100, 48}));
    EXPECT_EQ(d.table[1], (Rgb{0, 0, 0}));
    EXPECT_EQ(d.background, 0);
    EXPECT_TRUE(std::all_of(d.indices.begin(), d.indices.end(), [](int i) { return i == 0; }));
    EXPECT_EQ(gif.back(), 0x3B);
}

TEST(GifPalette, ColoursBesideMissingWhiteStayExact) {
    // Two neighbouring light cells in the corner of colour space where white would be, and no
    // white pixel: finding the background entry must not move them onto each other.
    Picture p(40, 20, 0xE0F0E0);         // (224, 240, 224)
    p.fillRect(20, 0, 20, 20, 0xE8F0E0); // (232, 240, 224), the next red cell
    p.fillRect(0, 10, 40, 2, Black);
    const Decoded d = decodeWithGiflib(EncodeGif(p.view()));
    ASSERT_EQ(d.tableEntries, 4);
    ExpectEveryPixelExact(p, d);
    // The lighter of the two is nearest to white.
    EXPECT_EQ(d.table[std::size_t(d.background)], (Rgb{232, 240, 224}));
}

TEST(GifPalette, BackgroundIsTheEntryNearestToWhite) {
    Picture p(30, 30, 0x102030);
    p.fillRect(0, 0, 10, 10, 0xC0C0C0);
    p.fillRect(10, 10, 10, 10, 0xFF0000);
    p.fillRect(20, 20, 10, 10, 0x00FF00);
    const Decoded d = decodeWithGiflib(EncodeGif(p.view()));
    ASSERT_GE(d.background, 0);
    EXPECT_EQ(d.table[std::size_t(d.background)], (Rgb{192, 192, 192}));
    ExpectEveryPixelExact(p, d);
}

TEST(GifPalette, IgnoresTheTopByteAndHonoursRowStride) {
    // A QImage in RGB32 carries 0xFF in the top byte and may pad its rows.
    const int w = 5, h = 3, stride = 8;
    std::vector<std::uint32_t> words(std::size_t(stride) * h, 0x12345678); // padding: never read
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            words[std::size_t(y) * stride + x] = 0xFF000000u | (x == y ? 0xFF0000u : 0x0000FFu);
    const Decoded d = decodeWithGiflib(EncodeGif({w, h, words.data(), stride}));
    ASSERT_EQ(d.tableEntries, 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(d.colour(x, y), (x == y ? Rgb{248, 0, 0} : Rgb{0, 0, 248})) << x << "," << y;
}
