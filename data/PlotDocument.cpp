#include "data/PlotDocument.h"

#include "data/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vemo {

PlotDocument* PlotDoc = nullptr;

const std::array<Colour, 13> Palette = {
    0x00FF0000, 0x000000FF, 0x00008000, 0x00FF00FF, 0x00C0C0C0, 0x00000080, 0x00FFFF00,
    0x0000FF00, 0x00008080, 0x00800080, 0x00808080, 0x00000000, 0x00808000,
};

const char* const LineStyleNames[6] = {"-none-", "Solid",    "Dot",
                                       "Dash",   "Dash Dot", "Dash Dot Dot"};
const char* const PointStyleNames[8] = {"-none-", "Dot", "Circle",  "Square",
                                        "Cross",  "X",   "Diamond", "Triangle"};

int SampleStore::DisorderAt(std::size_t i) const {
    const std::vector<double>& t = Time.v_;
    return int(!std::isfinite(t[i])) + int(i > 0 && !(t[i - 1] <= t[i]));
}

void SampleStore::Resize(int n) {
    speeds_.reset();
    n = std::clamp(n, 0, MaxSamples);
    const auto from = Time.size(), to = static_cast<std::size_t>(n);
    for (std::size_t i = to; i < from; ++i)
        disorder_ -= DisorderAt(i);
    Time.v_.resize(to, 0.0);
    for (std::size_t i = from; i < to; ++i)
        disorder_ += DisorderAt(i);
    Alt.v_.resize(to, 0.0);
    if (hasPeakMarks_) PeakMarks.resize(to, 0);
}

bool SampleStore::Append(double time, double alt) {
    return Append(time, alt, 0);
}

bool SampleStore::Append(double time, double alt, std::uint8_t peakMark) {
    if (Count() >= MaxSamples) return false;
    speeds_.reset();
    Time.v_.push_back(time);
    disorder_ += DisorderAt(Time.size() - 1);
    Alt.v_.push_back(alt);
    if (hasPeakMarks_) PeakMarks.push_back(peakMark);
    return true;
}

void SampleStore::Reserve(int n) {
    const auto size = static_cast<std::size_t>(std::clamp(n, 0, MaxSamples));
    Time.v_.reserve(size);
    Alt.v_.reserve(size);
    if (hasPeakMarks_) PeakMarks.reserve(size);
}

void SampleStore::Shrink() {
    Time.v_.shrink_to_fit();
    Alt.v_.shrink_to_fit();
    PeakMarks.shrink_to_fit();
}

void SampleStore::SetTime(int i, double time) {
    const auto at = static_cast<std::size_t>(i);
    const bool hasNext = at + 1 < Time.size();
    speeds_.reset();
    disorder_ -= DisorderAt(at) + (hasNext ? DisorderAt(at + 1) : 0);
    Time.v_[at] = time;
    disorder_ += DisorderAt(at) + (hasNext ? DisorderAt(at + 1) : 0);
}

void SampleStore::ShiftTimes(double dt) {
    speeds_.reset();
    disorder_ = 0;
    for (std::size_t i = 0; i < Time.size(); ++i) {
        Time.v_[i] += dt;
        disorder_ += DisorderAt(i);
    }
}

void SampleStore::SetAlt(int i, double alt) {
    speeds_.reset();
    Alt.v_[static_cast<std::size_t>(i)] = alt;
}

void SampleStore::ShiftAlts(double da) {
    speeds_.reset();
    for (double& a : Alt.v_)
        a += da;
}

void SampleStore::ScaleAlts(double factor) {
    speeds_.reset();
    for (double& a : Alt.v_)
        a *= factor;
}

Signal::Signal(bool altitude) : Samples(altitude) {
    if (altitude) ClimbMarks.resize(MaxClimbMarks);
}

bool ClimbMarkValid(const ClimbMark& m, int count) {
    return m.InUse && m.FirstSample >= 0 && m.SecondSample >= 0 && m.FirstSample < count &&
           m.SecondSample < count;
}

