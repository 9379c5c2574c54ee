#pragma once
// The activity follower of a sounding voice, over samples that cannot retire it: it falls by
// the factor (1 − rate) per sample and jumps up to any louder output.

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

// For the loops whose output no follower watches.
struct NoFollower {
    void operator()(double) {}
};

}  // namespace vorlatek
