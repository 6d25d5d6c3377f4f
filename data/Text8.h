#pragma once
// The one conversion between the model's 8-bit texts (one byte a character, as the files and
// the module hold them) and the text a widget shows. Bytes are read as Windows-1252; the five
// bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map as Latin-1, so every
// byte has a character and every byte sequence comes back unchanged.
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace vemo {

// One character per byte.
QString ToWidgetText(std::string_view bytes);

// One byte per character; a character with no 8-bit form becomes "?".
std::string FromWidgetText(QStringView text);

// Text from other programs, which write UTF-8: valid UTF-8 becomes the same characters in the
// 8-bit set ("?" where it has none); anything else is taken byte for byte.
std::string EightBitOfUtf8(std::string_view text);

// The UTF-8 form of an 8-bit text, for what goes to a terminal or another program.
std::string Utf8OfEightBit(std::string_view bytes);

// Cuts a widget text to at most n characters, so that its bytes fit an n-byte field whole.
QString CutWidgetText(const QString& text, qsizetype n);

} // namespace vemo
