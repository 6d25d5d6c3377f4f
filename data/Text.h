#pragma once
// Fixed-size text fields: a data set name holds 19 characters, notes and plot texts 255.
#include <string>
#include <string_view>

namespace vemo {

constexpr std::size_t NameLength = 19;
constexpr std::size_t TextLength = 255;

// Cuts s to at most n bytes; a zero byte ends the text, as in the module's fixed fields.
inline std::string CutText(std::string_view s, std::size_t n) {
    auto zero = s.find('\0');
    if (zero != std::string_view::npos) s = s.substr(0, zero);
    return std::string(s.substr(0, n));
}

} // namespace vemo
