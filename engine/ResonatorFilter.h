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
//
// ResonatorPair steps two resonators side by side in the lanes of one register, each lane
// in the same order of operations as a ResonatorFilter alone.

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek::dsp {

template <class T>
struct BasicResonator {
    T F{};
    T q{};
    T low{};
    T band{};

    static double frequencyCoefficient(double centre, double sampleRate) {
        return 2.0 * std::sin(kPi * centre / sampleRate);
    }
    void reset() {
        low = T{};
        band = T{};
    }
    // One sample in, the band out. In a voice's loop F and q hold still and their products
    // are worked out once, before it.
    T process(T x) {
        advance(x);
        return band;
    }
    // The same step, leaving the band in `band` (for lanes too wide to pass around by value).
    void advance(const T& x) {
#if defined(VORLATEK_EXACT_MATHS)
        const T h = x - q * band + kEpsilon;
        low = low + F * band + kEpsilon;
        const T high = h - low + kEpsilon;
        band = band + F * high + kEpsilon;
#else
        const T retain = 1.0 - F * (q + F);
        const T drive = F * x + (1.0 + F) * kEpsilon;
        const T next = (drive - F * low) + retain * band;
        low = (low + kEpsilon) + F * band;
        band = next;
#endif
    }
};

using ResonatorFilter = BasicResonator<double>;
using ResonatorPair = BasicResonator<Pair>;

}  // namespace vorlatek::dsp
