#include "app/AppSettings.h"

#include "app/SettingsStore.h"
#include "link/ConfigTransfer.h"

#include <algorithm>
#include <limits>

namespace vemo {

namespace {

// Reads each value into its member; false at the first that does not read.
class Reader {
public:
    explicit Reader(SettingsStore& store) : store_(store) {}
    bool Integer(const char* name, int& v) {
        return Get(name, v,
                   [](std::uint32_t r) { return static_cast<int>(static_cast<std::int32_t>(r)); });
    }
    bool Colour(const char* name, std::uint32_t& v) {
        return Get(name, v, [](std::uint32_t r) { return r; });
    }
    bool Flag(const char* name, bool& v) {
        return Get(name, v, [](std::uint32_t r) { return r != 0; });
    }
    bool Word(const char* name, std::uint16_t& v) {
        return Get(name, v, [](std::uint32_t r) { return static_cast<std::uint16_t>(r); });
    }
    bool NumberText(const char* name, std::string& v) {
        return Get(name, v,
                   [](std::uint32_t r) { return std::to_string(static_cast<std::int32_t>(r)); });
    }
    bool Text(const char* name, std::string& v) {
        const auto r = store_.ReadText(name);
        if (!r) return false;
        v = *r;
        ++count;
        return true;
    }
    bool Float(const char* name, double& v) {
        const auto r = store_.ReadFloat(name);
        if (!r) return false;
        v = *r;
        ++count;
        return true;
    }
    int count = 0;

private:
    template <class T, class F> bool Get(const char* name, T& v, F convert) {
        const auto r = store_.ReadInteger(name);
        if (!r) return false;
        v = convert(*r);
        ++count;
        return true;
    }
    SettingsStore& store_;
};

// Writes each value; false at the first that cannot be written.
class Writer {
public:
    explicit Writer(SettingsStore& store) : store_(store) {}
    bool Integer(const char* name, const int& v) {
        return Put(name, static_cast<std::uint32_t>(v));
    }
    bool Colour(const char* name, const std::uint32_t& v) { return Put(name, v); }
    bool Flag(const char* name, const bool& v) { return Put(name, v ? 1u : 0u); }
    bool Word(const char* name, const std::uint16_t& v) { return Put(name, v); }
    bool NumberText(const char* name, const std::string& v) {
        return Put(name, static_cast<std::uint32_t>(NumberTextValue(v)));
    }
    bool Text(const char* name, const std::string& v) {
        if (!store_.WriteText(name, v)) return false;
        ++count;
        return true;
    }
    bool Float(const char* name, const double& v) {
        if (!store_.WriteFloat(name, v)) return false;
        ++count;
        return true;
    }
    int count = 0;

private:
    bool Put(const char* name, std::uint32_t v) {
        if (!store_.WriteInteger(name, v)) return false;
        ++count;
        return true;
    }
    SettingsStore& store_;
};

// The first 30 values in the order they are read and written; stops at the first the visitor
// refuses.
template <class Visitor, class Settings> bool EachValue(Visitor& v, Settings& s) {
    return v.Integer("ComPort", s.ComPort) && v.Integer("BaudRate", s.SpeedIndex) &&
           v.Integer("Left", s.Left) && v.Integer("Top", s.Top) &&
           v.Flag("SimulateTarget", s.SimulateTarget) && v.Flag("ShowPoints", s.ShowPoints) &&
           v.Flag("ShowInfo", s.ShowInfo) && v.Flag("ShowBackground", s.ShowBackground) &&
           v.Flag("ShowAvgROC", s.ShowAvgROC) && v.Flag("BlankPart", s.BlankPart) &&
           v.Flag("RevTrig", s.RevTrig) && v.Flag("Triggered", s.Triggered) &&
           v.Flag("Sizeable", s.Sizeable) && v.Float("PrtWidth", s.PrtWidth) &&
           v.Float("PrtHeight", s.PrtHeight) && v.Flag("PrtColor", s.PrtColor) &&
           v.Colour("BGColor", s.BGColor) && v.Colour("GridColor", s.GridColor) &&
           v.Colour("ScaleColor", s.ScaleColor) && v.Colour("LabelColor", s.LabelColor) &&
           v.Colour("InfoColor", s.InfoColor) && v.Integer("AutoStart", s.AutoStart) &&
           v.NumberText("AutoStartSec", s.AutoStartSec) &&
           v.NumberText("AutoStartAltitude", s.AutoStartAltitude) &&
           v.Integer("AutoStop", s.AutoStop) && v.NumberText("AutoStopSec", s.AutoStopSec) &&
           v.NumberText("AutoStopAltitude", s.AutoStopAltitude) &&
           v.Integer("AutoZero", s.AutoZero) && v.Integer("ExportType", s.ExportType) &&
           v.Word("Interval", s.Interval);
}

// The values added since, read and written after the first 30.
template <class Visitor, class Settings> bool EachAddedValue(Visitor& v, Settings& s) {
    return v.Flag("ShowVerticalSpeed", s.ShowVerticalSpeed) && v.Text("ComPortName", s.ComPortName);
}

} // namespace

void ApplyFallbacks(AppSettings& s, bool comPortRead) {
    if (!comPortRead) s.ComPort = 0;
    s.SpeedIndex = 5; // 115200
    s.PrtWidth = 7.0;
    s.PrtHeight = 3.5;
    s.BGColor = 0xFFFFFF;
    s.GridColor = 0x808080;
    s.ScaleColor = 0x000000;
    s.LabelColor = 0x000000;
    s.InfoColor = 0x0000FF;
    s.Interval = 100;
}

SettingsLoad LoadSettings(SettingsStore& store, AppSettings& s) {
    SettingsLoad result;
    if (store.Open()) {
        Reader reader(store);
        const bool all = EachValue(reader, s);
        if (all) EachAddedValue(reader, s);
        result.ValuesRead = reader.count;
        store.Close();
        if (all) return result;
    }
    result.ComPortRead = result.ValuesRead > 0;
    result.FellBack = true;
    ApplyFallbacks(s, result.ComPortRead);
    return result;
}

int StoreSettings(SettingsStore& store, const AppSettings& s) {
    if (!store.Open()) return 0;
    Writer writer(store);
    if (EachValue(writer, s)) EachAddedValue(writer, s);
    // A store that cannot be made lasting kept nothing.
    return store.Close() ? writer.count : 0;
}

std::int32_t NumberTextValue(std::string_view text) {
    const long long v = LeadingInteger(text);
    return static_cast<std::int32_t>(std::clamp<long long>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace vemo
