// "Update Firmware" through the real serial link against the simulated boot loader: what goes
// on the line for each file and option, what the module holds afterwards, and its faults.
#include "link/FirmwareUpdate.h"
#include "ConfigWidgetSupport.h"
#include "LinkTestSupport.h"
#include "sim/Simulator.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>

using namespace vemo;

namespace {

const std::string StatusOn = ":020000020301F8", StatusOff = ":020000020300F9",
                  ConfigByte = ":02000002006399", Reset = ":00000008F8";
const std::string Isp = "ISP Mode Initiated";

std::string Fixture(const std::string& name) {
    return std::string(VEMO_TEST_DATA) + "/firmware/" + name;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FirmwareUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        configtest::EnsureApp();
        Fresh();
        Link().SetClock(&clock); // the pauses are recorded, not waited
    }
    void TearDown() override {
        Link().ClosePort();
        Link().SetClock(nullptr);
    }
    void Fresh() {
        sim.emplace();
        ASSERT_TRUE(sim->Start());
        clock.Pauses.clear();
        log.Clear();
    }
    int Update(const std::string& file, FirmwareOptions options = {}) {
        ModuleContext ctx{Link(), log, prompt, ui};
        TransferView view;
        view.ShowProgress = [this](int maximum) { progressMaximum = maximum; };
        view.Progress = [this](int position) { progress.push_back(position); };
        const int result =
            UpdateFirmware(ctx, FirmwareJob{sim->PortPath(), 115200, options, file}, view);
        // The next update starts with a module that has run the reset record.
        if (result == 0) configtest::WaitFor([this] { return !sim->InBootLoader(); });
        return result;
    }
    // The records the boot loader received, split at each ":"; what came before the first
    // (the "P" and "U"s) goes to `before`.
    std::vector<std::string> Records(std::string* before = nullptr) {
        if (sim->InBootLoader()) configtest::WaitFor([] { return false; }, 100); // let it settle
        std::vector<std::string> records;
        std::string head;
        for (std::uint8_t b : sim->Received())
            if (b == ':')
                records.emplace_back(1, ':');
            else
                (records.empty() ? head : records.back()) += static_cast<char>(b);
        if (before) *before = head;
        return records;
    }
    // The program records among them, as "count@address".
    std::vector<std::string> ProgramRecords() {
        std::vector<std::string> out;
        for (const std::string& r : Records())
            if (r.size() > 9 && r.compare(7, 2, "00") == 0)
                out.push_back(r.substr(1, 2) + "@" + r.substr(3, 4));
        return out;
    }
    std::vector<std::uint32_t> Pauses() const {
        std::vector<std::uint32_t> out;
        std::copy_if(clock.Pauses.begin(), clock.Pauses.end(), std::back_inserter(out),
                     [](std::uint32_t ms) { return ms != 10; }); // the echo wait's polling
        return out;
    }

    std::optional<vemosim::Simulator> sim;
    linktest::PauseRecorder clock;
    StringListLog log;
    linktest::RecordingPrompt prompt;
    ModuleUi ui;
    int progressMaximum = -1;
    std::vector<int> progress;
};

TEST_F(FirmwareUpdateTest, AFullImageEndsUpInTheModuleByteForByte) {
    ASSERT_EQ(Update(Fixture("full.hex")), 0);
    EXPECT_EQ(sim->Flash(), ReadBytes(Fixture("full.bin")));
    EXPECT_EQ(log.Lines, std::vector<std::string>{Isp});
    EXPECT_FALSE(Link().IsOpen());
    EXPECT_FALSE(sim->InBootLoader()); // the reset record started the firmware

    std::string before;
    const auto records = Records(&before);
    EXPECT_EQ(before, "PU");
    ASSERT_EQ(records.size(), 1u + 119 + 119 + 3);
    EXPECT_EQ(records[0], StatusOn);
    EXPECT_EQ(records[1], ":03000004000000F9"); // the erase records, page by page
    EXPECT_EQ(records[119], ":03000004001D805C");
    EXPECT_EQ(records[120].substr(0, 9), ":40000000");
    EXPECT_EQ(std::vector<std::string>(records.end() - 3, records.end()),
              (std::vector<std::string>{StatusOff, ConfigByte, Reset}));
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t>{100, 200, 500, 500}));

    EXPECT_EQ(progressMaximum, 0x1DBF);
    ASSERT_EQ(progress.size(), 119u);
    EXPECT_EQ(progress[1], 64);
    EXPECT_EQ(progress.back(), 0x1D80);
}

