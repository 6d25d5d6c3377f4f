// Reading firmware files: the records the updater takes, those it ignores, and the damaged
// files it refuses as a whole.
#include "FirmwareTestSupport.h"
#include "LinkTestSupport.h"
#include "link/HexImage.h"

#include <gtest/gtest.h>

using namespace vemo;
using namespace firmwaretest;

namespace {

std::vector<std::uint8_t> Span(const FirmwareImage& image, int from, int to) {
    return {image.Bytes.begin() + from, image.Bytes.begin() + to};
}

TEST(HexLine, RecordsAreTakenIgnoredOrRefused) {
    const std::string count65 = ":411D8000" + std::string(130, 'A') + "F8\n";
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
        {count65, HexLine::Ignored, false},              // more than 64 bytes
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

TEST(HexLine, ChecksumsOfTheBootLoaderRecords) {
    const std::pair<std::string, std::string> cases[] = {
        {":020000020301", ":020000020301F8"},
        {":020000020300\r\n", ":020000020300F9"},
        {":03000004000000", ":03000004000000F9"},
        {":020000020063", ":02000002006399"},
        {":00000008", ":00000008F8"},
    };
    for (auto [text, record] : cases) {
        AppendHexChecksum(text);
        EXPECT_EQ(text, record);
    }
    FirmwareImage image;
    image.Bytes[0x40] = 0xA5;
    EXPECT_EQ(DataRecord(image, 0x40, 1), ":01004000A51A");
}

TEST(HexFile, FilesFromARealToolLoadAsTheirBinary) {
    const auto full = ReadBytes(Fixture("full.bin"));
    ASSERT_EQ(full.size(), 7616u);
    StringListLog log;
    linktest::RecordingPrompt prompt;
    for (const char* name : {"full.hex", "upper64k.hex"}) {
        FirmwareImage image;
        EXPECT_EQ(LoadHexImage(Fixture(name), image, log, prompt), 0) << name;
        EXPECT_EQ(Span(image, 0, 7616), full) << name;
        EXPECT_EQ(image.HighestAddress, 0x1DBF) << name;
    }

    FirmwareImage image;
    ASSERT_EQ(LoadHexImage(Fixture("gaps.hex"), image, log, prompt), 0);
    EXPECT_EQ(image.HighestAddress, 0x440);
    EXPECT_EQ(Span(image, 0, 0x441), ReadBytes(Fixture("gaps.bin")));
    EXPECT_EQ(Span(image, 0x441, 7616), std::vector<std::uint8_t>(7616 - 0x441, 0));

    ASSERT_EQ(LoadHexImage(Fixture("top64.hex"), image, log, prompt), 0);
    EXPECT_EQ(image.HighestAddress, 0x1DBF);
    EXPECT_EQ(Span(image, 0x1DBD, 7616), (std::vector<std::uint8_t>{2, 3, 1}));

    ASSERT_EQ(LoadHexImage(Fixture("top65.hex"), image, log, prompt), 0);
    EXPECT_FALSE(image.HasData);
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_TRUE(prompt.Boxes.empty());
}

TEST(HexFile, CodeSpaceAndMissingFiles) {
    StringListLog log;
    linktest::RecordingPrompt prompt;
    FirmwareImage image;
    EXPECT_EQ(LoadHexImage(Fixture("past-top.hex"), image, log, prompt), -5);
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text, "Hex file exceeds code space");
    EXPECT_EQ(prompt.Boxes[0].caption, "Error");
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Hex file exceeds code space."});

    log.Clear();
    bool opened = true;
    EXPECT_EQ(LoadHexImage(Fixture("no-such.hex"), image, log, prompt, &opened), -1);
    EXPECT_FALSE(opened);
    EXPECT_EQ(LoadHexImage(Fixture(""), image, log, prompt, &opened), -1); // a folder
    EXPECT_TRUE(log.Lines.empty());
}

TEST(HexFile, ADamagedRecordRefusesTheWholeFileAndNamesItsLine) {
    QTemporaryDir dir;
    const struct {
        Damage damage;
        int line;
        const char* message;
    } cases[] = {
        {Damage::DataDigit, 5, "Hex file checksum error in line 5."},
        {Damage::LetterG, 7, "Hex file format error in line 7."},
        {Damage::OneShort, 240 - 1, "Hex file format error in line 239."},
    };
    for (const auto& c : cases) {
        StringListLog log;
        linktest::RecordingPrompt prompt;
        FirmwareImage image;
        bool opened = false;
        EXPECT_EQ(LoadHexImage(DamagedCopy(dir, c.damage, c.line), image, log, prompt, &opened),
                  -1);
        EXPECT_TRUE(opened);
        EXPECT_EQ(log.Lines, std::vector<std::string>{c.message});
        EXPECT_FALSE(image.HasData);
        EXPECT_TRUE(prompt.Boxes.empty());
    }

    // A long line is read in pieces, but lines are still counted as the file has them.
    FirmwareImage image;
    int line = 0;
    EXPECT_EQ(ReadHexText(std::string(300, 'x') + "\n:0100000012ED\n:0100000012EE\n", image, line),
              HexLine::ChecksumError);
    EXPECT_EQ(line, 3);
}

} // namespace
