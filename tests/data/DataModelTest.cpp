#include "data/PlotDocument.h"
#include "data/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace vemo;

TEST(DataModel, NewDocumentIsEmptyWithDefaults) {
    PlotDocument doc;
    EXPECT_EQ(doc.SetCount(), 0);
    EXPECT_EQ(doc.AltSignal(0), nullptr);
    EXPECT_EQ(doc.TrigSignal(-1), nullptr);
    EXPECT_EQ(doc.ActiveSet(), -1);
    EXPECT_EQ(doc.SelectedSet(), -1);
    EXPECT_EQ(doc.BGColor, 0x00FFFFFFu);
    EXPECT_EQ(doc.GridColor, 0x00808080u);
    EXPECT_EQ(doc.InfoColor, 0x000000FFu);
    EXPECT_EQ(doc.Title, "Altitude versus Time");
    EXPECT_EQ(doc.YAxisLabel, "Altitude (Feet)");
    EXPECT_EQ(doc.Footer1, "Created by Vemo - Get an Altitude!");
    // Operations on an empty document do nothing rather than fail.
    doc.DeleteDataSet(0);
    doc.DeleteDataSet(-1);
    doc.RenameInLists(0, "x");
    EXPECT_EQ(doc.SetCount(), 0);
}

TEST(DataModel, PlaceholderSetIsARampWithDefaultStyle) {
    PlotDocument doc;
    Signal* alt = doc.CreateDataSet();
    ASSERT_EQ(doc.SetCount(), 1);
    EXPECT_EQ(alt, doc.AltSignal(0));
    EXPECT_EQ(alt->TriggerSignal, doc.TrigSignal(0));
    EXPECT_EQ(alt->Name, "Data000");
    ASSERT_EQ(alt->Samples.Count(), 21);
    for (int i = 0; i <= 20; ++i) {
        EXPECT_EQ(alt->Samples.Time[i], i);
        EXPECT_EQ(alt->Samples.Alt[i], i);
        EXPECT_EQ(alt->Samples.PeakMarks[i], 0);
    }
    EXPECT_EQ(alt->LineColor, 0x00FF0000u); // blue
    EXPECT_EQ(alt->LineStyle, LineSolid);
    EXPECT_EQ(alt->PointStyle, PointNone);
    EXPECT_EQ(alt->ClimbMarks.size(), static_cast<size_t>(MaxClimbMarks));
    EXPECT_EQ(alt->FreeClimbMark(), 0);
    Signal* trig = doc.TrigSignal(0);
    EXPECT_EQ(trig->Samples.Count(), 0);
    EXPECT_FALSE(trig->Samples.HasPeakMarks());
    EXPECT_TRUE(trig->ClimbMarks.empty());
    EXPECT_EQ(trig->LineStyle, LineNone);
    EXPECT_EQ(trig->PointStyle, PointTriangle);
    EXPECT_EQ(trig->Visible, 1);
    EXPECT_EQ(alt->Visible, 1);
    // The new set is the active one; the dialog list keeps its selection.
    EXPECT_EQ(doc.ActiveSet(), 0);
    EXPECT_EQ(doc.SelectedSet(), -1);
}

TEST(DataModel, PaletteOrderOverFourteenSetsWraps) {
    PlotDocument doc;
    const Colour expected[14] = {0x00FF0000, 0x000000FF, 0x00008000, 0x00FF00FF, 0x00C0C0C0,
                                 0x00000080, 0x00FFFF00, 0x0000FF00, 0x00008080, 0x00800080,
                                 0x00808080, 0x00000000, 0x00808000, 0x00FF0000};
    for (int i = 0; i < 14; ++i) {
        Signal* s = doc.CreateDataSet();
        EXPECT_EQ(s->LineColor, expected[i]) << "set " << i;
        EXPECT_EQ(s->PointColor, expected[i]);
        EXPECT_EQ(s->TriggerSignal->PointColor, expected[i]);
    }
    EXPECT_EQ(doc.ActiveSet(), 13);
    EXPECT_EQ(doc.ActiveSetCombo->Count(), 14);
}

TEST(DataModel, NamesWrapAfterData999) {
    PlotDocument doc;
    doc.NameCounter = 998;
    EXPECT_EQ(doc.CreateDataSet()->Name, "Data998");
    EXPECT_EQ(doc.CreateDataSet()->Name, "Data999");
    EXPECT_EQ(doc.CreateDataSet()->Name, "Data000");
    EXPECT_EQ(doc.NameCounter, 1);
}

