#include "data/Text8.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace vemo {

namespace {

// Windows-1252's characters for the bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < High.size(); ++i)
        if (High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QString ToWidgetText(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (unsigned char b : bytes)
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t(b));
    return text;
}

std::string FromWidgetText(QStringView text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t c : text.toUcs4())
        bytes.push_back(ByteOf(c));
    return bytes;
}

std::string EightBitOfUtf8(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::string(text);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? std::string(text) : FromWidgetText(decoded);
}

std::string Utf8OfEightBit(std::string_view bytes) {
    return ToWidgetText(bytes).toStdString();
}

QString CutWidgetText(const QString& text, qsizetype n) {
    // A character outside the basic plane is two UTF-16 units but one byte in the field.
    qsizetype units = 0;
    for (qsizetype chars = 0; units < text.size() && chars < n; ++chars)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return text.left(units);
}

} // namespace vemo
