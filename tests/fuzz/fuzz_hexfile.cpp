// libFuzzer target for the firmware file reader: any bytes leave the image within the code
// space, a record taken is rebuilt from the image as the same text, and a record refused for
// its checksum alone is taken once its checksum is mended.
#include "FuzzSupport.h"
#include "link/HexImage.h"

#include <cctype>
#include <string>
#include <string_view>

using fuzz::Check;

namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void CheckOneLine(std::string_view line) {
    vemo::FirmwareImage image;
    const vemo::HexLine verdict = vemo::ParseHexLine(line, image);
    std::string_view body = line;
    if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    if (verdict == vemo::HexLine::Accepted && image.HasData) {
        const int count = std::stoi(std::string(body.substr(1, 2)), nullptr, 16);
        const int address = std::stoi(std::string(body.substr(3, 4)), nullptr, 16);
        Check(count >= 1 && count <= vemo::MaxHexRecordBytes);
        Check(address + count <= vemo::FirmwareSize);
        Check(image.HighestAddress == address + count - 1);
        Check(vemo::DataRecord(image, address, count) == Upper(body));
    }
    if (verdict == vemo::HexLine::ChecksumError) {
        std::string mended(body.substr(0, body.size() - 2));
        vemo::AppendHexChecksum(mended);
        vemo::FirmwareImage again;
        const vemo::HexLine second = vemo::ParseHexLine(mended, again);
        Check(second == vemo::HexLine::Accepted || second == vemo::HexLine::CodeSpaceExceeded);
    }
    if (verdict != vemo::HexLine::Accepted) Check(!image.HasData);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    vemo::FirmwareImage image;
    int line = 0;
    vemo::ReadHexText(input, image, line);
    Check(line >= 1 && static_cast<std::size_t>(line) <= size + 1);
    Check(image.HighestAddress < vemo::FirmwareSize);
    if (!image.HasData) {
        Check(image.HighestAddress == 0);
        for (std::uint8_t b : image.Bytes)
            Check(b == 0);
    }

    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t feed = input.find('\n', pos);
        const std::size_t end = feed == std::string_view::npos ? input.size() : feed + 1;
        CheckOneLine(input.substr(pos, end - pos));
        pos = end;
    }
    return 0;
}
