#pragma once
// One transistor stage of the cymbal and hi-hats. The metal signal drives an exponential
// junction, u/(eᵘ − 1) − 1, whose output the envelope gates into a leaky accumulator;
// negative swings of the accumulator get through only weakly, so the stage adds a
// one-sided, gritty edge to the band-passed square waves. A resonant high-pass follows
// and removes the DC the gate leaves behind; its corner sets how bright the metal hisses.
//   u = s_in·m;  u ← u/(eᵘ − 1) − 1;  u ← k·u·e
//   acc ← w·u + (0.01·e³ + 0.05)·e + (1 − L·R)·acc;  acc < 0: acc ← f·acc
//   out = (192000/sr)·acc·s_out

#include "engine/Biquad.h"
#include "engine/FastMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

class DriveStage {
public:
    struct Shape {
        double inputScale;      // s_in
        double gain;            // k
        double weight;          // w
        double leak;            // L, per sample at 44.1 kHz
        double negativeFactor;  // f
        double outputScale;     // s_out
    };

    explicit DriveStage(const Shape& shape);

    // Output scale and leak for the rate; clears the accumulator and the high-pass states.
    // Call setHighPass afterwards: the corner depends on the rate.
    void setSampleRate(double rate);
    // The high-pass after the stage at `corner` Hz with α = sin ω/(2q); states are kept.
    // The corner is held inside (20 Hz, 0.49·sr): beyond Nyquist (or at 0 Hz and below)
    // the design turns unstable.
    void setHighPass(double corner, double q);

    // u/(eᵘ − 1) − 1: about −u/2 near 0, toward −1 for large positive u, toward |u| − 1 for
    // large negative u. Where |u| is so small that eᵘ − 1 carries less precision than the
    // result itself (|u| < √(double ε), about 1.5e-8) it returns the limit at 0, which is 0.
    static double junction(double u) { return junctionOf(u, dsp::fastExp(u)); }
    // The same from u and eᵘ.
    static double junctionOf(double u, double expU) {
        const double j = u / (expU - 1.0) - 1.0;
        return std::fabs(u) < kJunctionGuard ? 0.0 : j;
    }
    static constexpr double kJunctionGuard = 1.4901161193847656e-8;  // 2^-26 = √(double ε)

    // One sample of the stage alone, from the junction's output j = junction(s_in·m); the
    // value also stays in `value`.
    double driveJunction(double j, double envelope) {
        const double u = shape.gain * j * envelope;
        accumulator = shape.weight * u + (0.01 * envelope * envelope * envelope + 0.05) * envelope +
                      retain * accumulator;
        // acc < 0: f·acc. With 0 ≤ f ≤ 1 that is the larger of the two, taken without a
        // branch: the sign of the accumulator follows the metal's edges, which no branch
        // predictor can guess.
        accumulator = std::max(accumulator, shape.negativeFactor * accumulator);
        value = scale * accumulator * shape.outputScale;
        return value;
    }
    // The same from the metal signal m.
    double drive(double metal, double envelope) { return driveJunction(junction(shape.inputScale * metal), envelope); }
    // One sample of the stage and its high-pass, from the junction's output (the engine works
    // out the junctions of a run for all the stages at once).
    double processJunction(double j, double envelope) { return highPass.process(driveJunction(j, envelope)); }

    Shape shape;
    double accumulator = 0.0;
    double value = 0.0;      // stage output of the last sample, before the high-pass
    double retain = 0.0;     // 1 − L·R
    double scale = 0.0;      // 192000/sr
    double sampleRate = 0.0;
    dsp::Biquad highPass;
};

// The cymbal's low stage, fed by the lower metal band and its slow tail envelope.
inline constexpr DriveStage::Shape kCymbalLowDrive{300.0, -0.01, 0.7, 0.1, 0.1, 0.2};
// The stage of the cymbal's mid and high bands and of both hi-hats, fed by the upper band.
inline constexpr DriveStage::Shape kMetalDrive{1000.0, -0.002, 1.7, 0.3, 0.01, 1.0};
static_assert(kCymbalLowDrive.negativeFactor >= 0.0 && kCymbalLowDrive.negativeFactor <= 1.0 &&
                  kMetalDrive.negativeFactor >= 0.0 && kMetalDrive.negativeFactor <= 1.0,
              "driveJunction takes f·acc for acc < 0 as the larger of the two");

// The junction output of the kMetalDrive stages for the upper band's sample: the same for
// all four of them (cymbal mid and high, both hi-hats), so it is worked out once a frame.
inline double metalJunction(double band1) { return DriveStage::junction(kMetalDrive.inputScale * band1); }
// The junction output of the cymbal's low stage for the lower band's sample.
inline double cymbalLowJunction(double band2) { return DriveStage::junction(kCymbalLowDrive.inputScale * band2); }

}  // namespace vorlatek
