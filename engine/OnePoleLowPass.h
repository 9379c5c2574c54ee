#pragma once
// One-pole low-pass: y ← a·y + (1 − a)·x + ε, a = exp(−2π·f/sr).

#include "engine/DspMath.h"

namespace vorlatek::dsp {

struct OnePoleLowPass {
    double a = 0.0;
    double y = 0.0;

    void setFrequency(double frequency, double sampleRate) { a = onePoleCoefficient(frequency, sampleRate); }
    void reset() { y = 0.0; }
    double process(double x) {
        y = a * y + (1.0 - a) * x + kEpsilon;
        return y;
    }
};

}  // namespace vorlatek::dsp
