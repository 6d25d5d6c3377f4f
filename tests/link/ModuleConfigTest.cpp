// The configuration block, the interval rules and the "r"/"c" transfers.
#include "link/ModuleConfig.h"
#include "FakeModulePort.h"
#include "link/ConfigCommands.h"
#include "link/ConfigTransfer.h"

#include <gtest/gtest.h>

using namespace vemo;
using vemotest::FakeModulePort;

namespace {

ConfigBytes SampleBlock() {
    ConfigBytes b;
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(0xA0 + i);
    return b;
}

ModuleConfig ConfigWith(std::uint16_t intervalCount, std::uint16_t baseStep, std::uint8_t memory) {
    ModuleConfig c;
    c.IntervalCount = intervalCount;
    c.BaseStep = baseStep;
    c.MemorySize = memory;
    return c;
}

struct Recorder {
    std::vector<std::string> log;
    std::vector<std::string> errors;
    int shown = 0;
    ConfigHooks Hooks() {
        return {
            [this](const std::string& l) { log.push_back(l); },
            [this](const std::string& t, const std::string& c) { errors.push_back(c + ":" + t); },
            [this] { ++shown; }};
    }
};

} // namespace

TEST(ModuleConfigBlock, WordsAreBigEndianAndUninterpretedFieldsRoundTrip) {
    const ConfigBytes wire = SampleBlock();
    const ModuleConfig c = FromWire(wire);
    EXPECT_EQ(c.Word0, 0xA0A1);
    EXPECT_EQ(c.IntervalCount, 0xA2A3);
    EXPECT_EQ(c.AltUnit, 0xA4);
    EXPECT_EQ(c.BaseStep, 0xA6A7);
    EXPECT_EQ(c.Word8, 0xA8A9);
    EXPECT_EQ(c.Word10, 0xAAAB);
    EXPECT_EQ(c.Triggered, 0xAD);
    EXPECT_EQ(c.AutoStopAltitude, 0xB4B5);
    EXPECT_EQ(c.ModuleVersion, 0xB9);
    EXPECT_EQ(c.MemorySize, 0xBA);
    EXPECT_EQ(c.Byte27, 0xBB);
    EXPECT_EQ(ToWire(c), wire);
}

TEST(ModuleConfigBlock, ReadShowsIntervalAndTotalRecordTime) {
    FakeModulePort port;
    const ConfigBytes reply = ToWire(ConfigWith(10, 100, 4));
    port.Queue({9, 9, 9}); // stale bytes before the command are discarded
    port.Replies['r'] = std::vector<std::uint8_t>(reply.begin(), reply.end());
    ModuleConfig c;
    IntervalState interval;
    Recorder rec;
    ASSERT_TRUE(ReadConfig(port, c, interval, rec.Hooks()));

    EXPECT_EQ(port.Written, std::vector<std::uint8_t>{'r'});
    EXPECT_EQ(port.Events.front(), "flush");
    EXPECT_EQ(port.Events.back(), "read:28:5000:ok");
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"Reading Configuration...", "Configuration loaded."}));
    EXPECT_EQ(rec.shown, 1);

    const IntervalTexts t = FormatInterval(interval);
    EXPECT_EQ(t.Hours + ":" + t.Minutes + ":" + t.Seconds + "." + t.Millis, "0:00:01.000");
    EXPECT_EQ(interval.SampleInterval, 1000u);
    EXPECT_EQ(TotalRecordTimeText(c.MemorySize, interval.SampleInterval),
              "Total Record Time: 04 hours 33 min 04.000 sec");
}

TEST(ModuleConfigBlock, FailedOrShortReplyKeepsBlockAndReports) {
    ModuleConfig before = FromWire(SampleBlock());
    ModuleConfig c = before;
    IntervalState interval;
    interval.Minutes = 7;
    FakeModulePort port;
    port.Replies['r'] = std::vector<std::uint8_t>(27, 0x11); // one byte short
    Recorder rec;
    EXPECT_FALSE(ReadConfig(port, c, interval, rec.Hooks()));
    EXPECT_EQ(c, before);
    EXPECT_EQ(interval.Minutes, 7);
    EXPECT_EQ(rec.shown, 0);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"Reading Configuration...",
                                                 "Configuration data not understood."}));
    EXPECT_EQ(rec.errors, std::vector<std::string>{"Vemo:Configuration data not understood."});

    // The chatter of a device that keeps sending is no reply at all: the caller says why.
    port.KeepsSending = true;
    rec = Recorder{};
    EXPECT_FALSE(ReadConfig(port, c, interval, rec.Hooks()));
    EXPECT_EQ(rec.log, std::vector<std::string>{"Reading Configuration..."});
}

