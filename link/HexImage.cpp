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
    if (line.size() + lineEnd < ShortestRecordLine || line.front() != ':') return HexLine::Ignored;
    const int count = HexByte(line, 1);
    if (count < 0) return HexLine::FormatError;
    if (count > MaxHexRecordBytes) return HexLine::Ignored;

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
        const std::size_t feed = text.find('\n', pos);
        std::size_t end = feed == std::string_view::npos ? text.size() : feed + 1;
        end = std::min(end, pos + HexLineMax);
        const std::string_view piece = text.substr(pos, end - pos);
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
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        // A file that went away after it was chosen must not end the update without a word.
        prompt.Error("Unable to open " + path + "!", "Error");
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
        return 0;
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
