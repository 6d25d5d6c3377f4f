// The GIF89a stream: header, logical screen with the global colour table, a graphic control
// extension, one image descriptor and the LZW image data, then the trailer.
#include "gif/GifEncoder.h"

#include "gif/ColourQuantiser.h"
#include "gif/InverseColourMap.h"
#include "gif/LzwEncoder.h"
#include "gif/PixelMapper.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vemo::gif {

namespace {

void Put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// The colour table holds 2 ^ (field + 1) entries.
int TableSizeField(int entries) {
    int bits = 0;
    for (int n = entries - 1; n > 0; n >>= 1)
        ++bits;
    return bits <= 1 ? 0 : bits - 1;
}

} // namespace

std::vector<std::uint8_t> EncodeGif(const RgbImageView& image) {
    if (image.Width > MaxGifSide || image.Height > MaxGifSide)
        throw GifError("Cannot write an image larger than 65535 x 65535 pixels as a GIF");
    if (image.Width > 0 && image.Height > 0 && !image.Pixels)
        throw GifError("Unable to write complete image to stream");

    // The palette is complete before any byte of the stream is written.
    // An empty bitmap has no occupied cell and fails here.
    GifPalette palette;
    {
        ColourHistogram histogram;
        histogram.AddImage(image);
        palette = BuildPalette(histogram);
    }
    if (palette.Count > MaxPaletteSize)
        throw GifError("Cannot write an image with more than 256 colours as a GIF");
    InverseColourMap map(palette);
    const int white = map.IndexOf(0xFFFFFF);

    std::vector<std::uint8_t> out;
    // A guess at the compressed size, kept modest so that a huge bitmap asks for no more
    // memory up front than it needs.
    const std::size_t pixels = static_cast<std::size_t>(image.Width) * image.Height;
    out.reserve(1024 + std::min<std::size_t>(pixels / 2, std::size_t{64} << 20));
    for (char c : {'G', 'I', 'F', '8', '9', 'a'})
        out.push_back(static_cast<std::uint8_t>(c));

    const int field = TableSizeField(palette.Count);
    Put16(out, image.Width);
    Put16(out, image.Height);
    out.push_back(static_cast<std::uint8_t>(0x80 | 0x08 | field)); // global table, sorted
    out.push_back(static_cast<std::uint8_t>(white));               // background colour
    out.push_back(0);                                              // square pixels
    const int tableSize = 1 << (field + 1);
    for (int i = 0; i < tableSize; ++i) {
        const bool used = i < palette.Count;
        out.push_back(used ? palette.Red[i] : 0);
        out.push_back(used ? palette.Green[i] : 0);
        out.push_back(used ? palette.Blue[i] : 0);
    }

    // Graphic control extension: no disposal, no user input, no transparency, no delay.
    for (int b : {0x21, 0xF9, 4, 0, 0, 0})
        out.push_back(static_cast<std::uint8_t>(b));
    out.push_back(static_cast<std::uint8_t>(white));
    out.push_back(0);

    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, image.Width);
    Put16(out, image.Height);
    out.push_back(0); // no local colour table, not interlaced

    out.push_back(8); // LZW minimum code size
    {
        LzwEncoder lzw(out);
        const int rows = MapPixels(image, palette, map, !palette.Exact,
                                   [&lzw](const std::uint8_t* row, int n) { lzw.Add(row, n); });
        if (rows != image.Height) throw GifError("Unable to write complete image to stream");
        lzw.Finish();
    }
    out.push_back(0x3B);
    return out;
}

void WriteGifFile(const RgbImageView& image, const std::string& fileName) {
    const std::vector<std::uint8_t> bytes = EncodeGif(image);
    std::FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f) throw GifError("Cannot create file \"" + fileName + "\"");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        // A cut-short picture is of no use; only a plain file is removed, never a device.
        std::error_code ec;
        if (std::filesystem::is_regular_file(fileName, ec)) std::filesystem::remove(fileName, ec);
        throw GifError("Unable to write complete image to stream");
    }
}

} // namespace vemo::gif
