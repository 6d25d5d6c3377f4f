#include "GifTestSupport.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace gif_test {

void Picture::fillRect(int x0, int y0, int w, int h, std::uint32_t c) {
    for (int y = std::max(y0, 0); y < std::min(y0 + h, height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + w, width); ++x)
            at(x, y) = c;
}

Picture photoLike(int w, int h, unsigned seed) {
    Picture p(w, h);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    auto clamp = [](double v) { return v < 0 ? 0 : v > 255 ? 255 : int(v); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const int r = clamp(255 * fx + noise(rng));
            const int g = clamp(128 + 100 * std::sin(6.0 * fy + 3.0 * fx) + noise(rng));
            const int b = clamp(255 * (1 - fy) * (0.5 + 0.5 * fx) + noise(rng));
            p.at(x, y) = std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
        }
    return p;
}

namespace {

struct Reader {
    const std::vector<std::uint8_t>* data;
    std::size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buf, int len) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(std::size_t(len), r->data->size() - r->pos);
    std::memcpy(buf, r->data->data() + r->pos, n);
    r->pos += n;
    return int(n);
}

Decoded Collect(GifFileType* gif, const char* what) {
    Decoded d;
    if (!gif) {
        ADD_FAILURE() << "giflib cannot open " << what;
        return d;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot decode " << what << ": " << GifErrorString(gif->Error);
        int err = 0;
        DGifCloseFile(gif, &err);
        return d;
    }
    d.width = gif->SWidth;
    d.height = gif->SHeight;
    d.background = gif->SBackGroundColor;
    if (gif->SColorMap) {
        d.tableEntries = gif->SColorMap->ColorCount;
        for (int i = 0; i < d.tableEntries; ++i) {
            const GifColorType& c = gif->SColorMap->Colors[i];
            d.table.push_back({c.Red, c.Green, c.Blue});
        }
    }
    if (gif->ImageCount != 1) {
        ADD_FAILURE() << what << " holds " << gif->ImageCount << " images";
    } else {
        const SavedImage& im = gif->SavedImages[0];
        const std::size_t n = std::size_t(im.ImageDesc.Width) * std::size_t(im.ImageDesc.Height);
        d.indices.assign(im.RasterBits, im.RasterBits + n);
        for (int i = 0; i < im.ExtensionBlockCount; ++i)
            if (im.ExtensionBlocks[i].Function == GRAPHICS_EXT_FUNC_CODE) {
                d.hasControlExtension = true;
                const ExtensionBlock& e = im.ExtensionBlocks[i];
                d.controlExtension.assign(e.Bytes, e.Bytes + e.ByteCount);
            }
    }
    int err = 0;
    DGifCloseFile(gif, &err);
    return d;
}

void AddRawFields(Decoded& d, const std::vector<std::uint8_t>& gif) {
    if (gif.size() < 13) return;
    d.packed = gif[10];
    d.sizeField = gif[10] & 7;
    d.lastByte = gif.back();
}

} // namespace

Decoded decodeWithGiflib(const std::vector<std::uint8_t>& gif) {
    Reader r{&gif};
    int err = 0;
    Decoded d = Collect(DGifOpen(&r, ReadFromMemory, &err), "the stream");
    AddRawFields(d, gif);
    return d;
}

Decoded decodeFileWithGiflib(const std::string& path) {
    int err = 0;
    return Collect(DGifOpenFileName(path.c_str(), &err), path.c_str());
}

LzwResult decodeLzw(const std::vector<std::uint8_t>& gif) {
    LzwResult res;
    auto fail = [&res](const std::string& why) {
        res.error = why;
        return res;
    };
    if (gif.size() < 13) return fail("stream too short");
    std::size_t pos = 13;
    if (gif[10] & 0x80) pos += 3u * (1u << ((gif[10] & 7) + 1));
    // Extensions up to the image descriptor.
    while (pos < gif.size() && gif[pos] == 0x21) {
        pos += 2;
        while (pos < gif.size() && gif[pos] != 0)
            pos += gif[pos] + 1u;
        ++pos;
    }
    if (pos + 11 > gif.size() || gif[pos] != 0x2C) return fail("no image descriptor");
    const int w = gif[pos + 5] | gif[pos + 6] << 8;
    const int h = gif[pos + 7] | gif[pos + 8] << 8;
    pos += 10;
    const int minSize = gif[pos++];
    if (minSize != 8) return fail("minimum code size " + std::to_string(minSize));

    std::vector<std::uint8_t> data;
    while (true) {
        if (pos >= gif.size()) return fail("sub-blocks run past the end");
        const int len = gif[pos++];
        if (len == 0) break;
        res.blockLengths.push_back(len);
        if (pos + len > gif.size()) return fail("sub-block runs past the end");
        data.insert(data.end(), gif.begin() + long(pos), gif.begin() + long(pos + len));
        pos += len;
    }

    const int clear = 256, end = 257;
    std::vector<int> prefix(4096, -1);
    std::vector<std::uint8_t> suffix(4096, 0), first(4096, 0);
    for (int i = 0; i < 256; ++i)
        suffix[i] = first[i] = std::uint8_t(i);
    int width = 9, next = 258, prev = -1;
    std::size_t bitPos = 0;
    const std::size_t totalBits = data.size() * 8;
    std::vector<std::uint8_t> stack;
    while (true) {
        if (bitPos + std::size_t(width) > totalBits) return fail("data ends without an end code");
        int code = 0;
        for (int b = 0; b < width; ++b, ++bitPos)
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << b;
        res.maxCodeWidth = std::max(res.maxCodeWidth, width);
        if (code == clear) {
            ++res.clearCodes;
            width = 9;
            next = 258;
            prev = -1;
            continue;
        }
        if (code == end) break;
        if (res.clearCodes == 0) return fail("no clear code first");
        int c = code;
        stack.clear();
        if (code > next || (code == next && prev < 0))
            return fail("code " + std::to_string(code) + " not yet defined");
        if (code == next) {
            stack.push_back(first[prev]);
            c = prev;
        }
        while (c >= 258) {
            stack.push_back(suffix[c]);
            c = prefix[c];
        }
        stack.push_back(std::uint8_t(c));
        const std::uint8_t head = stack.back();
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            res.indices.push_back(*it);
        if (prev >= 0 && next < 4096) {
            prefix[next] = prev;
            suffix[next] = head;
            first[next] = first[prev];
            ++next;
        }
        prev = code;
        if (next == (1 << width) && width < 12) ++width;
    }
    // Everything after the end code must be padding of the last byte.
    res.dataAfterEnd = (bitPos + 7) / 8 < data.size();
    if (res.indices.size() != std::size_t(w) * std::size_t(h))
        return fail("decoded " + std::to_string(res.indices.size()) + " indices for " +
                    std::to_string(w) + " x " + std::to_string(h));
    res.ok = true;
    return res;
}

} // namespace gif_test
