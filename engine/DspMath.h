#pragma once
// Constants and update rules shared by every voice and source of the engine.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vorlatek::dsp {

// Two doubles side by side in the lanes of one register, for two filters or oscillators of
// a voice that take the same steps: each lane rounds as the scalar arithmetic does.
using Pair = double __attribute__((vector_size(16)));

// Added to every recursive update so that decaying states never become denormal numbers.
inline constexpr double kEpsilon = 1e-24;
// The single-precision π and 2π, widened: the sound is defined with these values.
inline constexpr double kPi = static_cast<double>(3.14159274f);
inline constexpr double kTwoPi = static_cast<double>(6.28318548f);

// x follows target at `rate` per sample: x ← x − ((x − target)·rate + ε).
inline void smooth(double& x, double target, double rate) { x = x - ((x - target) * rate + kEpsilon); }
// x falls toward 0 at `rate` per sample: x ← x − (x·rate + ε).
inline void decay(double& x, double rate) { x = x - (x * rate + kEpsilon); }

// A per-sample rate scaled up for a low sample rate can pass 1, where x − (x − t)·rate
// overshoots its target (and past 2 grows without bound); such a rate means "reach the
// target at once", so it is held at 1. Rates below 1 pass unchanged.
inline double limitRate(double rate) { return rate < 1.0 ? rate : 1.0; }

// A filter corner held inside 20 Hz .. 0.49·sr: at 0 Hz and below, or at and past
// Nyquist, the high-pass designs turn unstable.
inline double limitCorner(double corner, double sampleRate) { return std::clamp(corner, 20.0, 0.49 * sampleRate); }

// A knob value held in 0..1; NaN counts as 0.
inline double clampUnit(double x) { return std::fmin(std::fmax(x, 0.0), 1.0); }

// True in the one sample where a countdown (decremented by 1 per sample, tested before
// the decrement) rounds to 0. Halves round up (−0.5 to 0, 0.5 to 1), so that the test fires
// exactly once whatever fraction the countdown started with; rounding them away from zero
// would skip 0 for a countdown that passes ±0.5 exactly (at 50 kHz, 0.97 ms is 48.5 samples).
inline bool countdownDue(double countdown) { return countdown >= -0.5 && countdown < 0.5; }

// How many doubles `to` lies after `from` (negative before it), for the gathers and scatters
// that reach several buffers from one base address.
inline std::int64_t doublesBetween(const double* from, const double* to) {
    return static_cast<std::int64_t>((reinterpret_cast<std::intptr_t>(to) - reinterpret_cast<std::intptr_t>(from)) /
                                     static_cast<std::intptr_t>(sizeof(double)));
}

// True when a and b are the same double to the bit (unlike ==, which equates +0 and −0).
inline bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// smooth(x → target, rate), with no work while x rests: a step that leaves x exactly where
// it was would leave it there in every later step while the target and the rate stay the
// same. `restTarget` is the target x came to rest at (NaN while it moves); whoever changes
// the rate, or writes x, sets it back to NaN. (A target of +0 and one of −0 move x alike.)
inline void smoothToRest(double& x, double target, double rate, double& restTarget) {
    if (target == restTarget) return;
    const double before = x;
    smooth(x, target, rate);
    restTarget = sameBits(x, before) ? target : std::numeric_limits<double>::quiet_NaN();
}

// The gain that brings a voice part whose power at a rate is power(rate) to the power it
// has at 44.1 kHz (exactly 1 there). Below 22.05 kHz, where the top of the voices' sound is
// gone anyway, the gain of 22.05 kHz holds rather than growing without bound.
template <class Power>
double levelCompensation(double sampleRate, Power power) {
    if (sampleRate == 44100.0) return 1.0;
    return std::sqrt(power(44100.0) / power(std::max(sampleRate, 22050.0)));
}

// Pitch factor of the "Tunning" knobs of the tuned percussion: ×0.905 at 0, ×1 at 0.5,
// ×1.131 at 1.
inline double tuneFactor(double t) { return t * (0.072 * t + 0.154) + 0.905; }
// Damping factor of their "Decay" knobs: ×4 (short) at 0, ×1 at 0.5, ×0.25 (long) at 1.
inline double decayFactor(double d) { return 4.0 * std::pow(0.0625, d); }

// Frequency coefficient 2·sin(π·base·factor/sr) of a resonator tuned to `factor` times
// `base` Hz (the product is formed in that order).
inline double tunedCoefficient(double base, double factor, double sampleRate) {
    return 2.0 * std::sin(kPi * base * factor / sampleRate);
}

// Pole of a one-pole filter with its corner at `frequency`: exp(−2π·f/sr).
double onePoleCoefficient(double frequency, double sampleRate);

}  // namespace vorlatek::dsp
