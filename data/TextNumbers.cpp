#include "data/TextNumbers.h"

#include <charconv>
#include <limits>

namespace vemo {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexPrefix(std::string_view s) {
    return s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
}

} // namespace

void AppendG(std::string& out, double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    out.append(buf, r.ptr);
}

void AppendFixed(std::string& out, double v, int width, int precision) {
    // The widest fixed text of a double is the 309 digits of DBL_MAX plus sign and decimals.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    const auto len = static_cast<int>(r.ptr - buf);
    if (len < width) out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(buf, r.ptr);
}

void AppendInt(std::string& out, long long v) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void AppendTextLine(std::string& out, std::string_view text) {
    out += '#';
    for (char c : text) {
        if (c == '\0') break;
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    out += "\r\n";
}

void NumberScanner::SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_]))
        ++pos_;
}

NumberScanner& NumberScanner::Ws() {
    if (!failed_) SkipSpace();
    return *this;
}

bool NumberScanner::Lit(char c) {
    if (failed_) return false;
    if (pos_ < text_.size() && text_[pos_] == c) {
        ++pos_;
        return true;
    }
    failed_ = true;
    return false;
}

bool NumberScanner::Double(double& v) {
    if (failed_) return false;
    SkipSpace();
    std::string_view s = text_.substr(pos_);
    bool negative = false;
    std::size_t used = 0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        used = 1;
    }
    s.remove_prefix(used);
    if (s.empty() || s[0] == '+' || s[0] == '-') {
        failed_ = true;
        return false;
    }
    double value = 0.0;
    std::from_chars_result r{};
    const char* first = s.data();
    if (IsHexPrefix(s) && s.size() > 2 && s[2] != '+' && s[2] != '-') {
        first += 2;
        r = std::from_chars(first, s.data() + s.size(), value, std::chars_format::hex);
        if (r.ec == std::errc::invalid_argument) {
            // "0x" followed by no hex digit: the "0" alone is the number.
            value = 0.0;
            r.ptr = s.data() + 1;
            r.ec = std::errc();
        }
    } else {
        r = std::from_chars(first, s.data() + s.size(), value, std::chars_format::general);
    }
    if (r.ec == std::errc::invalid_argument) {
        failed_ = true;
        return false;
    }
    if (r.ec == std::errc::result_out_of_range) {
        // Too large becomes infinite, too small becomes zero, as strtod gives them.
        bool tiny = false;
        for (const char* p = first; p + 1 < r.ptr; ++p)
            if ((*p == 'e' || *p == 'E' || *p == 'p' || *p == 'P') && p[1] == '-') tiny = true;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    v = negative ? -value : value;
    pos_ = static_cast<std::size_t>(r.ptr - text_.data());
    return true;
}

bool NumberScanner::Int(int& v) {
    if (failed_) return false;
    SkipSpace();
    std::string_view s = text_.substr(pos_);
    std::size_t used = 0;
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        used = 1;
    }
    s.remove_prefix(used);
    long long value = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc() || (!s.empty() && s[0] == '-')) {
        failed_ = true;
        return false;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        failed_ = true;
        return false;
    }
    v = static_cast<int>(value);
    pos_ = static_cast<std::size_t>(r.ptr - text_.data());
    return true;
}

} // namespace vemo
