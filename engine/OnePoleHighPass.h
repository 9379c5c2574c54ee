#pragma once
// One-pole high-pass: y ← a·y + g·(x − xPrev) + ε; xPrev ← x, with a = exp(−2π·f/sr) and
// g = (1 + a)/2 unless a voice sets g itself.

#include "engine/DspMath.h"

namespace vorlatek::dsp {

struct OnePoleHighPass {
    double a = 0.0;
    double g = 0.0;
    double y = 0.0;
    double xPrev = 0.0;

    void setFrequency(double frequency, double sampleRate) {
        a = onePoleCoefficient(frequency, sampleRate);
        g = (1.0 + a) / 2.0;
    }
    void reset() {
        y = 0.0;
        xPrev = 0.0;
    }
    double process(double x) {
        y = a * y + (x - xPrev) * g + kEpsilon;
        xPrev = x;
        return y;
    }
    // The same update without ε, for the stages written without it.
    double processWithoutEpsilon(double x) {
        y = a * y + (x - xPrev) * g;
        xPrev = x;
        return y;
    }
};

}  // namespace vorlatek::dsp
