#pragma once
// Independent decoders for the exported pictures: libjpeg for JPEG, giflib for GIF.
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedJpeg {
    bool ok = false;
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    int lumaQ0 = 0, chromaQ0 = 0;  // first entry of the two quantisation tables
    std::vector<std::uint8_t> rgb; // width x height x 3
    std::array<int, 3> at(int x, int y) const {
        const std::size_t i = (std::size_t(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};
DecodedJpeg DecodeJpegFile(const QString& path);

struct DecodedGif {
    bool ok = false;
    int width = 0, height = 0;
    int tableEntries = 0; // global colour table
    int imageCount = 0;
    std::vector<std::array<int, 3>> table;
    std::vector<std::uint8_t> indices;
    std::uint8_t lastByte = 0;
    std::array<int, 3> at(int x, int y) const { return table[indices[std::size_t(y) * width + x]]; }
};
DecodedGif DecodeGifFile(const QString& path);

// The first bytes of a file.
std::string FileHead(const QString& path, int n);
