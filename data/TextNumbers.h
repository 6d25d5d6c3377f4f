#pragma once
// Locale-independent number text for the data files. Writing matches the C library's "%g",
// "%9.4lf" and "%d" in the "C" locale byte for byte (the widget toolkit switches the process
// to the user's locale, which would turn decimal points into commas); reading follows the
// rules of "%lf" and "%d" conversions: leading white space is skipped, a space in the format
// matches any amount of white space, and the first mismatch ends the scan. The dialogs and
// readouts have one pair of their own: FormatNumber writes, LeadingNumber reads.
#include "data/Text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vemo {

// "%g" of v.
void AppendG(std::string& out, double v);
// "%<width>.<precision>lf" of v: fixed notation, right-aligned with spaces.
void AppendFixed(std::string& out, double v, int width, int precision);
// "%d" of v.
void AppendInt(std::string& out, long long v);
// A header line "#<text>" with CR LF. The text ends at a zero byte, as in a fixed text field;
// a line break inside it is written as a space, since it would split the line.
void AppendTextLine(std::string& out, std::string_view text);

// Every number a dialog's edit, a readout or a plot label shows: the C library's
// "%<width>.<precision><conversion>" of v in the "C" locale, conversion 'g' (general) or 'f'
// (fixed), whatever the process locale. The default is the dialogs' general format, up to 15
// significant digits without trailing zeros (20.0 shows as "20", 0.5 as "0.5").
std::string FormatNumber(double v, char conversion = 'g', int precision = 15, int width = 0);

// The number a dialog's edit starts with: leading blanks and tabs are skipped and the longest
// leading part that forms a decimal number is read ("2.5in" gives 2.5, " 3" gives 3, "1e"
// gives 1). Only the first maxLength characters count. Nothing when the text does not start
// with a finite number.
std::optional<double> LeadingNumber(std::string_view text, std::size_t maxLength = TextLength);

// A scan over one line, in the manner of sscanf. Every call after a failed one fails too.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : text_(text) {}
    // A "%lf" conversion: decimal, hexadecimal ("0x1p3"), "inf" and "nan" forms, with sign.
    bool Double(double& v);
    // A "%d" conversion; a value outside the int range does not convert.
    bool Int(int& v);
    // A literal character, which must come next (no white space is skipped).
    bool Lit(char c) {
        if (!failed_ && pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        failed_ = true;
        return false;
    }
    // A space in the format: skips any amount of white space, including none.
    NumberScanner& Ws() {
        if (!failed_) SkipSpace();
        return *this;
    }
    bool Failed() const { return failed_; }

private:
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_]))
            ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace vemo
