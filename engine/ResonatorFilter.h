#pragma once
// Two-integrator resonator (a state-variable band-pass). F sets the centre, usually
// F = 2·sin(π·fc/sr); q is the damping: small q rings long.
//   h = x − q·band + ε; low ← low + F·band + ε; high = h − low + ε; band ← band + F·high + ε.

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek::dsp {

struct ResonatorFilter {
    double F = 0.0;
    double q = 0.0;
    double low = 0.0;
    double band = 0.0;

    static double frequencyCoefficient(double centre, double sampleRate) {
        return 2.0 * std::sin(kPi * centre / sampleRate);
    }
    void reset() {
        low = 0.0;
        band = 0.0;
    }
    double process(double x) {
        const double h = x - q * band + kEpsilon;
        low = low + F * band + kEpsilon;
        const double high = h - low + kEpsilon;
        band = band + F * high + kEpsilon;
        return band;
    }
};

}  // namespace vorlatek::dsp
