#pragma once
// The firmware file: Intel HEX records read into an image of the module's code space. Every
// record line is checked (hexadecimal digits, the length its byte count gives, the checksum)
// before anything is stored, so that a damaged file is refused as a whole and never reaches
// the module. A record the reader would skip although it carries bytes for the code space (one
// of more than 64 bytes, one behind blanks or a byte-order mark) refuses the file as well, and
// so does a file with no firmware in it (empty, or a binary image) or of more than a megabyte:
// programming any of them would leave the module erased or with zeros where code belongs.
#include "link/MessageLog.h"
#include "link/Protocol.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

// The module's code space: addresses 0x0000 .. 0x1DBF.
inline constexpr int FirmwareSize = 7616;
// Data records with more bytes than this are not taken from the file.
inline constexpr int MaxHexRecordBytes = 64;
// Lines are read in pieces of at most this many characters (a longer line continues as the
// next piece).
inline constexpr int HexLineMax = 255;
// The largest firmware file taken; the module holds 7616 bytes, some 21 KB as HEX text.
inline constexpr long long MaxHexFileBytes = 1 << 20;

struct FirmwareImage {
    std::array<std::uint8_t, FirmwareSize> Bytes{}; // 0x00 where no record wrote
    std::uint16_t HighestAddress = 0;               // largest address a record wrote
    bool HasData = false;                           // whether any data byte was stored
    void Clear();
};

enum class HexLine {
    Ignored = 0,           // not a record, shorter than a data record, or a record of more
                           // than 64 bytes (or behind blanks) that holds nothing for the code
                           // space
    Accepted = 1,          // a valid record (only data records store bytes)
    CodeSpaceExceeded = 2, // a data record that reaches past the code space
    ChecksumError = 3,     // a record whose checksum does not match
    FormatError = 4,       // a record with characters that are not hexadecimal digits,
                           // shorter or longer than its byte count says, or one that would be
                           // skipped although it carries bytes for the code space
};

// One line as the file reader hands it over: its line feed, if it had one, still on it
// (a carriage return before the line feed counts as part of the line end). Stores the bytes
// of a valid data record in image.
HexLine ParseHexLine(std::string_view line, FirmwareImage& image);

// Reads a whole file's text into image (cleared first), line by line as LoadHexImage does.
// Stops at the first line that is not Ignored or Accepted and returns its verdict, with
// lineNumber set to the file's line (counted from 1); else returns Accepted.
HexLine ReadHexText(std::string_view text, FirmwareImage& image, int& lineNumber);

// Loads the HEX file at path into image. Returns 0 on success; -1 when the file cannot be
// opened (an error box), is larger than MaxHexFileBytes, holds a damaged record (the message
// log names the line) or holds no data for the code space (each of these three with a line in
// the message log; the image is left empty); -5 when a data record reaches past the code
// space (an error box, then a line in the message log).
int LoadHexImage(const std::string& path, FirmwareImage& image, MessageLog& log,
                 UserPrompt& prompt);

// Appends the Intel HEX checksum to a record text that begins with ":": the two's
// complement of the sum of the bytes its hex digit pairs give, as two upper-case digits.
// A line end on the text is replaced.
void AppendHexChecksum(std::string& record);

// The data record ":" count address 00 data checksum for count image bytes from address.
std::string DataRecord(const FirmwareImage& image, int address, int count);

} // namespace vemo
