#pragma once
// Constants and update rules shared by every voice and source of the engine.

namespace vorlatek::dsp {

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

// Pole of a one-pole filter with its corner at `frequency`: exp(−2π·f/sr).
double onePoleCoefficient(double frequency, double sampleRate);

}  // namespace vorlatek::dsp
