#pragma once
// Levels of a rendered sound as a listener hears them: the integrated loudness (EBU R 128,
// measured by libebur128) and the peak level, the loudest 5 ms (RMS; a single sample's peak
// of noise or of a sharp click says more about where the samples fall than about the
// sound). Both are taken of the audible band (engine/AudibleBand.h), the band a 44.1 kHz
// render holds.

#include "engine/AudibleBand.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorlatek::test {

struct Levels {
    double loudness = 0.0;  // LUFS
    double peak = 0.0;      // dB of the loudest 5 ms
};

inline Levels measureLevels(std::vector<double> x, double sampleRate) {
    dsp::AudibleBand audible(sampleRate);
    for (double& v : x) v = audible.process(v);
    Levels levels;
    ebur128_state* meter = ebur128_init(1, static_cast<unsigned long>(sampleRate), EBUR128_MODE_I);
    EXPECT_NE(meter, nullptr);
    if (!meter) return levels;
    ebur128_add_frames_double(meter, x.data(), x.size());
    ebur128_loudness_global(meter, &levels.loudness);
    ebur128_destroy(&meter);

    const auto window = static_cast<std::size_t>(std::max(1L, std::lround(0.005 * sampleRate)));
    double sum = 0.0, loudest = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        sum += x[n] * x[n];
        if (n >= window) sum -= x[n - window] * x[n - window];
        loudest = std::max(loudest, sum / static_cast<double>(window));
    }
    levels.peak = 10.0 * std::log10(loudest);
    return levels;
}

}  // namespace vorlatek::test
