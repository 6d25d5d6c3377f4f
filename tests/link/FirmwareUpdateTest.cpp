// "Update Firmware" through the real serial link against the simulated boot loader: what goes
// on the line for each kind of file and option, what the module holds afterwards, and the
// boot loader's faults.
#include "link/FirmwareUpdate.h"
#include "ConfigWidgetSupport.h"
#include "FirmwareTestSupport.h"
#include "LinkTestSupport.h"
#include "data/AppState.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace vemo;
using namespace firmwaretest;

namespace {

const std::string StatusOn = ":020000020301F8";
const std::string StatusOff = ":020000020300F9";
const std::string ConfigByte = ":02000002006399";
const std::string Reset = ":00000008F8";

class FirmwareUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        configtest::EnsureApp();
        ASSERT_TRUE(sim.Start());
        Link().SetClock(&clock); // the pauses are recorded, not waited
    }
    void TearDown() override {
        Link().ClosePort();
        Link().SetClock(nullptr);
    }
    int Update(const std::string& file, FirmwareOptions options = {}) {
        ModuleContext ctx{Link(), log, prompt, ui};
        FirmwareView view;
        view.ShowProgress = [this](int maximum) { progressMaximum = maximum; };
        view.Progress = [this](int position) { progress.push_back(position); };
        const int result =
            UpdateFirmware(ctx, FirmwareJob{sim.PortPath(), 115200, options, file}, view);
        // The next update starts with a module that has run the reset record.
        if (result == 0) configtest::WaitFor([this] { return !sim.InBootLoader(); });
        return result;
    }
    // Every record the boot loader received, once the reset record (or nothing more) came.
    std::vector<std::string> Records(std::string* before = nullptr) {
        configtest::WaitFor([this] {
            const auto got = sim.Received();
            return std::string(got.end() - std::min<std::size_t>(got.size(), 11), got.end()) ==
                   Reset;
        });
        return SplitRecords(sim.Received(), before);
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
        for (std::uint32_t ms : clock.Pauses)
            if (ms != 10) out.push_back(ms); // the echo wait's polling
        return out;
    }
    bool Logged(const std::string& line) const {
        return std::count(log.Lines.begin(), log.Lines.end(), line) > 0;
    }

    vemosim::Simulator sim;
    linktest::PauseRecorder clock;
    StringListLog log;
    linktest::RecordingPrompt prompt;
    ModuleUi ui;
    int progressMaximum = -1;
    std::vector<int> progress;
};

TEST_F(FirmwareUpdateTest, AFullImageEndsUpInTheModuleByteForByte) {
    ASSERT_EQ(Update(Fixture("full.hex")), 0);
    EXPECT_EQ(sim.Flash(), ReadBytes(Fixture("full.bin")));
    EXPECT_EQ(log.Lines, std::vector<std::string>{"ISP Mode Initiated"});
    EXPECT_FALSE(Link().IsOpen());
    EXPECT_FALSE(sim.InBootLoader()); // the reset record started the firmware
    EXPECT_EQ(sim.StatusByte(), 0);
    EXPECT_EQ(sim.ConfigByte(), 0x63);

    std::string before;
    const auto records = Records(&before);
    EXPECT_EQ(before, "PU");
    ASSERT_EQ(records.size(), 1u + 119 + 119 + 3);
    EXPECT_EQ(records[0], StatusOn);
    EXPECT_EQ(records[1], ":03000004000000F9");
    EXPECT_EQ(records[119], ":03000004001D805C");
    EXPECT_EQ(records[120].substr(0, 9), ":40000000");
    EXPECT_EQ(records.end()[-3], StatusOff);
    EXPECT_EQ(records.end()[-2], ConfigByte);
    EXPECT_EQ(records.back(), Reset);
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t>{100, 200, 500, 500}));

    EXPECT_EQ(progressMaximum, 0x1DBF);
    ASSERT_EQ(progress.size(), 119u);
    EXPECT_EQ(progress[1], 64);
    EXPECT_EQ(progress.back(), 0x1D80);
}

TEST_F(FirmwareUpdateTest, EachFileProgramsUpToItsHighestByte) {
    const struct {
        const char* file;
        std::size_t records; // program records
        const char* last;    // count@address of the last one
    } cases[] = {
        {"one-byte.hex", 1, "01@0000"},
        {"top65.hex", 0, ""}, // its one record is too long: no data at all
        {"top64.hex", 119, "40@1D80"},
        {"gaps.hex", 18, "01@0440"},
        {"two-records.hex", 2, "01@0040"},
    };
    for (const auto& c : cases) {
        sim.ClearReceived();
        ASSERT_EQ(Update(Fixture(c.file)), 0) << c.file;
        const auto program = ProgramRecords();
        EXPECT_EQ(program.size(), c.records) << c.file;
        EXPECT_EQ(program.empty() ? "" : program.back(), c.last) << c.file;
        const auto records = Records();
        EXPECT_EQ(records.size(), 1u + 119 + c.records + 3) << c.file;
        EXPECT_EQ(records.end()[-3], StatusOff) << c.file;
        EXPECT_EQ(records.back(), Reset) << c.file;
        const auto flash = sim.Flash();
        const std::string file = c.file;
        if (file == "top64.hex") {
            EXPECT_EQ(std::vector<std::uint8_t>(flash.end() - 3, flash.end()),
                      (std::vector<std::uint8_t>{2, 3, 1}));
        }
        if (file == "gaps.hex") { // the gap was programmed as 0x00
            const auto gaps = ReadBytes(Fixture("gaps.bin"));
            EXPECT_TRUE(std::equal(gaps.begin(), gaps.end(), flash.begin()));
            EXPECT_EQ(std::count(flash.begin() + 0x441, flash.end(), 0xFF), 7616 - 0x441);
        }
    }
    ASSERT_EQ(Update(Fixture("upper64k.hex")), 0); // the type 04 record moves nothing
    EXPECT_EQ(sim.Flash(), ReadBytes(Fixture("full.bin")));
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
        sim.ClearReceived();
        clock.Pauses.clear();
        sim.SetBlankPart(c.options.BlankPart || c.options.Compat);
        ASSERT_EQ(Update(Fixture("one-byte.hex"), c.options), 0) << c.before;
        std::string before;
        Records(&before);
        EXPECT_EQ(before, c.before);
        EXPECT_EQ(Pauses(), c.pauses) << c.before;
        EXPECT_EQ(sim.LastSyncSpeed(), 4800);
    }
}

