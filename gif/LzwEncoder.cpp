// The string table lives in an open-addressing hash: a string is its prefix code and one more
// index. When the table is full (code 4095 handed out) a clear code starts it afresh.
#include "gif/LzwEncoder.h"

#include <algorithm>

namespace vemo::gif {

LzwEncoder::LzwEncoder(std::vector<std::uint8_t>& out)
    : out_(out), keys_(HashSize, 0), codes_(HashSize, 0) {
    blockStart_ = out_.size();
    out_.push_back(0);
    Write(ClearCode);
}

void LzwEncoder::PutByte(std::uint8_t b) {
    out_.push_back(b);
    if (out_.size() - blockStart_ - 1 == 255) {
        out_[blockStart_] = 255;
        blockStart_ = out_.size();
        out_.push_back(0);
    }
}

void LzwEncoder::Write(int code) {
    bits_ |= static_cast<std::uint32_t>(code) << bitCount_;
    bitCount_ += width_;
    while (bitCount_ >= 8) {
        PutByte(static_cast<std::uint8_t>(bits_));
        bits_ >>= 8;
        bitCount_ -= 8;
    }
    // The decoder widens its codes as soon as the next free code no longer fits.
    if (nextCode_ > (1 << width_) - 1 && width_ < 12) ++width_;
}

void LzwEncoder::Restart() {
    Write(ClearCode);
    std::fill(keys_.begin(), keys_.end(), 0);
    nextCode_ = EndCode + 1;
    width_ = 9;
}

void LzwEncoder::Add(const std::uint8_t* indices, int count) {
    int i = 0;
    if (prefix_ < 0 && count > 0) prefix_ = indices[i++];
    int prefix = prefix_;
    for (; i < count; ++i) {
        const int pixel = indices[i];
        const std::int32_t key = ((prefix << 8) | pixel) + 1;
        int slot = (pixel << 4) ^ prefix;
        const int step = slot == 0 ? 1 : HashSize - slot;
        const int start = slot;
        bool found = false, full = false;
        while (keys_[slot] != 0) {
            if (keys_[slot] == key) {
                found = true;
                break;
            }
            slot -= step;
            if (slot < 0) slot += HashSize;
            if (slot == start) {
                full = true;
                break;
            }
        }
        if (found) {
            prefix = codes_[slot];
            continue;
        }
        Write(prefix);
        if (nextCode_ > MaxCode || full) {
            Restart();
        } else {
            keys_[slot] = key;
            codes_[slot] = static_cast<std::uint16_t>(nextCode_++);
        }
        prefix = pixel;
    }
    prefix_ = prefix;
}

void LzwEncoder::Finish() {
    if (prefix_ >= 0) Write(prefix_);
    Write(EndCode);
    if (bitCount_ > 0) PutByte(static_cast<std::uint8_t>(bits_));
    bits_ = 0;
    bitCount_ = 0;
    // Close the open sub-block; an empty one is itself the terminator.
    const std::size_t len = out_.size() - blockStart_ - 1;
    out_[blockStart_] = static_cast<std::uint8_t>(len);
    if (len > 0) out_.push_back(0);
}

} // namespace vemo::gif
