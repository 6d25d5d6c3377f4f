#include "link/HexImage.h"

#include <QFile>

#include <cstdio>

namespace vemo {

namespace {

// Length of the shortest line that can be a data record with one byte, its line feed
// counted; anything shorter (the end-of-file record among them) is not looked at.
constexpr std::size_t ShortestRecordLine = 13;
// ":" count(2) address(4) type(2) ... checksum(2)
constexpr std::size_t RecordFrame = 11;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte the two digits at text[at] give; -1 when either is not a hex digit or missing.
int HexByte(std::string_view text, std::size_t at) {
    if (at + 1 >= text.size()) return -1;
    const int high = HexDigit(text[at]);
    const int low = HexDigit(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high << 4 | low;
}

// Whether a record text, from its ":" on, is a data record with bytes for the code space.
bool CarriesCodeData(std::string_view record) {
    if (record.empty() || record.front() != ':') return false;
    const int count = HexByte(record, 1);
    const int high = HexByte(record, 3);
    const int low = HexByte(record, 5);
    const int type = HexByte(record, 7);
    return count > 0 && high >= 0 && low >= 0 && type == 0 && (high << 8 | low) < FirmwareSize;
}

// The text after leading blanks and byte-order marks.
std::string_view AfterLeadingNoise(std::string_view line) {
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    for (;;) {
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        else if (line.substr(0, ByteOrderMark.size()) == ByteOrderMark)
            line.remove_prefix(ByteOrderMark.size());
        else
            return line;
    }
}

void AppendHexByte(std::string& out, unsigned value) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", value & 0xFFu);
    out += digits;
}

} // namespace

void FirmwareImage::Clear() {
    Bytes.fill(0);
    HighestAddress = 0;
    HasData = false;
}

HexLine ParseHexLine(std::string_view line, FirmwareImage& image) {
    std::size_t lineEnd = 0;
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
        lineEnd = 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    // A record is read only from the line's first character on; one behind blanks or a
    // byte-order mark would be lost, and zeros programmed where it held code.
    if (!line.empty() && line.front() != ':')
        return CarriesCodeData(AfterLeadingNoise(line)) ? HexLine::FormatError : HexLine::Ignored;
    if (line.size() + lineEnd < ShortestRecordLine) return HexLine::Ignored;
    const int count = HexByte(line, 1);
    if (count < 0) return HexLine::FormatError;
    // The boot loader takes at most 64 bytes a record; a longer one is not taken, which is
    // harmless only when it holds nothing for the code space.
    if (count > MaxHexRecordBytes)
        return CarriesCodeData(line) ? HexLine::FormatError : HexLine::Ignored;

    // From here on the line is a record the module could be given: it must be whole.
    if (line.size() != RecordFrame + 2 * static_cast<std::size_t>(count))
        return HexLine::FormatError;
    std::array<std::uint8_t, 4 + MaxHexRecordBytes + 1> bytes{};
    unsigned sum = 0;
    for (std::size_t i = 0; i < 5 + static_cast<std::size_t>(count); ++i) {
        const int b = HexByte(line, 1 + 2 * i);
        if (b < 0) return HexLine::FormatError;
        bytes[i] = static_cast<std::uint8_t>(b);
        sum += static_cast<unsigned>(b);
    }
    if ((sum & 0xFFu) != 0) return HexLine::ChecksumError;

    const int type = bytes[3];
    if (type != 0) return HexLine::Accepted; // extended addresses and the like are not used
    const int address = bytes[1] << 8 | bytes[2];
    if (address + count > FirmwareSize) return HexLine::CodeSpaceExceeded;
    for (int i = 0; i < count; ++i) {
        const int at = address + i;
        image.Bytes[static_cast<std::size_t>(at)] = bytes[4 + static_cast<std::size_t>(i)];
        image.HasData = true;
        if (at > image.HighestAddress) image.HighestAddress = static_cast<std::uint16_t>(at);
    }
    return HexLine::Accepted;
}

HexLine ReadHexText(std::string_view text, FirmwareImage& image, int& lineNumber) {
    image.Clear();
    lineNumber = 1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Looked for within one piece only, so that a file without line ends is read in time
        // that grows with its size, not with its square.
        const std::string_view window = text.substr(pos, HexLineMax);
        const std::size_t feed = window.find('\n');
        const std::string_view piece =
            feed == std::string_view::npos ? window : window.substr(0, feed + 1);
        const std::size_t end = pos + piece.size();
        const HexLine verdict = ParseHexLine(piece, image);
        if (verdict != HexLine::Ignored && verdict != HexLine::Accepted) return verdict;
        if (piece.back() == '\n') ++lineNumber;
        pos = end;
    }
    return HexLine::Accepted;
}

int LoadHexImage(const std::string& path, FirmwareImage& image, MessageLog& log,
                 UserPrompt& prompt) {
    image.Clear();
    QFile file(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
    QByteArray text;
    // One byte more than is taken tells a file that is too large, whatever size the system
    // says it has (a pipe says none).
    if (file.open(QIODevice::ReadOnly) && file.size() <= MaxHexFileBytes)
        text = file.read(MaxHexFileBytes + 1);
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        // A file that went away after it was chosen must not end the update without a word.
        prompt.Error("Unable to open " + path + "!", "Error");
        return -1;
    }
    if (file.size() > MaxHexFileBytes || text.size() > MaxHexFileBytes) {
        log.Append("Hex file is too large for the module.");
        return -1;
    }

    int lineNumber = 0;
    const HexLine verdict =
        ReadHexText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                    image, lineNumber);
    char message[64];
    switch (verdict) {
    case HexLine::CodeSpaceExceeded:
        prompt.Error("Hex file exceeds code space", "Error");
        log.Append("Hex file exceeds code space.");
        return -5;
    case HexLine::ChecksumError:
        std::snprintf(message, sizeof message, "Hex file checksum error in line %d.", lineNumber);
        break;
    case HexLine::FormatError:
        std::snprintf(message, sizeof message, "Hex file format error in line %d.", lineNumber);
        break;
    case HexLine::Ignored:
    case HexLine::Accepted:
        if (image.HasData) return 0;
        // An empty file or a binary image would erase the module and program nothing.
        log.Append("Hex file holds no firmware.");
        return -1;
    }
    // Nothing of a damaged file may reach the module.
    image.Clear();
    log.Append(message);
    return -1;
}

void AppendHexChecksum(std::string& record) {
    std::size_t end = record.find_first_of("\r\n");
    if (end == std::string::npos) end = record.size();
    unsigned sum = 0;
    for (std::size_t i = 1; i + 1 < end; i += 2) {
        const int b = HexByte(record, i);
        sum += b < 0 ? 0u : static_cast<unsigned>(b);
    }
    record.resize(end);
    AppendHexByte(record, (0x100u - (sum & 0xFFu)) & 0xFFu);
}

std::string DataRecord(const FirmwareImage& image, int address, int count) {
    std::string record = ":";
    AppendHexByte(record, static_cast<unsigned>(count));
    AppendHexByte(record, static_cast<unsigned>(address >> 8));
    AppendHexByte(record, static_cast<unsigned>(address));
    record += "00";
    for (int i = 0; i < count; ++i)
        AppendHexByte(record, image.Bytes[static_cast<std::size_t>(address + i)]);
    AppendHexChecksum(record);
    return record;
}

} // namespace vemo