TEST(ModuleConfigBlock, WriteSendsCommandPauseAndBlock) {
    ModuleConfig c = FromWire(SampleBlock());
    FakeModulePort port;
    port.Queue({1, 2, 3}); // stale input is discarded first
    WriteConfig(port, c);
    ASSERT_EQ(port.Written.size(), 29u);
    EXPECT_EQ(port.Written[0], 'c');
    const ConfigBytes block = SampleBlock();
    EXPECT_EQ(std::vector<std::uint8_t>(port.Written.begin() + 1, port.Written.end()),
              std::vector<std::uint8_t>(block.begin(), block.end()));
    EXPECT_EQ(port.Events[0], "flush");
    EXPECT_EQ(port.Events[1], "w:63");
    EXPECT_EQ(port.Events[2], "pause:40");
}

TEST(RecordTime, DaysFormatForLongMemoryAndInterval) {
    EXPECT_EQ(TotalRecordTimeText(8, 3600000),
              "Total Record Time: 1365 days, 08 h 00 m 00.000 sec");
    EXPECT_EQ(TotalRecordTimeText(0, 3600000), "Total Record Time: 00 hours 00 min 00.000 sec");
    // just under one day keeps the hours format
    EXPECT_EQ(TotalRecordTimeText(1, 21093), "Total Record Time: 23 hours 59 min 56.928 sec");
}

TEST(IntervalSpinners, LimitsAndSnapping) {
    IntervalState s;
    s.Hours = s.Minutes = s.Seconds = s.Millis = 0;
    RecomputeInterval(s, 100);
    EXPECT_EQ(s.SampleInterval, 100u);
    EXPECT_EQ(FormatInterval(s).Millis, "100");

    s = {};
    s.Minutes = 59;
    SpinInterval(s, IntervalSpinner::Minute, true, 100);
    EXPECT_EQ(s.Minutes, 59);
    SpinInterval(s, IntervalSpinner::Second, false, 100); // at 0: stays
    EXPECT_EQ(s.Seconds, 0);

    s = {};
    s.Hours = 1;
    s.Millis = 0;
    SpinInterval(s, IntervalSpinner::Minute, true, 100);
    EXPECT_EQ(s.SampleInterval, 3600000u);
    const IntervalTexts t = FormatInterval(s);
    EXPECT_EQ(t.Hours + ":" + t.Minutes + ":" + t.Seconds + "." + t.Millis, "1:00:00.000");
    SpinInterval(s, IntervalSpinner::Hour, true, 100); // hours never pass 1
    EXPECT_EQ(s.Hours, 1);
}

TEST(IntervalSpinners, EveryPressLandsOnAWholeBaseStep) {
    // From 1.200 s in steps of 300 ms: each press moves the way it points, to an interval the
    // module can store, and "Write Config" stores exactly what is shown.
    using enum IntervalSpinner;
    IntervalState s;
    SplitInterval(s, 1200);
    const struct {
        IntervalSpinner which;
        bool up;
        const char* shown;
    } presses[] = {{Millis, true, "0:00:01.500"},  {Second, true, "0:00:02.700"},
                   {Second, false, "0:00:01.500"}, {Millis, false, "0:00:01.200"},
                   {Second, false, "0:00:00.300"}, {Millis, false, "0:00:00.300"},
                   {Hour, true, "1:00:00.000"}};
    for (const auto& p : presses) {
        SpinInterval(s, p.which, p.up, 300);
        const IntervalTexts t = FormatInterval(s);
        EXPECT_EQ(t.Hours + ":" + t.Minutes + ":" + t.Seconds + "." + t.Millis, p.shown);
        ModuleConfig c;
        c.BaseStep = 300;
        ConfigForm form;
        TakeConfig(form, s, c);
        EXPECT_EQ(c.IntervalCount * 300u, s.SampleInterval) << p.shown;
    }
    // A step that does not divide an hour: the longest interval is the last whole step in it.
    SplitInterval(s, 3600000);
    RecomputeInterval(s, 7);
    EXPECT_EQ(s.SampleInterval, 3599995u);
    // Steps of a second and more: the panels show the interval, milliseconds below 1000.
    for (const auto& [step, shown] :
         {std::pair<std::uint16_t, std::string>{1500, "01.500"}, {40000, "40.000"}}) {
        s = IntervalState{};
        s.Millis = 0;
        RecomputeInterval(s, step);
        EXPECT_EQ(FormatInterval(s).Seconds + "." + FormatInterval(s).Millis, shown);
        EXPECT_EQ(s.SampleInterval, step);
    }
}