TEST(DataModel, DeletingKeepsSignalsAndBothListsConsistent) {
    PlotDocument doc;
    int changes = 0;
    doc.OnSetsChanged = [&] { ++changes; };
    Signal* s0 = doc.CreateDataSet();
    doc.CreateDataSet();
    Signal* s2 = doc.CreateDataSet();
    doc.ActiveSetCombo->Select(1);
    doc.SetListBox->Select(2);

    doc.DeleteDataSet(1);
    ASSERT_EQ(doc.Signals.size(), 4u);
    EXPECT_EQ(doc.AltSignal(0), s0);
    EXPECT_EQ(doc.AltSignal(1), s2);
    EXPECT_EQ(doc.TrigSignal(1), s2->TriggerSignal);
    EXPECT_EQ(doc.SetListBox->Count(), 2);
    EXPECT_EQ(doc.ActiveSetCombo->Count(), 2);
    EXPECT_EQ(doc.SetListBox->Item(1), "Data002");
    EXPECT_EQ(doc.ActiveSetCombo->Item(1), "Data002");
    EXPECT_EQ(doc.SelectedSet(), 0);
    EXPECT_EQ(doc.ActiveSet(), 0); // the deleted set was the active one
    EXPECT_EQ(changes, 1);

    // Deleting a set other than the active one keeps the active one.
    doc.ActiveSetCombo->Select(1);
    doc.DeleteDataSet(0);
    EXPECT_EQ(doc.ActiveSet(), 0);
    EXPECT_EQ(doc.AltSignal(0), s2);

    doc.DeleteDataSet(5); // out of range: nothing
    EXPECT_EQ(changes, 2);
    doc.DeleteDataSet(0);
    EXPECT_TRUE(doc.Signals.empty());
    EXPECT_EQ(doc.SetListBox->Count(), 0);
    EXPECT_EQ(doc.ActiveSet(), -1);
    EXPECT_EQ(doc.SelectedSet(), -1);
}

TEST(DataModel, RenameReplacesItemInBothListsKeepingActiveSelection) {
    PlotDocument doc;
    doc.CreateDataSet();
    doc.CreateDataSet();
    doc.CreateDataSet();
    doc.ActiveSetCombo->Select(2);
    doc.RenameInLists(1, "Flight with a name longer than nineteen");
    EXPECT_EQ(doc.SetListBox->Item(1), "Flight with a name ");
    EXPECT_EQ(doc.ActiveSetCombo->Item(1), "Flight with a name ");
    EXPECT_EQ(doc.SelectedSet(), 1);
    EXPECT_EQ(doc.ActiveSet(), 2);
    doc.ActiveSetCombo->Select(1);
    doc.RenameInLists(1, "Again");
    EXPECT_EQ(doc.ActiveSet(), 1);
}

TEST(DataModel, SampleStoreGrowsOnDemandAndStopsAtLimit) {
    SampleStore store(true);
    store.Resize(MaxSamples + 10);
    EXPECT_EQ(store.Count(), MaxSamples);
    EXPECT_EQ(store.PeakMarks.size(), static_cast<size_t>(MaxSamples));
    EXPECT_FALSE(store.Append(1.0, 2.0));
    store.Resize(-3);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_TRUE(store.Append(1.0, 2.0));
    store.Shrink();
    EXPECT_EQ(store.Time.capacity(), 1u);

    // A thousand short sets hold only what they use.
    PlotDocument doc;
    for (int i = 0; i < 1000; ++i)
        doc.CreateDataSet();
    size_t bytes = 0;
    for (auto& s : doc.Signals)
        bytes += s->Samples.Time.capacity() * 16 + s->Samples.PeakMarks.capacity();
    EXPECT_LT(bytes, 1000u * 64 * 17);
}

TEST(DataModel, TimesAscendFlagFollowsEveryChange) {
    // Random appends, writes, shifts and resizes with times out of order, equal and not numbers.
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const double odd[] = {std::nan(""), INFINITY, -1.0, 0.0, 0.5, 0.5, 0.5, 0.5};
    SampleStore s(true);
    int ascending = 0;
    for (int step = 0; step < 20000; ++step) {
        const int n = s.Count(), op = pick(10);
        const double next = (n && std::isfinite(s.Time[n - 1]) ? s.Time[n - 1] : 0) + odd[pick(8)];
        if (op == 0) s.Resize(pick(n + 3));
        if (op == 1 && n > 0) s.SetTime(pick(n), next);
        if (op == 2) s.ShiftTimes(pick(3) - 1.0);
        if (op > 2) s.Append(next, 0.0);
        bool scan = true;
        for (int i = 0; i < s.Count(); ++i)
            scan &= std::isfinite(s.Time[i]) && (i == 0 || s.Time[i - 1] <= s.Time[i]);
        ASSERT_EQ(s.TimesAscend(), scan) << "step " << step;
        ascending += scan;
    }
    EXPECT_GT(ascending, 1000); // both answers came up often
    EXPECT_LT(ascending, 19000);
}

TEST(DataModel, CutTextStopsAtLimitAndAtZeroByte) {
    EXPECT_EQ(CutText("abc", 2), "ab");
    EXPECT_EQ(CutText(std::string("ab\0cd", 5), 10), "ab");
    EXPECT_EQ(CutText("", 19), "");
}
