#include "data/TextNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vemo {

namespace {

// Plain decimals such as the files' "1234.5678": with at most 15 significant digits the
// digits and the power of ten are exact doubles, so one division rounds correctly and gives
// the same value as a full conversion. Anything else (exponents, long digit strings, "inf")
// returns false and takes the full conversion.
bool FastDecimal(std::string_view s, double& v, std::size_t& used) {
    static constexpr double Pow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        mantissa = mantissa * 10 + static_cast<unsigned>(s[i] - '0');
        if (mantissa != 0) ++digits;
        ++i;
    }
    const std::size_t intDigits = i;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            mantissa = mantissa * 10 + static_cast<unsigned>(s[i] - '0');
            if (mantissa != 0) ++digits;
            ++decimals;
            ++i;
        }
    }
    if (intDigits == 0 && decimals == 0) return false;
    if (digits > 15 || decimals > 15) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'x' || s[i] == 'X')) return false;
    v = static_cast<double>(mantissa) / Pow10[decimals];
    used = i;
    return true;
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

namespace {

__extension__ using Uint128 = unsigned __int128;

constexpr std::uint64_t Pow10U[] = {1,      10,      100,      1000,      10000,
                                    100000, 1000000, 10000000, 100000000, 1000000000};

// Fixed notation of a finite v with at most 9 decimals and |v| * 10^decimals below 1e19, computed
// exactly from the binary value: v = m * 2^e, so v * 10^p = m * 10^p / 2^-e, rounded half to even
// as the C library does. Returns false when the value is outside that range.
bool FastFixed(std::string& out, double v, int width, int precision) {
    if (precision < 0 || precision > 9) return false;
    // The scaled value must fit 64 bits: |v| * 10^precision < 1e19.
    if (!(std::fabs(v) * static_cast<double>(Pow10U[precision]) < 1e19)) return false;
    int exp = 0;
    const double frac = std::frexp(std::fabs(v), &exp); // |v| = frac * 2^exp, frac in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(frac, 53));
    const int shift = 53 - exp; // |v| = m / 2^shift
    const Uint128 scaled = static_cast<Uint128>(m) * Pow10U[precision];
    std::uint64_t q = 0;
    if (v == 0.0) {
        q = 0;
    } else if (shift <= 0) {
        q = static_cast<std::uint64_t>(scaled << -shift);
    } else if (shift >= 127) {
        q = 0; // far below the last decimal and below half of it
    } else {
        q = static_cast<std::uint64_t>(scaled >> shift);
        const Uint128 rest = scaled - (static_cast<Uint128>(q) << shift);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
    }
    char buf[48];
    char* p = buf + sizeof buf;
    for (int i = 0; i < precision; ++i) {
        *--p = static_cast<char>('0' + q % 10);
        q /= 10;
    }
    if (precision > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + q % 10);
        q /= 10;
    } while (q != 0);
    if (std::signbit(v)) *--p = '-';
    const auto len = static_cast<int>(buf + sizeof buf - p);
    if (len < width) out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(p, buf + sizeof buf);
    return true;
}

} // namespace

void AppendFixed(std::string& out, double v, int width, int precision) {
    if (FastFixed(out, v, width, precision)) return;
    // The widest fixed text of a double is the 309 digits of DBL_MAX plus sign and decimals.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    const auto len = static_cast<int>(r.ptr - buf);
    if (len < width) out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(buf, r.ptr);
}

std::string FormatNumber(double v, char conversion, int precision, int width) {
    std::string out;
    if (conversion == 'f') {
        AppendFixed(out, v, width, precision);
        return out;
    }
    char buf[64]; // 17 significant digits are all a double has; 40 with the exponent fit
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general,
                                 std::clamp(precision, 1, 40));
    const auto len = static_cast<int>(r.ptr - buf);
    if (len < width) out.append(static_cast<std::size_t>(width - len), ' ');
    out.append(buf, r.ptr);
    return out;
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
    std::size_t fast = 0;
    if (FastDecimal(s, value, fast)) {
        v = negative ? -value : value;
        pos_ += used + fast;
        return true;
    }
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
    // Short digit runs (flags, peak marks, colours) need no general conversion.
    std::size_t i = 0;
    long long value = 0;
    while (i < s.size() && i < 10 && s[i] >= '0' && s[i] <= '9')
        value = value * 10 + (s[i++] - '0');
    if (i > 0 && (i == s.size() || s[i] < '0' || s[i] > '9')) {
        if (negative) value = -value;
        if (value > std::numeric_limits<int>::max()) {
            failed_ = true;
            return false;
        }
        v = static_cast<int>(value);
        pos_ += used + i;
        return true;
    }
    value = 0;
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

std::optional<double> LeadingNumber(std::string_view text, std::size_t maxLength) {
    text = text.substr(0, std::min(text.size(), maxLength));
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    // from_chars takes a minus sign only, so a plus sign is stepped over.
    if (i < text.size() && text[i] == '+' && !(i + 1 < text.size() && text[i + 1] == '-')) ++i;
    const std::size_t start = i;
    if (i < text.size() && text[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    // An exponent without digits is not part of the number.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    double value = 0.0;
    const auto r =
        std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace vemo
