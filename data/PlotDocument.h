#pragma once
// The in-memory plot: its colours, visible ranges, texts and the data sets. Data set k is the
// altitude Signal at Signals[2k] and its trigger Signal at Signals[2k + 1].
#include "data/NameList.h"
#include "data/Units.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vemo {

constexpr int MaxSamples = 65536;
constexpr int MaxClimbMarks = 256;

using Colour = std::uint32_t; // 0x00BBGGRR, red in the low byte

struct SpeedTable;

// The times or the altitudes of a store's samples, read like a std::vector<double>. Every
// change goes through the store, which keeps count of where the times fail to ascend and
// drops what it worked out from the samples.
class SampleValues {
public:
    using value_type = double;
    using size_type = std::size_t;
    using const_iterator = std::vector<double>::const_iterator;
    using iterator = const_iterator;

    double operator[](std::size_t i) const { return v_[i]; }
    std::size_t size() const { return v_.size(); }
    bool empty() const { return v_.empty(); }
    std::size_t capacity() const { return v_.capacity(); }
    const double* data() const { return v_.data(); }
    const_iterator begin() const { return v_.begin(); }
    const_iterator end() const { return v_.end(); }
    double front() const { return v_.front(); }
    double back() const { return v_.back(); }
    const std::vector<double>& Values() const { return v_; }

    friend bool operator==(const SampleValues& a, const std::vector<double>& b) { return a.v_ == b; }
    friend bool operator==(const SampleValues& a, const SampleValues& b) { return a.v_ == b.v_; }

private:
    friend class SampleStore;
    std::vector<double> v_;
};

// Samples of one Signal. The arrays grow with the samples actually held, up to MaxSamples,
// so a thousand short data sets stay small.
class SampleStore {
public:
    explicit SampleStore(bool withPeakMarks) : hasPeakMarks_(withPeakMarks) {}

    SampleValues Time;
    SampleValues Alt;
    std::vector<std::uint8_t> PeakMarks; // empty in a trigger Signal's store

    int Count() const { return static_cast<int>(Time.size()); }
    bool HasPeakMarks() const { return hasPeakMarks_; }
    // Sets the number of valid samples (clamped to 0..MaxSamples); new samples are zero.
    void Resize(int n);
    // Adds one sample; false when the store is full.
    bool Append(double time, double alt);
    // Adds one sample with its peak mark (ignored in a store without peak marks).
    bool Append(double time, double alt, std::uint8_t peakMark);
    void Clear() { Resize(0); }
    // Room for n samples without growing step by step.
    void Reserve(int n);
    // Frees memory held beyond the current count.
    void Shrink();

    void SetTime(int i, double time);
    // Adds dt to every time.
    void ShiftTimes(double dt);
    void SetAlt(int i, double alt);
    // Adds da to every altitude.
    void ShiftAlts(double da);
    // Multiplies every altitude by factor (a change of unit).
    void ScaleAlts(double factor);

    // The vertical speeds worked out from these samples (data/RateEstimate.h), kept until a
    // sample changes; a copy of the store carries them with its samples.
    const std::shared_ptr<const SpeedTable>& KeptSpeeds() const { return speeds_; }
    void KeepSpeeds(std::shared_ptr<const SpeedTable> speeds) const { speeds_ = std::move(speeds); }

    // Whether every time is a finite number and none is below the one before it. Kept up to
    // date by every change, so the plot can search the times instead of scanning them.
    bool TimesAscend() const { return disorder_ == 0; }

private:
    // 1 for each way sample i breaks the ascending order: a time that is not finite, a time
    // below (or not comparable with) the one before it.
    int DisorderAt(std::size_t i) const;

    bool hasPeakMarks_;
    int disorder_ = 0;
    mutable std::shared_ptr<const SpeedTable> speeds_;
};

struct ClimbMark {
    std::int32_t FirstSample = 0;
    std::int32_t SecondSample = 0;
    std::uint8_t InUse = 0;
};

// Whether a mark is in use and names two samples of a store of count samples. A crop or a
// load may have taken its samples away; the plot, the summary and the files then skip it.
bool ClimbMarkValid(const ClimbMark& m, int count);
// The climb rate of a valid mark: the altitude change between its two raw samples over the
// time between them. None when both have one time.
std::optional<double> ClimbRateOf(const SampleStore& store, const ClimbMark& m);

