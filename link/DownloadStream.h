#pragma once
// The stream of one data set on the line, and the data set made of it. Asked for a set ("a"
// and its number), the module sends a 6-byte header (unused byte, interval count, word count,
// trigger flag; 16-bit fields big-endian) and then 16-bit words. A word with high byte 0x82
// marks the next word as the sample taken at a trigger; every other word is a signed sample.
// The command around it, with its guards and the choice of sets, is DownloadCommand.
#include "data/PlotDocument.h"
#include "link/ModulePort.h"
#include "link/TransferView.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vemo {

inline constexpr int MaxDownloadSamples = 65535;
inline constexpr int HeaderDeadlineMs = 2500;
inline constexpr int WordDeadlineMs = 500;
inline constexpr int TriggerWordDeadlineMs = 1000;
// After a set that ended without its data, the line must have been silent this long before the
// next set is asked for: a late answer would otherwise be read as the next set's header and
// words, and filed under its number.
inline constexpr int LateSetQuietMs = 1000;

struct SetHeader {
    std::uint16_t IntervalCount = 0;
    std::uint16_t WordCount = 0; // 0: not given
    std::uint8_t TriggerFlag = 0;
};

SetHeader ParseSetHeader(const std::uint8_t (&bytes)[6]);

// What happens around a transfer: progress bar, window events, messages, auto ranging. Every
// member may be left empty.
struct DownloadHooks {
    // Progress 0..100 and the window events after every stored sample; the whole download
    // (DownloadDataClick) shows the progress bar before the first set and hides it after the
    // last.
    TransferView View;
    std::function<bool()> Stop;                   // checked after the window events: end now
    std::function<void(const std::string&)> Log;  // one line of the message log
    std::function<void(PlotDocument&)> AutoRange; // after each set
    std::function<std::string()> Today;           // the date written into the notes
    std::function<void()> Finished;               // after the whole download, whatever arrived
};

struct SetResult {
    int Set = 0; // counted from 0
    bool HeaderOk = false;
    int Samples = 0;
    int Triggers = 0;
    int Markers = 0;
    double Maximum = -99999.0;
    double IntervalSeconds = 0.0;
    int DataSet = -1; // index k of the new data set, -1 when none was made
};

// Reads the words after a header into alt (and its trigger Signal) until the word count is
// reached, the module falls silent or the store limit is hit. Returns the counts.
SetResult ReadSetWords(ModulePort& port, const SetHeader& header, std::uint16_t baseStep,
                       Signal& alt, const DownloadHooks& hooks);

// One set as it came from the module, before it joins the plot.
struct FetchedSet {
    SetResult Result;
    SetHeader Header;
    Signal Alt{true};
    Signal Trig{false};
};

// Sends "a" and the set byte and reads the header and the words. The samples are gathered
// apart from any document: window events run during the transfer, and a data set deleted or
// loaded meanwhile must not pull the Signals from under the loop. A missing header is
// reported to the log here.
void FetchSet(ModulePort& port, int set, std::uint16_t baseStep, const DownloadHooks& hooks,
              FetchedSet& out);
// Whether the set's header did not arrive, or fewer words than its header announced: the rest
// may still be on its way.
bool EndedWithoutItsData(const FetchedSet& fetched);

// Makes the new data set from a fetched one: samples in the module's unit (converted into the
// plot's when the plot holds sets of another, with a word in the log), notes, trigger
// visibility, auto range, axis labels and the message. Nothing when the header was missing.
void StoreSet(PlotDocument& doc, FetchedSet& fetched, int altUnit, const DownloadHooks& hooks);

// FetchSet then StoreSet.
SetResult DownloadSet(ModulePort& port, PlotDocument& doc, int set, std::uint16_t baseStep,
                      int altUnit, const DownloadHooks& hooks);

// Which sets the "Set#" list selection asks for: item s of a list "1".."n","All".
// Empty for a negative selection; set numbers counted from 0.
std::vector<int> SetsToDownload(int selected, int moduleSetCount);

// The note texts of a downloaded set.
std::string SetNote2(const std::string& date, int setNumber, int samples);
std::string SetNote3(int samples, double intervalSeconds, double maximum);

// Shortest "%g" text, independent of the process locale.
std::string FormatG(double v);

} // namespace vemo