TEST(ConfigPage, EditsClampAndKeepLow16Bits) {
    ModuleConfig c;
    ConfigForm form;
    form.AutoStartAltitude = "-5";
    form.AutoStopSec = "70000";
    form.AutoStartSec = "  -3";
    form.AutoStopAltitude = "12abc";
    TakeConfig(form, IntervalState{}, c);
    EXPECT_EQ(c.AutoStartAltitude, 0xFFFB);
    EXPECT_EQ(c.AutoStopSec, 65535);
    EXPECT_EQ(form.AutoStopSec, "65535");
    EXPECT_EQ(c.AutoStartSec, 0);
    EXPECT_EQ(form.AutoStartSec, "0");
    EXPECT_EQ(c.AutoStopAltitude, 12);
    const ConfigBytes wire = ToWire(c);
    EXPECT_EQ(wire[18], 0xFF);
    EXPECT_EQ(wire[19], 0xFB);

    // the value that went out reads back as unsigned
    ConfigForm shown;
    ShowConfig(c, shown);
    EXPECT_EQ(shown.AutoStartAltitude, "65531");
    EXPECT_EQ(shown.AutoStopSec, "65535");
}

TEST(ConfigPage, LeadingNumberRule) {
    EXPECT_EQ(LeadingInteger("12abc"), 12);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("  +42"), 42);
    EXPECT_EQ(LeadingInteger("- 4"), 0);
    EXPECT_GT(LeadingInteger("99999999999999999999999999"), 65535); // saturates, no overflow
}

TEST(ConfigPage, UnknownCodesSelectNothingAndAreKept) {
    ModuleConfig c;
    c.AltUnit = 5;
    c.AutoStop = 9;
    c.AutoZero = 2;
    ConfigForm form;
    ShowConfig(c, form);
    EXPECT_EQ(form.Units, -1);
    EXPECT_EQ(form.AutoStop, -1);
    EXPECT_EQ(form.AutoZero, 2);
    EXPECT_EQ(UnitName(5), "");
    TakeConfig(form, IntervalState{}, c);
    EXPECT_EQ(c.AltUnit, 5);
    EXPECT_EQ(c.AutoStop, 9);

    form.Units = 2;
    form.AutoZero = 3;
    form.Trig = true;
    TakeConfig(form, IntervalState{}, c);
    EXPECT_EQ(c.AltUnit, 2);
    EXPECT_EQ(c.AutoZero, 3);
    EXPECT_EQ(c.Triggered, 1);
}

TEST(ConfigPage, ZeroBaseStepLeavesIntervalCount) {
    ModuleConfig c;
    c.BaseStep = 0;
    c.IntervalCount = 17;
    IntervalState s;
    RecomputeInterval(s, 0);
    ConfigForm form;
    TakeConfig(form, s, c);
    EXPECT_EQ(c.IntervalCount, 17);
}

TEST(ConfigPage, BlankCaptionFollowsModuleVersion) {
    EXPECT_EQ(BlankCaption(2), "Blank display after 30 seconds");
    EXPECT_EQ(BlankCaption(3), "Enable LCD backlight");
    EXPECT_EQ(BlankCaption(255), "Enable LCD backlight");
}

TEST(ConfigHooks, SimulatedTargetSetsItsBlockValuesOnly) {
    Config = FromWire(SampleBlock());
    const ModuleConfig before = Config;
    ConfigSession configuration;
    configuration.UseSimulatedBlock();
    EXPECT_EQ(Config.Word0, 0xABCD);
    EXPECT_EQ(Config.IntervalCount, 4);
    EXPECT_EQ(Config.AltUnit, 0);
    ModuleConfig rest = Config;
    rest.Word0 = before.Word0;
    rest.IntervalCount = before.IntervalCount;
    rest.AltUnit = before.AltUnit;
    EXPECT_EQ(rest, before);
    Config = ModuleConfig{};
}
