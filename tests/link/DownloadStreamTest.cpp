// The download stream: header, samples, trigger markers, notes, partial and missing sets.
#include "link/DownloadStream.h"
#include "FakeModulePort.h"

#include <gtest/gtest.h>

using namespace vemo;
using vemotest::FakeModulePort;
using vemotest::SetStream;

namespace {

struct Recorder {
    std::vector<std::string> log;
    std::vector<int> progress;
    int events = 0;
    int autoRanged = 0;
    DownloadHooks Hooks() {
        DownloadHooks h;
        h.Log = [this](const std::string& l) { log.push_back(l); };
        h.View.Progress = [this](int p) { progress.push_back(p); };
        h.View.ProcessEvents = [this] { ++events; };
        h.AutoRange = [this](PlotDocument&) { ++autoRanged; };
        h.Today = [] { return std::string("2026-12-08"); };
        return h;
    }
};

} // namespace

TEST(DownloadStream, MarkerMakesTriggerPointAndSetEndsOnSilence) {
    FakeModulePort port;
    port.SetStreams[0] = SetStream(10, 5, 1, {0x0010, 0x8201, 0x0020, 0x0030});
    PlotDocument doc;
    Recorder rec;
    const SetResult r = DownloadSet(port, doc, 0, 100, 0, rec.Hooks());

    EXPECT_EQ(port.Written, (std::vector<std::uint8_t>{'a', 0}));
    EXPECT_EQ(port.Events[0], "flush");
    EXPECT_EQ(port.Events[2], "pause:20");
    EXPECT_EQ(port.Events[4], "read:6:2500:ok");

    ASSERT_TRUE(r.HeaderOk);
    EXPECT_EQ(r.Samples, 3);
    EXPECT_EQ(r.Markers, 1);
    ASSERT_EQ(doc.SetCount(), 1);
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->Samples.Alt, (std::vector<double>{16, 32, 48}));
    EXPECT_EQ(alt->Samples.Time, (std::vector<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(alt->Samples.PeakMarks, (std::vector<std::uint8_t>{0, 0, 0}));
    const Signal* trig = doc.TrigSignal(0);
    EXPECT_EQ(trig->Samples.Time, std::vector<double>{1.0});
    EXPECT_EQ(trig->Samples.Alt, std::vector<double>{32.0});
    EXPECT_EQ(trig->Visible, 1);
    // j + m = 4 < 5: a fifth word was awaited for 500 ms and the set ended without it
    EXPECT_EQ(port.Events.back(), "read:2:500:fail");
    EXPECT_EQ(port.Events[port.Events.size() - 3], "read:2:1000:ok"); // the word after the marker

    EXPECT_EQ(rec.log, (std::vector<std::string>{"", "Set 1: Downloaded 3 data samples.",
                                                 "Set 1 ended early: 4 of 5 words arrived."}));
    EXPECT_EQ(alt->Note2, "2026-12-08  Set 1, 3 samples");
    EXPECT_EQ(alt->Note3, "3 sec, interval=1 sec, max=48");
    EXPECT_EQ(doc.XAxisLabel, "Time (seconds)");
    EXPECT_EQ(doc.YAxisLabel, "Altitude (feet)");
    EXPECT_EQ(rec.progress, (std::vector<int>{0, 20, 40, 60}));
    EXPECT_EQ(rec.events, 3);
    EXPECT_EQ(rec.autoRanged, 1);
}

TEST(DownloadStream, WordCountReachedStopsWithoutWaiting) {
    FakeModulePort port;
    port.SetStreams[1] = SetStream(3, 3, 0, {0xFFF6, 0x8200, 0x7FFF, 0x1234});
    PlotDocument doc;
    Recorder rec;
    const SetResult r = DownloadSet(port, doc, 1, 250, 2, rec.Hooks());
    EXPECT_EQ(r.Samples, 2);
    EXPECT_EQ(port.FailedReads, 0);
    EXPECT_EQ(port.Input.size(), 2u); // the word beyond the count stays queued
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->Samples.Alt, (std::vector<double>{-10, 32767}));
    EXPECT_DOUBLE_EQ(alt->Samples.Time[1], 0.75);
    // recorded without the trigger: the marker's point exists but is hidden
    EXPECT_EQ(doc.TrigSignal(0)->Samples.Count(), 1);
    EXPECT_EQ(doc.TrigSignal(0)->Visible, 0);
    EXPECT_EQ(doc.YAxisLabel, "Altitude (meters)");
    EXPECT_EQ(alt->Note2, "2026-12-08  Set 2, 2 samples");
}

TEST(DownloadStream, AllWithSilentMiddleSet) {
    FakeModulePort port;
    port.SetStreams[0] = SetStream(1, 2, 0, {1, 2});
    port.SetStreams[2] = SetStream(1, 1, 0, {7});
    PlotDocument doc;
    Recorder rec;
    for (int set : SetsToDownload(3, 3))
        DownloadSet(port, doc, set, 100, 1, rec.Hooks());
    EXPECT_EQ(port.Written, (std::vector<std::uint8_t>{'a', 0, 'a', 1, 'a', 2}));
    EXPECT_EQ(rec.log, (std::vector<std::string>{"", "Set 1: Downloaded 2 data samples.", "",
                                                 "Set 2: Corrupted data set.", "",
                                                 "Set 3: Downloaded 1 data samples."}));
    ASSERT_EQ(doc.SetCount(), 2);
    EXPECT_EQ(doc.AltSignal(1)->Samples.Alt, std::vector<double>{7});
    EXPECT_EQ(doc.AltSignal(1)->Note2, "2026-12-08  Set 3, 1 samples");
    EXPECT_EQ(doc.YAxisLabel, "Altitude (yards)");
}