// Closing the port drops DTR and restores the old line settings: each write is drained first
// (the reset record needs 23 ms at 4800 baud).
TEST_F(FirmwareUpdateTest, EveryWriteIsOnTheWireBeforeThePortCloses) {
    std::string steps;
    Link().SetLineTrace([&steps](const std::string& step) {
        if (step.rfind("write :", 0) != 0 || step == "write " + Reset) steps += step + ";";
    });
    ASSERT_EQ(Update(Fixture("one-byte.hex")), 0);
    Link().SetLineTrace(nullptr);
    EXPECT_TRUE(steps.starts_with("write P;drain;dtr 0;close;write U;")) << steps;
    EXPECT_TRUE(steps.ends_with("write " + Reset + ";drain;dtr 0;close;")) << steps;
}

TEST_F(FirmwareUpdateTest, ADeviceThatKeepsSendingEndsTheUpdateWithTargetNotResponding) {
    linktest::ScriptedClock fast([](int) { return SystemClock().NowMs() * 10; }); // 6 s in 0.6 s
    Link().SetClock(&fast);
    sim->SetStreaming(true);
    EXPECT_EQ(Update(Fixture("one-byte.hex"), {true, false, false}), -3);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{KeepsSendingText, "Target not responding"}));
}

TEST_F(FirmwareUpdateTest, EachFileProgramsUpToItsHighestByteWithItsGapsAsZero) {
    std::vector<std::uint8_t> top64(0x1D80, 0), twoRecords(0x41, 0);
    for (int i = 0; i < 64; ++i)
        top64.push_back(static_cast<std::uint8_t>(i % 3 + 1));
    twoRecords.front() = 0x5A;
    twoRecords.back() = 0xA5;
    const struct {
        const char* file;
        std::size_t records; // program records
        std::vector<std::uint8_t> image;
    } cases[] = {
        {"one-byte.hex", 1, {0x5A}},
        {"top64.hex", 119, top64},
        {"gaps.hex", 18, ReadBytes(Fixture("gaps.bin"))},
        {"two-records.hex", 2, twoRecords},
        {"upper64k.hex", 119, ReadBytes(Fixture("full.bin"))}, // the type 04 record moves nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        sim->ClearReceived();
        ASSERT_EQ(Update(Fixture(c.file)), 0);
        EXPECT_EQ(ProgramRecords().size(), c.records);
        std::vector<std::uint8_t> flash(FirmwareSize, 0xFF); // left erased past the highest byte
        std::copy(c.image.begin(), c.image.end(), flash.begin());
        EXPECT_EQ(sim->Flash(), flash);
    }
}

TEST_F(FirmwareUpdateTest, OptionsDecideOnPAndTheBreak) {
    const struct {
        FirmwareOptions options;
        const char* before; // what the line carried before the first record
        std::vector<std::uint32_t> pauses;
    } cases[] = {
        {{false, false, false}, "PU", {100, 200, 500, 500}},
        {{true, false, false}, "U", {500}}, // Part is Blank: the "U" comes first, no break
        {{true, true, false}, "U", {200, 500, 500}},
        {{false, false, true}, "U", {200, 500, 500}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.pauses));
        Fresh();
        sim->SetBlankPart(c.options.BlankPart || c.options.Compat);
        ASSERT_EQ(Update(Fixture("one-byte.hex"), c.options), 0);
        std::string before;
        Records(&before);
        EXPECT_EQ(before, c.before);
        EXPECT_EQ(Pauses(), c.pauses);
        EXPECT_EQ(sim->LastSyncSpeed(), 4800);
    }
}

TEST_F(FirmwareUpdateTest, BadFilesSendNothing) {
    EXPECT_EQ(Update(Fixture("past-top.hex")), -5);
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text, "Hex file exceeds code space");
    EXPECT_EQ(prompt.Boxes[0].caption, "Error");
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Hex file exceeds code space."});

    // full.hex with one line damaged as a bad copy might, at its fourth data byte ("4", "3", "3").
    const struct {
        int line;
        const char* digit;
        const char* message;
    } damaged[] = {{5, "5", "Hex file checksum error in line 5."},
                   {100, "G", "Hex file format error in line 100."},
                   {239, "", "Hex file format error in line 239."}}; // the last data line
    QTemporaryDir dir;
    const std::string path = dir.filePath("damaged.hex").toStdString();
    for (const auto& d : damaged) {
        const auto bytes = ReadBytes(Fixture("full.hex"));
        std::string text(bytes.begin(), bytes.end());
        std::size_t at = 0;
        for (int i = 1; i < d.line; ++i)
            at = text.find('\n', at) + 1;
        std::ofstream(path, std::ios::binary) << text.replace(at + 15, 1, d.digit);
        log.Clear();
        EXPECT_EQ(Update(path), -1);
        EXPECT_EQ(log.Lines, std::vector<std::string>{d.message});
    }
    // Files that would leave zeros where the module needs code (a 65-byte record) or leave it
    // erased (an empty one, a binary image), and one far larger than any firmware.
    const auto top65 = ReadBytes(Fixture("top65.hex"));
    std::string big, binary(FirmwareSize, '\0');
    while (big.size() <= MaxHexFileBytes)
        big += ":0100000012ED\n"; // every record valid
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i % ':'); // bytes 0 to 57 over and over: never a colon
    for (const auto& [content, message] :
         {std::pair<std::string, const char*>{{top65.begin(), top65.end()},
                                              "Hex file format error in line 2."},
          {"", "Hex file holds no firmware."},
          {binary, "Hex file holds no firmware."},
          {big, "Hex file is too large for the module."}}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        log.Clear();
        EXPECT_EQ(Update(path), -1);
        EXPECT_EQ(log.Lines, std::vector<std::string>{message});
    }
    log.Clear();
    EXPECT_EQ(Update(Fixture("no-such.hex")), -1);
    EXPECT_EQ(Update(Fixture("")), -1); // a folder
    EXPECT_TRUE(log.Lines.empty());
    ASSERT_EQ(prompt.Boxes.size(), 3u); // a file that cannot be read says so
    EXPECT_EQ(prompt.Boxes[1].text, "Unable to open " + Fixture("no-such.hex") + "!");
    EXPECT_EQ(progressMaximum, -1); // the progress bar never showed
    configtest::WaitFor([] { return false; }, 100);
    EXPECT_TRUE(sim->Received().empty());
    EXPECT_FALSE(Link().IsOpen());
}

