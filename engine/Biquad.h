#pragma once
// Direct-form-I biquad with the three designs the voices use. ω = 2π·f/sr; the caller
// gives α (sin ω/(2Q), written by each voice in its own form).
//   y = b0·x + b1·x1 + b2·x2 − a1·y1 − a2·y2 + ε

#include "engine/DspMath.h"

namespace vorlatek::dsp {

struct Biquad {
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

    static double omega(double frequency, double sampleRate) { return kTwoPi * frequency / sampleRate; }

    // Designs from cos ω and α; states are left as they are.
    void setHighPass(double cosOmega, double alpha);
    void setLowPass(double cosOmega, double alpha);
    void setBandPass(double cosOmega, double alpha);  // 0 dB peak

    void reset() { x1 = x2 = y1 = y2 = 0.0; }
    double process(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2 + kEpsilon;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

}  // namespace vorlatek::dsp