std::optional<double> ClimbRateOf(const SampleStore& store, const ClimbMark& m) {
    const auto i1 = static_cast<std::size_t>(m.FirstSample);
    const auto i2 = static_cast<std::size_t>(m.SecondSample);
    const double t1 = store.Time[i1], t2 = store.Time[i2];
    if (t2 == t1) return std::nullopt;
    return (store.Alt[i2] - store.Alt[i1]) / (t2 - t1);
}

int Signal::FreeClimbMark() const {
    for (std::size_t i = 0; i < ClimbMarks.size(); ++i)
        if (!ClimbMarks[i].InUse) return static_cast<int>(i);
    return -1;
}

PlotDocument::PlotDocument() : SetListBox(&ownSetList_), ActiveSetCombo(&ownActiveList_) {}

PlotDocument::~PlotDocument() = default;

void PlotDocument::UseNameLists(NameList* setListBox, NameList* activeSetCombo) {
    SetListBox = setListBox ? setListBox : &ownSetList_;
    ActiveSetCombo = activeSetCombo ? activeSetCombo : &ownActiveList_;
}

Signal* PlotDocument::AltSignal(int k) const {
    return ValidSet(k) ? Signals[static_cast<std::size_t>(2 * k)].get() : nullptr;
}

Signal* PlotDocument::TrigSignal(int k) const {
    return ValidSet(k) ? Signals[static_cast<std::size_t>(2 * k + 1)].get() : nullptr;
}

Signal* PlotDocument::CreateDataSet() {
    const Colour colour = Palette[static_cast<std::size_t>(PaletteIndex)];
    PaletteIndex = (PaletteIndex + 1) % static_cast<int>(Palette.size());

    auto alt = std::make_unique<Signal>(true);
    auto trig = std::make_unique<Signal>(false);

    for (int i = 0; i <= 20; ++i)
        alt->Samples.Append(i, i);

    alt->LineColor = alt->PointColor = colour;
    alt->LineStyle = LineSolid;
    alt->PointStyle = PointNone;
    char name[16];
    std::snprintf(name, sizeof name, "Data%03d", NameCounter);
    alt->Name = name;
    NameCounter = NameCounter + 1 > 999 ? 0 : NameCounter + 1;
    alt->TriggerSignal = trig.get();

    trig->LineColor = trig->PointColor = colour;
    trig->LineStyle = LineNone;
    trig->PointStyle = PointTriangle;

    Signal* result = alt.get();
    Signals.push_back(std::move(alt));
    Signals.push_back(std::move(trig));

    SetListBox->Append(result->Name);
    ActiveSetCombo->Append(result->Name);
    ActiveSetCombo->Select(ActiveSetCombo->Count() - 1);
    return result;
}

void PlotDocument::DeleteDataSet(int k) {
    if (!ValidSet(k)) return;
    auto pos = Signals.begin() + 2 * k;
    Signals.erase(pos, pos + 2);

    SetListBox->Remove(k);
    SetListBox->Select(0);
    ActiveSetCombo->Remove(k);
    if (ActiveSetCombo->Selected() < 0) ActiveSetCombo->Select(0);

    if (OnSetsChanged) OnSetsChanged();
}

void PlotDocument::RenameInLists(int k, const std::string& name) {
    if (k < 0 || k >= SetListBox->Count() || k >= ActiveSetCombo->Count()) return;
    const std::string text = CutText(name, NameLength);
    SetListBox->Remove(k);
    SetListBox->Insert(k, text);
    SetListBox->Select(k);

    const int active = ActiveSetCombo->Selected();
    ActiveSetCombo->Remove(k);
    ActiveSetCombo->Insert(k, text);
    ActiveSetCombo->Select(active);
}

void PlotDocument::Clear() {
    while (SetCount() > 0) {
        Signals.pop_back();
        Signals.pop_back();
    }
    while (SetListBox->Count() > 0)
        SetListBox->Remove(0);
    while (ActiveSetCombo->Count() > 0)
        ActiveSetCombo->Remove(0);
}

} // namespace vemo
