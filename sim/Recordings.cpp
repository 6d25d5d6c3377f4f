// The recordings, identification and configuration the simulated module starts with, and the
// encoding of a recording as the module streams it after "a".

#include "sim/SimulatorImpl.h"

#include <cmath>
#include <numbers>

namespace vemosim {
namespace {

// A small deterministic noise source so every run sends the same bytes.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    // Roughly triangular noise in [-amplitude, amplitude].
    double Next(double amplitude) { return amplitude * (Uniform() + Uniform() - 1.0); }

private:
    double Uniform() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }
    uint32_t state_;
};

double MetersToUnit(double meters, int unit) {
    switch (unit) {
    case 1:
        return meters / 0.9144; // yards
    case 2:
        return meters;
    default:
        return meters / 0.3048; // feet
    }
}

struct FlightShape {
    double padSeconds;    // waiting on the pad
    double burnSeconds;   // motor burn
    double boostAccel;    // m/s^2 during the burn
    double coastDecel;    // m/s^2 of gravity and drag after burn-out
    double drogueRate;    // m/s under the drogue
    double mainAltitude;  // m where the main parachute opens
    double mainRate;      // m/s under the main
    double groundSeconds; // lying on the ground after landing
};

struct FlightEvents {
    double apogeeTime = 0;
    double mainTime = 0;
    double landingTime = 0;
};

// Altitude above the pad in meters at time t of a single-stage rocket flight.
double FlightAltitude(const FlightShape& f, double t, FlightEvents* events) {
    const double burnOut = f.padSeconds + f.burnSeconds;
    const double vBurnOut = f.boostAccel * f.burnSeconds;
    const double hBurnOut = 0.5 * f.boostAccel * f.burnSeconds * f.burnSeconds;
    const double coast = vBurnOut / f.coastDecel;
    const double apogeeTime = burnOut + coast;
    const double apogee = hBurnOut + vBurnOut * coast / 2.0;
    const double mainTime = apogeeTime + (apogee - f.mainAltitude) / f.drogueRate;
    const double landingTime = mainTime + f.mainAltitude / f.mainRate;
    if (events) *events = {apogeeTime, mainTime, landingTime};

    if (t < f.padSeconds) return 0.0;
    if (t < burnOut) {
        const double s = t - f.padSeconds;
        return 0.5 * f.boostAccel * s * s;
    }
    if (t < apogeeTime) {
        const double s = t - burnOut;
        return hBurnOut + vBurnOut * s - 0.5 * f.coastDecel * s * s;
    }
    if (t < mainTime) return apogee - f.drogueRate * (t - apogeeTime);
    if (t < landingTime) return f.mainAltitude - f.mainRate * (t - mainTime);
    return 0.0;
}

Recording MakeFlight(const FlightShape& shape, int intervalCount, double stepSeconds, uint32_t seed,
                     int unit, bool withTriggers, std::string name) {
    FlightEvents ev;
    FlightAltitude(shape, 0.0, &ev);
    const double total = ev.landingTime + shape.groundSeconds;
    const auto count = static_cast<size_t>(total / stepSeconds);
    // Trigger outputs fire at burn-out, at apogee (drogue) and when the main opens.
    const double triggerTimes[] = {shape.padSeconds + shape.burnSeconds, ev.apogeeTime,
                                   ev.mainTime};
    Recording rec;
    rec.name = std::move(name);
    rec.intervalCount = intervalCount;
    rec.triggered = withTriggers;
    rec.alt.reserve(count);
    rec.trigger.assign(count, false);
    Noise noise(seed);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * stepSeconds;
        const double meters = FlightAltitude(shape, t, nullptr) + noise.Next(0.8);
        rec.alt.push_back(std::round(MetersToUnit(meters, unit)));
    }
    if (withTriggers) {
        for (double tt : triggerTimes) {
            const auto i = static_cast<size_t>(std::ceil(tt / stepSeconds));
            if (i < count) rec.trigger[i] = true;
        }
    }
    return rec;
}

} // namespace

