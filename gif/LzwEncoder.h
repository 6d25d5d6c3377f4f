#pragma once
// LZW compression of 8-bit palette indices as a GIF image's data: variable-width codes from
// 9 to 12 bits, packed least significant bit first into sub-blocks of at most 255 bytes.
#include <cstdint>
#include <vector>

namespace vemo::gif {

class LzwEncoder {
public:
    static constexpr int ClearCode = 256;
    static constexpr int EndCode = 257;
    static constexpr int MaxCode = 4095;
    static constexpr int HashSize = 5021; // a prime, so every probe step reaches every slot

    // Appends to out, starting with a clear code.
    explicit LzwEncoder(std::vector<std::uint8_t>& out);

    void Add(const std::uint8_t* indices, int count);
    // Writes the pending code, the end code, the last bits and the empty closing sub-block.
    void Finish();

private:
    void Restart();
    void Write(int code);
    void PutByte(std::uint8_t b);

    std::vector<std::uint8_t>& out_;
    std::vector<std::int32_t> keys_;   // (prefix << 8 | index) + 1; 0 for a free slot
    std::vector<std::uint16_t> codes_; // the code of each occupied slot
    int prefix_ = -1; // code of the string matched so far, -1 before the first pixel
    int nextCode_ = EndCode + 1;
    int width_ = 9;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    std::size_t blockStart_ = 0; // position of the current sub-block's length byte
};

} // namespace vemo::gif
