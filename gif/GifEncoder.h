#pragma once
// Writes a bitmap as a single-image GIF89a file: the colours are reduced to at most 256 with a
// median cut over a coarse histogram, the pixels are mapped onto that palette (with
// Floyd-Steinberg error diffusion when the palette cannot hold every colour exactly) and the
// indices are LZW-compressed.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vemo::gif {

// A bitmap of 32-bit words 0x??RRGGBB (the top byte is ignored), rows from the top. This is
// the memory layout of a QImage in Format_RGB32, so the export hands its bits over unchanged.
struct RgbImageView {
    int Width = 0;
    int Height = 0;
    const std::uint32_t* Pixels = nullptr;
    std::ptrdiff_t Stride = 0; // words from the start of one row to the next; 0 means Width

    const std::uint32_t* Row(int y) const {
        return Pixels + static_cast<std::ptrdiff_t>(y) * (Stride ? Stride : Width);
    }
};

// Every failure of the encoder; what() is the text the user is shown.
class GifError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest width and height a GIF can record (16-bit fields).
constexpr int MaxGifSide = 65535;

// The whole GIF stream of the bitmap. Throws GifError.
std::vector<std::uint8_t> EncodeGif(const RgbImageView& image);

// Creates or replaces fileName with the GIF stream of the bitmap. Throws GifError; when the
// write fails part-way the incomplete file is removed.
void WriteGifFile(const RgbImageView& image, const std::string& fileName);

} // namespace vemo::gif
