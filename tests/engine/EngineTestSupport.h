#pragma once
// Small measuring helpers shared by the engine tests.

#include "engine/DrumEngine.h"

#include <cmath>
#include <vector>

namespace vorlatek::test {

// Renders `frames` frames and returns one instrument's double-precision output.
inline std::vector<double> renderInstrument(DrumEngine& engine, int instrument, int frames) {
    std::vector<double> out;
    out.reserve(static_cast<std::size_t>(frames));
    EngineFrame frame;
    for (int n = 0; n < frames; ++n) {
        engine.renderFrame(frame);
        out.push_back(engine.voiceOut()[instrument]);
    }
    return out;
}

inline void renderFrames(DrumEngine& engine, int frames) {
    EngineFrame frame;
    for (int n = 0; n < frames; ++n) engine.renderFrame(frame);
}

// Frequency from the zero crossings (sign changes) of samples [begin, end).
inline double zeroCrossingFrequency(const std::vector<double>& x, std::size_t begin, std::size_t end,
                                    double sampleRate) {
    int first = -1, last = -1, crossings = 0;
    for (std::size_t n = begin + 1; n < end; ++n) {
        if ((x[n - 1] < 0.0) != (x[n] < 0.0)) {
            if (first < 0) first = static_cast<int>(n);
            last = static_cast<int>(n);
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) / 2.0 / ((last - first) / sampleRate);
}

// Seconds after which |x| stays below `fraction` of its maximum.
inline double settleTime(const std::vector<double>& x, double fraction, double sampleRate) {
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    std::size_t last = 0;
    for (std::size_t n = 0; n < x.size(); ++n)
        if (std::fabs(x[n]) >= fraction * peak) last = n;
    return static_cast<double>(last) / sampleRate;
}

// RMS of x between two times in seconds.
inline double rmsBetween(const std::vector<double>& x, double from, double to, double sampleRate) {
    const auto begin = static_cast<std::size_t>(from * sampleRate), end = static_cast<std::size_t>(to * sampleRate);
    double sum = 0.0;
    for (std::size_t n = begin; n < end; ++n) sum += x[n] * x[n];
    return std::sqrt(sum / static_cast<double>(end - begin));
}

inline double peakOf(const std::vector<double>& x) {
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    return peak;
}

}  // namespace vorlatek::test
