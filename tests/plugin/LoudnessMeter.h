#pragma once
// Loudness of a rendered mono signal as a meter on the plug-in's stereo master would read it
// (the master carries the same signal on both channels): integrated loudness in LUFS, the
// loudest momentary (400 ms) reading, and the sample peak in dBFS. The K-weighting and gating
// are libebur128's.

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace vorlatek::test {

struct Loudness {
    double integrated = -std::numeric_limits<double>::infinity();   // LUFS
    double maxMomentary = -std::numeric_limits<double>::infinity(); // LUFS
    double peak = -std::numeric_limits<double>::infinity();         // dBFS, sample peak
};

inline double decibels(double amplitude) {
    return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}

inline Loudness measureLoudness(const std::vector<float>& signal, unsigned long sampleRate) {
    Loudness result;
    ebur128_state* state = ebur128_init(1, sampleRate, EBUR128_MODE_I | EBUR128_MODE_M);
    if (!state) return result;
    ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
    // Momentary loudness is read every 100 ms, the hop of the standard's meters.
    const std::size_t hop = sampleRate / 10;
    for (std::size_t start = 0; start < signal.size(); start += hop) {
        const std::size_t n = std::min(hop, signal.size() - start);
        ebur128_add_frames_float(state, signal.data() + start, n);
        double momentary = 0.0;
        if (ebur128_loudness_momentary(state, &momentary) == EBUR128_SUCCESS)
            result.maxMomentary = std::max(result.maxMomentary, momentary);
    }
    ebur128_loudness_global(state, &result.integrated);
    ebur128_destroy(&state);
    float peak = 0.0f;
    for (float x : signal) peak = std::max(peak, std::fabs(x));
    result.peak = decibels(peak);
    return result;
}

}  // namespace vorlatek::test
