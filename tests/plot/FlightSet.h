#pragma once
// A recording as the module makes it of a small rocket flight: on the pad, boost, coast to
// apogee, drogue descent, main parachute, landing. Sampled every `step` seconds from time 0,
// altitude in feet with a little deterministic noise, and two trigger marks.
#include "data/PlotDocument.h"

#include <cmath>
#include <cstdint>

// The flight in metres and seconds, and the times its phases begin and end.
namespace flight {
constexpr double pad = 3.0, burn = 2.5, accel = 60.0, decel = 14.0;
constexpr double drogue = 18.0, mainAlt = 200.0, mainRate = 6.0;
constexpr double vBurn = accel * burn, hBurn = 0.5 * accel * burn * burn;
constexpr double coast = vBurn / decel, apogeeT = pad + burn + coast;
constexpr double apogee = hBurn + vBurn * coast / 2.0;
constexpr double mainT = apogeeT + (apogee - mainAlt) / drogue;
constexpr double landingT = mainT + mainAlt / mainRate;
} // namespace flight

inline double FlightFeet(double t) {
    using namespace flight;
    double m = 0.0;
    if (t < pad)
        m = 0.0;
    else if (t < pad + burn)
        m = 0.5 * accel * (t - pad) * (t - pad);
    else if (t < apogeeT)
        m = hBurn + vBurn * (t - pad - burn) - 0.5 * decel * (t - pad - burn) * (t - pad - burn);
    else if (t < mainT)
        m = apogee - drogue * (t - apogeeT);
    else
        m = std::max(0.0, mainAlt - mainRate * (t - mainT));
    return m / 0.3048;
}

// Fills data set k of `doc` with the flight; returns the sample count.
inline int FillFlight(vemo::PlotDocument& doc, int k, double step = 0.25, double seconds = 110.0) {
    vemo::SampleStore& s = doc.AltSignal(k)->Samples;
    s.Resize(0);
    std::uint32_t noise = 0x5eed01;
    for (int i = 0; i * step <= seconds; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double jitter = static_cast<double>(noise >> 8) / (1u << 24) * 4.0 - 2.0;
        s.Append(i * step, std::round(FlightFeet(i * step) + jitter));
    }
    vemo::SampleStore& trig = doc.TrigSignal(k)->Samples;
    trig.Resize(0);
    for (double t : {5.5, 40.0})
        trig.Append(t, std::round(FlightFeet(t)));
    doc.AltSignal(k)->Name = "Flight";
    return s.Count();
}
