// The image data: LZW codes that decode to exactly width x height indices, restarts of the
// string table in large pictures, and the failures the export shows to the user.
#include "GifTestSupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using namespace gif_test;
using vemo::gif::EncodeGif;
using vemo::gif::GifError;
using vemo::gif::WriteGifFile;

namespace {

// 256 colours in distinct cells (an exact palette) scattered at random: short strings, so the
// string table fills and restarts often.
Picture RandomExactColours(int w, int h, int colours, unsigned seed) {
    Picture p(w, h);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, colours - 1);
    for (std::uint32_t& px : p.pixels) {
        const int i = pick(rng);
        px = std::uint32_t(i & 7) * 32 << 16 | std::uint32_t((i >> 3) & 7) * 32 << 8 |
             std::uint32_t(i >> 6) * 64;
    }
    return p;
}

void ExpectRoundTrip(const Picture& p, const std::vector<std::uint8_t>& gif, const LzwResult& lzw) {
    ASSERT_TRUE(lzw.ok) << lzw.error;
    EXPECT_FALSE(lzw.dataAfterEnd);
    EXPECT_EQ(gif.back(), 0x3B);
    for (std::size_t i = 0; i + 1 < lzw.blockLengths.size(); ++i)
        ASSERT_EQ(lzw.blockLengths[i], 255) << "sub-block " << i << " is not full";
    const Decoded d = decodeWithGiflib(gif);
    ASSERT_EQ(d.indices.size(), p.pixels.size());
    EXPECT_EQ(d.indices, lzw.indices);
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            wrong += d.colour(x, y) != cellFloor(p.at(x, y));
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST(GifStream, SmallPicturesDecodeToExactlyTheirPixels) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 1}, {1, 3}, {17, 5}, {255, 2}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const Picture p = RandomExactColours(w, h, 3, unsigned(w * 31 + h));
        const std::vector<std::uint8_t> gif = EncodeGif(p.view());
        const LzwResult lzw = decodeLzw(gif);
        ExpectRoundTrip(p, gif, lzw);
        EXPECT_EQ(lzw.clearCodes, 1);
    }
}

TEST(GifStream, FullStringTableRestartsWithClearCode) {
    const Picture p = RandomExactColours(640, 480, 256, 42);
    const std::vector<std::uint8_t> gif = EncodeGif(p.view());
    const LzwResult lzw = decodeLzw(gif);
    ExpectRoundTrip(p, gif, lzw);
    EXPECT_GT(lzw.clearCodes, 20);
    EXPECT_EQ(lzw.maxCodeWidth, 12);
}

TEST(GifStream, LongRunsAndTwoColourNoiseRoundTrip) {
    // Two colours at random make long strings; a large flat picture makes very long ones.
    const Picture noise = RandomExactColours(1000, 300, 2, 5);
    const std::vector<std::uint8_t> gif = EncodeGif(noise.view());
    const LzwResult lzw = decodeLzw(gif);
    ExpectRoundTrip(noise, gif, lzw);
    EXPECT_GT(lzw.clearCodes, 1);

    Picture flat(2000, 1500, 0x336699);
    flat.fillRect(1000, 700, 3, 3, 0x000000);
    const std::vector<std::uint8_t> flatGif = EncodeGif(flat.view());
    const LzwResult flatLzw = decodeLzw(flatGif);
    ExpectRoundTrip(flat, flatGif, flatLzw);
    EXPECT_LT(flatGif.size(), 20000u); // runs compress
}

TEST(GifStream, DitheredPhotoRoundTrips) {
    const Picture p = photoLike(800, 500, 3);
    const std::vector<std::uint8_t> gif = EncodeGif(p.view());
    const LzwResult lzw = decodeLzw(gif);
    ASSERT_TRUE(lzw.ok) << lzw.error;
    EXPECT_FALSE(lzw.dataAfterEnd);
    EXPECT_GT(lzw.clearCodes, 1);
    EXPECT_EQ(decodeWithGiflib(gif).indices, lzw.indices);
}

TEST(GifStream, EmptyOrOversizedBitmapIsRefused) {
    const Picture none(0, 0);
    try {
        EncodeGif(none.view());
        ADD_FAILURE() << "an empty bitmap was encoded";
    } catch (const GifError& e) {
        EXPECT_STREQ(e.what(), "Unable to find Colour in Red Plane");
    }
    const Picture wide(70000, 1, 0);
    EXPECT_THROW(EncodeGif(wide.view()), GifError);
}

TEST(GifStream, FileHoldsTheStreamAndFailuresLeaveNoFile) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("vemo_gif_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const Picture p = photoLike(120, 80, 9);
    const fs::path file = dir / "plot.gif";
    {
        std::ofstream old(file);
        old << "an older, longer file that must be replaced completely "
               "............................";
    }
    WriteGifFile(p.view(), file.string());
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, EncodeGif(p.view()));
    EXPECT_EQ(decodeFileWithGiflib(file.string()).width, 120);

    // An empty bitmap fails before the file is touched.
    const fs::path empty = dir / "empty.gif";
    EXPECT_THROW(WriteGifFile(Picture(0, 0).view(), empty.string()), GifError);
    EXPECT_FALSE(fs::exists(empty));

    // A folder that does not exist.
    EXPECT_THROW(WriteGifFile(p.view(), (dir / "missing" / "x.gif").string()), GifError);

    // A disk that fills up part-way: the incomplete file is removed.
    const fs::path partial = dir / "partial.gif";
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        WriteGifFile(p.view(), partial.string());
    } catch (const GifError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "Unable to write complete image to stream");
    EXPECT_FALSE(fs::exists(partial));
    fs::remove_all(dir);
}