TEST(DownloadStream, EmptySetIsCreatedWithNoSamples) {
    FakeModulePort port;
    port.SetStreams[0] = SetStream(10, 0, 0, {});
    PlotDocument doc;
    doc.YAxisLabel = "kept";
    Recorder rec;
    const SetResult r = DownloadSet(port, doc, 0, 100, 7, rec.Hooks());
    EXPECT_TRUE(r.HeaderOk);
    ASSERT_EQ(doc.SetCount(), 1);
    EXPECT_EQ(doc.AltSignal(0)->Samples.Count(), 0); // the placeholder ramp is gone
    EXPECT_EQ(doc.TrigSignal(0)->Samples.Count(), 0);
    EXPECT_EQ(doc.AltSignal(0)->Note3, "0 sec, interval=1 sec, max=-99999");
    EXPECT_EQ(rec.log.back(), "Set 1: Downloaded 0 data samples.");
    EXPECT_EQ(doc.YAxisLabel, "kept"); // unknown unit code leaves the label
}

TEST(DownloadStream, MarkerFollowedBySilenceStoresNoPoint) {
    FakeModulePort port;
    port.SetStreams[0] = SetStream(1, 0, 1, {5, 0x82FF});
    PlotDocument doc;
    Recorder rec;
    const SetResult r = DownloadSet(port, doc, 0, 100, 0, rec.Hooks());
    EXPECT_EQ(r.Samples, 1);
    EXPECT_EQ(r.Markers, 1);
    EXPECT_EQ(doc.TrigSignal(0)->Samples.Count(), 0);
    EXPECT_EQ(port.Events.back(), "read:2:1000:fail");
}

TEST(DownloadStream, SampleLimitLeavesRestQueuedAndTimesStayExact) {
    std::vector<std::uint16_t> words(MaxDownloadSamples + 10);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::uint16_t>(i % 30000);
    FakeModulePort port;
    // interval count 36000 x 100 ms: one hour; 65534 hours in ms does not fit 32 bits
    port.SetStreams[0] = SetStream(36000, 0, 0, words);
    PlotDocument doc;
    Recorder rec;
    const SetResult r = DownloadSet(port, doc, 0, 100, 0, rec.Hooks());
    EXPECT_EQ(r.Samples, MaxDownloadSamples);
    EXPECT_EQ(port.Input.size(), 20u);
    const Signal* alt = doc.AltSignal(0);
    EXPECT_EQ(alt->Samples.Count(), MaxDownloadSamples);
    EXPECT_DOUBLE_EQ(alt->Samples.Time.back(), 65534.0 * 3600.0);
    EXPECT_EQ(alt->Note3, "2.35926e+08 sec, interval=3600 sec, max=29999");
    // word count 0: the progress bar stays at 0
    EXPECT_EQ(rec.progress.back(), 0);
}

TEST(DownloadStream, SelectionToSets) {
    EXPECT_TRUE(SetsToDownload(-1, 3).empty());
    EXPECT_EQ(SetsToDownload(3, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(SetsToDownload(1, 3), std::vector<int>{1});
    EXPECT_TRUE(SetsToDownload(0, 0).empty()); // "All" with no sets transfers nothing
    EXPECT_EQ(SetsToDownload(256, 256).size(), 256u);
}

TEST(DownloadStream, NumbersIgnoreProcessLocale) {
    EXPECT_EQ(FormatG(0.25), "0.25");
    EXPECT_EQ(FormatG(-99999), "-99999");
    EXPECT_EQ(FormatG(1234567), "1.23457e+06");
}

TEST(DownloadStream, SetsChangedDuringTransferDoNotDisturbIt) {
    FakeModulePort port;
    port.SetStreams[0] = SetStream(1, 4, 1, {1, 0x8200, 2, 3});
    PlotDocument doc;
    doc.CreateDataSet(); // placeholder
    Recorder rec;
    DownloadHooks hooks = rec.Hooks();
    int calls = 0;
    // the user deletes the placeholder and loads another set while the words arrive
    hooks.View.ProcessEvents = [&] {
        if (++calls == 1) doc.DeleteDataSet(0);
        if (calls == 2) doc.CreateDataSet();
    };
    const SetResult r = DownloadSet(port, doc, 0, 100, 0, hooks);
    ASSERT_EQ(doc.SetCount(), 2);
    EXPECT_EQ(r.DataSet, 1);
    EXPECT_EQ(doc.AltSignal(1)->Samples.Alt, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(doc.TrigSignal(1)->Samples.Alt, std::vector<double>{2});
    EXPECT_EQ(doc.AltSignal(0)->Samples.Count(), 21); // the loaded set is untouched
}

TEST(DownloadStream, StopEndsTheSetEarly) {
    FakeModulePort port;
    port.SetStreams[0] = SetStream(1, 10, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    DownloadHooks hooks;
    int events = 0;
    hooks.View.ProcessEvents = [&] { ++events; };
    hooks.Stop = [&] { return events == 4; };
    FetchedSet fetched;
    FetchSet(port, 0, 100, hooks, fetched);
    EXPECT_EQ(fetched.Result.Samples, 4);
    EXPECT_EQ(fetched.Alt.Samples.Count(), 4);
}
