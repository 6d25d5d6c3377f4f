#pragma once
// A recording as the module makes it of a small rocket flight: on the pad, boost, coast to
// apogee, drogue descent, main parachute, landing. Sampled every `step` seconds from time 0,
// altitude in feet with a little deterministic noise, and two trigger marks.
#include "data/PlotDocument.h"

#include <cmath>
#include <cstdint>

// The flight in metres and seconds: on the pad until Pad, a burn of Burn seconds at Accel,
// a coast decelerating at Decel to the apogee, the drogue's steady Drogue down to MainAlt, then
// the main's MainRate down to the ground.
struct FlightPlan {
    static constexpr double Pad = 3.0, Burn = 2.5, Accel = 60.0, Decel = 14.0;
    static constexpr double Drogue = 18.0, MainAlt = 200.0, MainRate = 6.0;
    static constexpr double VBurn = Accel * Burn, HBurn = 0.5 * Accel * Burn * Burn;
    static constexpr double ApogeeT = Pad + Burn + VBurn / Decel;
    static constexpr double Apogee = HBurn + VBurn * (VBurn / Decel) / 2.0;
    static constexpr double MainT = ApogeeT + (Apogee - MainAlt) / Drogue;
    static constexpr double LandingT = MainT + MainAlt / MainRate;
};

inline double FlightFeet(double t) {
    using F = FlightPlan;
    double m = 0.0;
    if (t < F::Pad)
        m = 0.0;
    else if (t < F::Pad + F::Burn)
        m = 0.5 * F::Accel * (t - F::Pad) * (t - F::Pad);
    else if (t < F::ApogeeT)
        m = F::HBurn + F::VBurn * (t - F::Pad - F::Burn) -
            0.5 * F::Decel * (t - F::Pad - F::Burn) * (t - F::Pad - F::Burn);
    else if (t < F::MainT)
        m = F::Apogee - F::Drogue * (t - F::ApogeeT);
    else
        m = std::max(0.0, F::MainAlt - F::MainRate * (t - F::MainT));
    return m / 0.3048;
}

// Its vertical speed, feet per second.
inline double FlightFeetPerSecond(double t) {
    using F = FlightPlan;
    double v = 0.0;
    if (t >= F::Pad && t < F::Pad + F::Burn)
        v = F::Accel * (t - F::Pad);
    else if (t >= F::Pad + F::Burn && t < F::ApogeeT)
        v = F::VBurn - F::Decel * (t - F::Pad - F::Burn);
    else if (t >= F::ApogeeT && t < F::MainT)
        v = -F::Drogue;
    else if (t >= F::MainT && t < F::LandingT)
        v = -F::MainRate;
    return v / 0.3048;
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