std::vector<Recording> BuiltInRecordings(int unit) {
    // The module's timing step is 100 ms, so an interval count of 1 samples ten times a second.
    constexpr double kStep = 0.1;
    std::vector<Recording> sets;

    const FlightShape rocket{3.0, 2.5, 60.0, 14.0, 18.0, 200.0, 6.0, 10.0};
    sets.push_back(MakeFlight(rocket, 1, kStep, 0x5eed01, unit, false, "rocket flight"));

    const FlightShape staged{2.0, 1.8, 55.0, 13.0, 22.0, 150.0, 5.5, 8.0};
    sets.push_back(
        MakeFlight(staged, 2, 2 * kStep, 0x5eed02, unit, true, "flight with trigger marks"));

    // A day on a hill top, one sample a second: the pressure drifts with the weather.
    Recording longRec;
    longRec.name = "long recording";
    longRec.intervalCount = 10;
    longRec.alt.reserve(65535);
    longRec.trigger.assign(65535, false);
    Noise noise(0x5eed03);
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    for (int i = 0; i < 65535; ++i) {
        const double t = i;
        const double meters = 250.0 + 15.0 * std::sin(kTwoPi * t / 86400.0) +
                              4.0 * std::sin(kTwoPi * t / 43200.0 + 1.0) + noise.Next(1.0);
        longRec.alt.push_back(std::round(MetersToUnit(meters, unit)));
    }
    sets.push_back(std::move(longRec));

    Recording empty;
    empty.name = "empty set";
    sets.push_back(std::move(empty));
    return sets;
}

std::vector<uint8_t> EncodeRecording(const Recording& rec, int setNumber) {
    size_t markers = 0;
    for (size_t i = 0; i < rec.alt.size(); ++i)
        if (i < rec.trigger.size() && rec.trigger[i]) ++markers;
    const size_t words = rec.alt.size() + markers;
    // A count that does not fit the field is sent as 0, "not given".
    const uint16_t wordCount = words > 0xFFFF ? 0 : static_cast<uint16_t>(words);
    const auto interval = static_cast<uint16_t>(rec.intervalCount);

    std::vector<uint8_t> out;
    out.reserve(6 + 2 * words);
    out.push_back(static_cast<uint8_t>(setNumber));
    out.push_back(static_cast<uint8_t>(interval >> 8));
    out.push_back(static_cast<uint8_t>(interval & 0xFF));
    out.push_back(static_cast<uint8_t>(wordCount >> 8));
    out.push_back(static_cast<uint8_t>(wordCount & 0xFF));
    out.push_back(rec.triggered ? 1 : 0);
    auto put = [&out](uint16_t w) {
        out.push_back(static_cast<uint8_t>(w >> 8));
        out.push_back(static_cast<uint8_t>(w & 0xFF));
    };
    for (size_t i = 0; i < rec.alt.size(); ++i) {
        if (i < rec.trigger.size() && rec.trigger[i]) put(0x8201); // marker, trigger input 1
        double a = std::round(rec.alt[i]);
        if (!(a >= -32768.0)) a = -32768.0; // also catches NaN
        if (a > 32767.0) a = 32767.0;
        auto v = static_cast<int>(a);
        // Words 0x82xx are markers, so the module cannot record -32256 .. -32001; it sends
        // the nearest altitude it can.
        if (v >= -32256 && v <= -32001) v = -32000;
        put(static_cast<uint16_t>(static_cast<int16_t>(v)));
    }
    return out;
}

std::array<uint8_t, 28> DefaultConfigBlock(int unit) {
    std::array<uint8_t, 28> b{};
    auto put16 = [&b](size_t at, uint16_t v) {
        b[at] = static_cast<uint8_t>(v >> 8);
        b[at + 1] = static_cast<uint8_t>(v & 0xFF);
    };
    put16(0, 0x5601);                                       // Word0, firmware's own marker
    put16(2, 1);                                            // IntervalCount: one step
    b[4] = static_cast<uint8_t>(unit);                      // AltUnit
    b[5] = 1;                                               // DisplayOption
    put16(6, 100);                                          // BaseStep, ms
    put16(8, 0x0040);                                       // Word8
    put16(10, 0x1000);                                      // Word10
    b[12] = 0;                                              // RevTrig
    b[13] = 0;                                              // Triggered
    put16(14, 30);                                          // AutoStartSec
    put16(16, 600);                                         // AutoStopSec
    put16(18, static_cast<uint16_t>(unit == 0 ? 100 : 30)); // AutoStartAltitude
    put16(20, static_cast<uint16_t>(unit == 0 ? 50 : 15));  // AutoStopAltitude
    b[22] = 2;                                              // AutoStart: above altitude
    b[23] = 2;                                              // AutoStop: below altitude
    b[24] = 2;                                              // AutoZero: on power-up
    b[25] = 3;                                              // ModuleVersion
    b[26] = 8;                                              // MemorySize: 64 KB
    b[27] = 0;                                              // Byte27
    return b;
}

std::vector<std::string> DefaultIdentity() {
    return {"VEMO Altitude Recorder", "VM-2 (simulated)", "2.10", "06-18-04"};
}

} // namespace vemosim
