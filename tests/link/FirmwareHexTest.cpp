// Reading firmware files line by line: the records the updater takes, those it ignores, and
// the damaged ones it refuses. Whole files are read in the update tests.
#include "link/HexImage.h"

#include <gtest/gtest.h>

using namespace vemo;

namespace {

TEST(HexLine, RecordsAreTakenIgnoredOrRefused) {
    const std::string count65 = ":411D8000" + std::string(130, 'A') + "F8\n";
    const std::string count65Type4 = ":411D8004" + std::string(130, 'A') + "F4\n";
    const std::string past = ":401D8100" + std::string(128, 'A') + "A2\n";
    struct Case {
        std::string line;
        HexLine verdict;
        bool stores;
    } cases[] = {
        {":0100000012ED\n", HexLine::Accepted, true},
        {":0100000012ED", HexLine::Accepted, true},      // last line without its line feed
        {":0100000012ed\r\n", HexLine::Accepted, true},  // lower case, CR LF
        {":00000001FF\n", HexLine::Ignored, false},      // end of file: shorter than 13
        {"0100000012ED\n", HexLine::Ignored, false},     // no colon
        {":020000040001F9\n", HexLine::Accepted, false}, // extended address: nothing stored
        {count65, HexLine::FormatError, false},      // more than 64 bytes: not all taken
        {count65Type4, HexLine::Ignored, false},     // the same, but no data is lost
        {" :0100000012ED\n", HexLine::FormatError, false}, // a record behind a blank
        {"\xEF\xBB\xBF:0100000012ED\n", HexLine::FormatError, false}, // a byte-order mark
        {" :00000001FF\n", HexLine::Ignored, false},
        {":0100000012EE\n", HexLine::ChecksumError, false},
        {":0100000013ED\n", HexLine::ChecksumError, false},
        {":010000001GED\n", HexLine::FormatError, false},
        {":0100000012E\n", HexLine::FormatError, false},   // one character short
        {":0100000012EDF\n", HexLine::FormatError, false}, // one too many
        {":0100000012ED \n", HexLine::FormatError, false},
        {":G10000001200\n", HexLine::FormatError, false},
        {past, HexLine::CodeSpaceExceeded, false},
    };
    for (const Case& c : cases) {
        FirmwareImage image;
        EXPECT_EQ(ParseHexLine(c.line, image), c.verdict) << c.line;
        EXPECT_EQ(image.HasData, c.stores) << c.line;
        EXPECT_EQ(image.Bytes[0], c.stores ? 0x12 : 0x00) << c.line;
    }
}

TEST(HexLine, LinesAreCountedAsTheFileHasThem) {
    // A long line is read in pieces; its pieces are one line all the same.
    FirmwareImage image;
    int line = 0;
    const std::string text = std::string(300, 'x') + "\n:0100000012ED\r\n:0100000012EE\n";
    EXPECT_EQ(ReadHexText(text, image, line), HexLine::ChecksumError);
    EXPECT_EQ(line, 3);
}

} // namespace