// The boot loader's faults: each ends in its result and log lines, with the port closed.
TEST_F(FirmwareUpdateTest, ARefusedRecordIsSentAgain) {
    sim->SetRecordFault('X', 1, 1 + 119 + 10); // the eleventh program record, once
    ASSERT_EQ(Update(Fixture("full.hex")), 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{Isp, "bad checksum"}));
    EXPECT_EQ(sim->Flash(), ReadBytes(Fixture("full.bin")));
    const auto program = ProgramRecords();
    ASSERT_EQ(program.size(), 120u);
    EXPECT_EQ(program[10], "40@0280");
    EXPECT_EQ(program[11], "40@0280");
}

TEST_F(FirmwareUpdateTest, ARecordRefusedThreeTimesEndsTheUpdate) {
    sim->SetRecordFault('R', 3, 1 + 119 + 5);
    EXPECT_EQ(Update(Fixture("full.hex")), -4);
    const std::string refused = "data byte write failure";
    EXPECT_EQ(log.Lines, (std::vector<std::string>{Isp, refused, refused, refused,
                                                   "Error Programming Flash"}));
    EXPECT_FALSE(Link().IsOpen());
    EXPECT_EQ(Records().size(), 1u + 119 + 5 + 3); // nothing after the third refusal
    EXPECT_TRUE(sim->InBootLoader());
}

TEST_F(FirmwareUpdateTest, ABootLoaderThatNeverAnswersTheSync) {
    sim->SetSilenceAfter(0);
    EXPECT_EQ(Update(Fixture("one-byte.hex")), -3);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Target not responding"});
    EXPECT_FALSE(Link().IsOpen());
    std::string before;
    EXPECT_TRUE(Records(&before).empty());
    EXPECT_EQ(before, "PUUU");
}

TEST_F(FirmwareUpdateTest, AMissingEchoIsReportedAndTheAnswerStillRead) {
    // The answer comes after the echo wait gave up: it is taken. It comes at once: the echo
    // wait swallows it, the read finds nothing and the record goes again.
    const std::string noEcho = "Sent data not echoed";
    for (const auto& [delayMs, lines] :
         {std::pair{1100, std::vector<std::string>{Isp, noEcho}},
          std::pair{0, std::vector<std::string>{Isp, noEcho, "no response"}}}) {
        Fresh();
        sim->SetBlankPart(true);
        sim->SetDropEchoes(1, delayMs);
        ASSERT_EQ(Update(Fixture("one-byte.hex"), {true, false, false}), 0);
        EXPECT_EQ(log.Lines, lines);
        const auto records = Records();
        ASSERT_EQ(records.size(), 1u + 119 + 1 + 3 + (delayMs == 0));
        EXPECT_EQ(records[delayMs == 0], StatusOn); // at once: sent twice
    }
}

TEST_F(FirmwareUpdateTest, APortThatVanishesWhileProgrammingEndsTheUpdateWithoutAHang) {
    sim->SetCloseAfterRecords(1 + 119 + 20);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Update(Fixture("full.hex")), -4);
    // Three attempts of one echo and one answer deadline each, with room for a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(16));
    const std::string noEcho = "Sent data not echoed", none = "no response";
    EXPECT_EQ(log.Lines, (std::vector<std::string>{Isp, noEcho, none, noEcho, none, noEcho, none,
                                                   "Error Programming Flash"}));
    EXPECT_FALSE(Link().IsOpen());
}

} // namespace