TEST_F(FirmwareUpdateTest, BadFilesSendNothing) {
    EXPECT_EQ(Update(Fixture("past-top.hex")), -5);
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text, "Hex file exceeds code space");
    EXPECT_EQ(prompt.Boxes[0].caption, "Error");
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Hex file exceeds code space."});

    QTemporaryDir dir;
    const struct {
        Damage damage;
        int line;
        const char* message;
    } damaged[] = {
        {Damage::DataDigit, 5, "Hex file checksum error in line 5."},
        {Damage::LetterG, 100, "Hex file format error in line 100."},
        {Damage::OneShort, 239, "Hex file format error in line 239."}, // the last data line
    };
    for (const auto& d : damaged) {
        log.Clear();
        EXPECT_EQ(Update(DamagedCopy(dir, d.damage, d.line)), -1);
        EXPECT_EQ(log.Lines, std::vector<std::string>{d.message});
    }
    log.Clear();
    EXPECT_EQ(Update(Fixture("no-such.hex")), -1);
    EXPECT_EQ(Update(Fixture("")), -1); // a folder
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(progressMaximum, -1); // the progress bar never showed
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_FALSE(Link().IsOpen());
}

TEST_F(FirmwareUpdateTest, ARefusedRecordIsSentAgain) {
    // The eleventh program record is answered "X" once.
    sim.SetRecordFault('X', 1, 1 + 119 + 10);
    ASSERT_EQ(Update(Fixture("full.hex")), 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"ISP Mode Initiated", "bad checksum"}));
    EXPECT_EQ(sim.Flash(), ReadBytes(Fixture("full.bin")));
    const auto program = ProgramRecords();
    ASSERT_EQ(program.size(), 120u);
    EXPECT_EQ(program[10], "40@0280");
    EXPECT_EQ(program[11], "40@0280");
}

TEST_F(FirmwareUpdateTest, ARecordRefusedThreeTimesEndsTheUpdate) {
    sim.SetRecordFault('R', 3, 1 + 119 + 5);
    EXPECT_EQ(Update(Fixture("full.hex")), -4);
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{"ISP Mode Initiated", "data byte write failure",
                                        "data byte write failure", "data byte write failure",
                                        "Error Programming Flash"}));
    EXPECT_FALSE(Link().IsOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto records = SplitRecords(sim.Received());
    EXPECT_EQ(records.size(), 1u + 119 + 5 + 3); // nothing after the third refusal
    EXPECT_TRUE(sim.InBootLoader());
}

TEST_F(FirmwareUpdateTest, ABootLoaderThatNeverAnswersTheSync) {
    sim.SetSilenceAfter(0);
    EXPECT_EQ(Update(Fixture("one-byte.hex")), -3);
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Target not responding"});
    EXPECT_FALSE(Link().IsOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto got = sim.Received();
    EXPECT_EQ(std::string(got.begin(), got.end()), "PUUU");
}

TEST_F(FirmwareUpdateTest, AMissingEchoIsReportedAndTheAnswerStillRead) {
    // The answer comes after the echo wait has given up: it is taken.
    sim.SetBlankPart(true);
    sim.SetDropEchoes(1, 1100);
    ASSERT_EQ(Update(Fixture("one-byte.hex"), {true, false, false}), 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"ISP Mode Initiated", "Sent data not echoed"}));
    EXPECT_EQ(sim.StatusByte(), 0);

    // The answer comes at once: the echo wait swallows it, the read finds nothing and the
    // record goes again.
    log.Clear();
    sim.ClearReceived();
    sim.SetBlankPart(true);
    sim.SetDropEchoes(1, 0);
    ASSERT_EQ(Update(Fixture("one-byte.hex"), {true, false, false}), 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"ISP Mode Initiated", "Sent data not echoed",
                                                   "no response"}));
    const auto records = Records();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[0], StatusOn);
    EXPECT_EQ(records[1], StatusOn);
}

TEST_F(FirmwareUpdateTest, APortThatVanishesWhileProgramming) {
    sim.SetCloseAfterRecords(1 + 119 + 20);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Update(Fixture("full.hex")), -4);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(log.Lines.back(), "Error Programming Flash");
    EXPECT_EQ(std::count(log.Lines.begin(), log.Lines.end(), "no response"), 3);
    EXPECT_FALSE(Link().IsOpen());
    // Three attempts of one echo and one answer deadline each, with room for a busy machine.
    EXPECT_LT(seconds, 3 * 2.0 + 10.0);
}

} // namespace