enum LineStyleCode { LineNone = 0, LineSolid, LineDot, LineDash, LineDashDot, LineDashDotDot };
enum PointStyleCode {
    PointNone = 0,
    PointDot,
    PointCircle,
    PointSquare,
    PointCross,
    PointX,
    PointDiamond,
    PointTriangle
};

struct Signal {
    explicit Signal(bool altitude);

    SampleStore Samples;
    std::string Name; // at most NameLength characters
    Colour LineColor = 0;
    Colour PointColor = 0;
    std::int32_t LineStyle = LineSolid;
    std::int32_t PointStyle = PointNone;
    double TimeOffset = 0.0;
    double AltOffset = 0.0;
    double TimeScale = 1.0;
    double AltScale = 1.0;
    std::uint8_t Visible = 1;
    std::vector<ClimbMark> ClimbMarks; // MaxClimbMarks entries for an altitude Signal, else none
    Signal* TriggerSignal = nullptr;
    std::string Note1, Note2, Note3; // at most TextLength characters each
    // The unit of the altitudes (an altitude Signal's; its trigger Signal's are in the same).
    // UnitNone for the start-up placeholder; every set read or downloaded has one.
    int Unit = UnitNone;

    // Index of the free climb mark entry with the lowest index, -1 when all are in use.
    int FreeClimbMark() const;
};

extern const std::array<Colour, 13> Palette;
extern const char* const LineStyleNames[6];
extern const char* const PointStyleNames[8];

class PlotDocument {
public:
    PlotDocument();
    ~PlotDocument();
    PlotDocument(const PlotDocument&) = delete;
    PlotDocument& operator=(const PlotDocument&) = delete;

    Colour BGColor = 0x00FFFFFF;
    Colour GridColor = 0x00808080;
    Colour ScaleColor = 0x00000000;
    Colour LabelColor = 0x00000000;
    Colour InfoColor = 0x000000FF;
    std::vector<std::unique_ptr<Signal>> Signals;
    double TimeMin = 0.0, TimeMax = 20.0;
    double AltMin = 0.0, AltMax = 20.0;
    std::string Title = "Altitude versus Time";
    std::string XAxisLabel = "Time (sec)";
    std::string YAxisLabel = "Altitude (Feet)";
    std::string Info1, Info2, Info3;
    std::string Footer1 = "Created by Vemo - Get an Altitude!";
    std::string Footer2 = MakerWebAddress;

    static constexpr const char* MakerWebAddress = "www.tarnwicksystems.example";

    int PaletteIndex = 0; // 0..12
    int NameCounter = 0;  // 0..999

    // The two name lists mirror the data sets. They default to in-memory lists; the main
    // window points them at its widgets.
    NameList* SetListBox;
    NameList* ActiveSetCombo;
    void UseNameLists(NameList* setListBox, NameList* activeSetCombo);

    // Called after a data set was deleted (refresh the properties dialog, repaint).
    std::function<void()> OnSetsChanged;

    int SetCount() const { return static_cast<int>(Signals.size() / 2); }
    bool ValidSet(int k) const { return k >= 0 && k < SetCount(); }
    Signal* AltSignal(int k) const;  // nullptr when k is out of range
    Signal* TrigSignal(int k) const; // nullptr when k is out of range
    int ActiveSet() const { return ActiveSetCombo->Selected(); }
    int SelectedSet() const { return SetListBox->Selected(); }

    // Makes a new data set (placeholder ramp 0..20, next palette colour and name), appends it
    // and makes it the active set. Returns its altitude Signal.
    Signal* CreateDataSet();
    // Removes data set k; does nothing for an index out of range.
    void DeleteDataSet(int k);
    // Replaces item k's text in both lists.
    void RenameInLists(int k, const std::string& name);
    // Releases every data set (shutdown); the name lists are emptied too.
    void Clear();

private:
    MemoryNameList ownSetList_, ownActiveList_;
};

// The window's document: made by the main window's first show, released when it closes;
// nullptr before and after. vemo-cli and the tests of the layers below make their own.
extern PlotDocument* PlotDoc;

} // namespace vemo
