#pragma once
// JPEG compression through libjpeg, kept apart so that its error handling (a long jump out of
// the library) meets no C++ object that needs destroying.
#include <cstdint>
#include <string>
#include <vector>

namespace vemo {

// Compresses height rows of width RGB triples (rows stride bytes apart) as a baseline colour
// JPEG of the given quality into out. False, with the library's message, on failure.
bool CompressJpeg(const std::uint8_t* rgb, int width, int height, std::ptrdiff_t stride,
                  int quality, std::vector<std::uint8_t>& out, std::string& message);

} // namespace vemo
