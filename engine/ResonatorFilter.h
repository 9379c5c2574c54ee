#pragma once
// Two-integrator resonator (a state-variable band-pass). F sets the centre, usually
// F = 2·sin(π·fc/sr); q is the damping: small q rings long.
//   h = x − q·band + ε; low ← low + F·band + ε; high = h − low + ε; band ← band + F·high + ε.
//
// Stepped as written, each sample is a chain of eight dependent operations from the old
// band to the new one, and a voice's loop waits on it. process() carries low and band
// forward together instead, the same update with `high` substituted:
//   band ← (1 − F·(q + F))·band + (F·x + (1 + F)·ε − F·low),  low ← (low + ε) + F·band,
// where the new band is two operations from the old band and three from the old low. It
// differs from the update as written by rounding only (tests/engine/ResonatorFilterTest.cpp
// bounds it); built with VORLATEK_EXACT_MATHS, process() steps the update as written.

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
    // In a voice's loop F and q hold still and their products are worked out once, before it.
    double process(double x) {
#if defined(VORLATEK_EXACT_MATHS)
        const double h = x - q * band + kEpsilon;
        low = low + F * band + kEpsilon;
        const double high = h - low + kEpsilon;
        band = band + F * high + kEpsilon;
#else
        const double retain = 1.0 - F * (q + F);
        const double drive = F * x + (1.0 + F) * kEpsilon;
        const double next = (drive - F * low) + retain * band;
        low = (low + kEpsilon) + F * band;
        band = next;
#endif
        return band;
    }
};

}  // namespace vorlatek::dsp
