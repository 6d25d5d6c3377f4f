#include "link/DownloadStream.h"

#include "data/SetUnits.h"
#include "data/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace vemo {

namespace {

constexpr std::uint8_t MarkerHighByte = 0x82;
constexpr int ProgressMax = 100;

std::uint16_t BigEndian(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

bool ReadWord(ModulePort& port, int deadlineMs, std::uint16_t& word) {
    std::uint8_t b[2];
    if (!port.ReadExact(b, deadlineMs)) return false;
    word = BigEndian(b);
    return true;
}

} // namespace

SetHeader ParseSetHeader(const std::uint8_t (&bytes)[6]) {
    SetHeader h;
    h.IntervalCount = BigEndian(bytes + 1);
    h.WordCount = BigEndian(bytes + 3);
    h.TriggerFlag = bytes[5];
    return h;
}

SetResult ReadSetWords(ModulePort& port, const SetHeader& header, std::uint16_t baseStep,
                       Signal& alt, const DownloadHooks& hooks) {
    SetResult r;
    Signal* trig = alt.TriggerSignal;
    alt.Samples.Clear();
    if (trig) trig->Samples.Clear();

    // In double precision: a one-hour interval times 65535 samples overflows 32 bits of ms.
    r.IntervalSeconds =
        static_cast<double>(header.IntervalCount) * static_cast<double>(baseStep) / 1000.0;
    const int wordCount = header.WordCount;
    int j = 0;
    int m = 0;
    const auto& progress = hooks.View.Progress;
    if (progress) progress(0);
    do {
        std::uint16_t word = 0;
        if (!ReadWord(port, WordDeadlineMs, word)) break;
        bool triggerSample = false;
        if ((word >> 8) == MarkerHighByte) {
            ++m;
            if (!ReadWord(port, TriggerWordDeadlineMs, word)) break;
            triggerSample = true;
        }
        const double time = j * r.IntervalSeconds;
        const double value = static_cast<std::int16_t>(word);
        alt.Samples.Append(time, value);
        if (triggerSample && trig) trig->Samples.Append(time, value);
        if (value > r.Maximum) r.Maximum = value;
        ++j;
        if (progress)
            progress(wordCount > 0 ? static_cast<int>(std::int64_t{ProgressMax} * j / wordCount)
                                   : 0);
        if (hooks.View.ProcessEvents) hooks.View.ProcessEvents();
        if (hooks.Stop && hooks.Stop()) break;
    } while (j < MaxDownloadSamples && (wordCount == 0 || j + m < wordCount));

    r.Samples = j;
    r.Markers = m;
    r.Triggers = trig ? trig->Samples.Count() : 0;
    return r;
}

void FetchSet(ModulePort& port, int set, std::uint16_t baseStep, const DownloadHooks& hooks,
              FetchedSet& out) {
    out.Result = SetResult{};
    out.Result.Set = set;
    port.FlushInput();
    port.WriteByte('a');
    port.Pause(20);
    port.WriteByte(static_cast<std::uint8_t>(set));

    std::uint8_t raw[6];
    if (!port.ReadExact(raw, HeaderDeadlineMs)) {
        if (port.Unusable()) return; // not the set's fault: the caller says what happened
        char line[64];
        std::snprintf(line, sizeof line, "Set %d: Corrupted data set.", set + 1);
        if (hooks.Log) {
            hooks.Log("");
            hooks.Log(line);
        }
        return;
    }
    out.Header = ParseSetHeader(raw);
    out.Alt.TriggerSignal = &out.Trig;
    out.Result = ReadSetWords(port, out.Header, baseStep, out.Alt, hooks);
    out.Result.Set = set;
    out.Result.HeaderOk = true;
}

bool EndedWithoutItsData(const FetchedSet& fetched) {
    const SetResult& r = fetched.Result;
    const int words = r.Samples + r.Markers;
    return !r.HeaderOk || (fetched.Header.WordCount > 0 && words < fetched.Header.WordCount);
}

void StoreSet(PlotDocument& doc, FetchedSet& fetched, int altUnit, const DownloadHooks& hooks) {
    SetResult& r = fetched.Result;
    if (!r.HeaderOk) return;

    Signal* alt = doc.CreateDataSet();
    r.DataSet = doc.SetCount() - 1;
    alt->Samples = std::move(fetched.Alt.Samples);
    alt->Samples.Shrink();
    for (auto& mark : alt->ClimbMarks)
        mark = ClimbMark{};
    if (Signal* trig = alt->TriggerSignal) {
        trig->Samples = std::move(fetched.Trig.Samples);
        trig->Visible = fetched.Header.TriggerFlag ? 1 : 0;
    }
    // The module's unit, unless the plot's sets are in another; the label follows below.
    alt->Unit = IsUnit(altUnit) ? altUnit : UnitNone;
    const JoinedSets joined = JoinSets(doc, r.DataSet);

    if (hooks.AutoRange) hooks.AutoRange(doc);

    char line[80];
    std::snprintf(line, sizeof line, "Set %d: Downloaded %d data samples.", r.Set + 1, r.Samples);
    if (hooks.Log) {
        hooks.Log("");
        hooks.Log(line);
    }
    // The set is kept, but the user must know it is not the whole recording.
    const int words = r.Samples + r.Markers;
    if (fetched.Header.WordCount > 0 && words < fetched.Header.WordCount && hooks.Log) {
        std::snprintf(line, sizeof line, "Set %d ended early: %d of %d words arrived.", r.Set + 1,
                      words, int{fetched.Header.WordCount});
        hooks.Log(line);
    }
    if (joined.Converted() && hooks.Log) hooks.Log(alt->Name + ' ' + ConvertedSentence(joined));

    const std::string date = hooks.Today ? hooks.Today() : std::string();
    alt->Note2 = CutText(SetNote2(date, r.Set + 1, r.Samples), TextLength);
    // The note's maximum is in the unit of the set's numbers.
    const auto& a = alt->Samples.Alt;
    const double maximum =
        joined.Converted() && !a.empty() ? *std::max_element(a.begin(), a.end()) : r.Maximum;
    alt->Note3 = CutText(SetNote3(r.Samples, r.IntervalSeconds, maximum), TextLength);

    doc.XAxisLabel = "Time (seconds)";
    const std::string label = AltitudeAxisLabel(altUnit);
    if (!label.empty() && !joined.Converted()) doc.YAxisLabel = label;
}

SetResult DownloadSet(ModulePort& port, PlotDocument& doc, int set, std::uint16_t baseStep,
                      int altUnit, const DownloadHooks& hooks) {
    FetchedSet fetched;
    FetchSet(port, set, baseStep, hooks, fetched);
    StoreSet(doc, fetched, altUnit, hooks);
    return fetched.Result;
}

std::vector<int> SetsToDownload(int selected, int moduleSetCount) {
    std::vector<int> sets;
    if (selected < 0) return sets;
    if (selected > 256) selected = 256;
    if (selected == moduleSetCount) {
        for (int i = 0; i < moduleSetCount; ++i)
            sets.push_back(i);
    } else {
        sets.push_back(selected);
    }
    return sets;
}

std::string FormatG(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, res.ptr);
}

std::string SetNote2(const std::string& date, int setNumber, int samples) {
    return date + "  Set " + std::to_string(setNumber) + ", " + std::to_string(samples) +
           " samples";
}

std::string SetNote3(int samples, double intervalSeconds, double maximum) {
    return FormatG(samples * intervalSeconds) + " sec, interval=" + FormatG(intervalSeconds) +
           " sec, max=" + FormatG(maximum);
}

} // namespace vemo
