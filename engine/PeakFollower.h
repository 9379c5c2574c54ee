#pragma once
// The activity follower of a sounding voice: it falls by the factor (1 − rate) per sample
// and jumps up to any louder output. Whether it retires the voice is the caller's test.

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

struct PeakFollower {
    double peak;
    double rate;

    void operator()(double out) {
        dsp::decay(peak, rate);
        peak = std::max(peak, std::fabs(out));
    }
};

// In the place of a follower where nothing is to be followed.
struct NoFollower {
    void operator()(double) {}
};

}  // namespace vorlatek
