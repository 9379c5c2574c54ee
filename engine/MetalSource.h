#pragma once
// Six detuned square oscillators (210 to 806 Hz, unequal duty cycles) summed and sent
// through two band-passes: the metallic raw material of the cymbal and both hi-hats.
// "HH Filters Freq" moves both band centres together.

#include "engine/Biquad.h"
#include "engine/SharedSignals.h"

#include <array>

namespace vorlatek {

class MetalSource {
public:
    static constexpr int kOscillators = 6;

    void setSampleRate(double sampleRate);
    // x in 0..1: band centres 7117·(x + 0.5) and 3553·(x + 0.5) Hz; states are kept.
    void setFilterFrequency(double x);
    void step();
    // `frames` steps; the two band outputs of each go to out[].
    void render(SharedSignals* out, int frames);

    struct Oscillator {
        double period = 0.0;     // P, samples
        double threshold = 0.0;  // D, whole samples
        double phase = 0.0;
        double square = 0.5;
    };
    std::array<Oscillator, kOscillators> oscillators{};
    double sum = 0.0;
    dsp::Biquad band1;
    dsp::Biquad band2;
    double band1Output = 0.0;
    double band2Output = 0.0;
    double sampleRate = 44100.0;

private:
    void tuneBands(double centre1, double centre2);
};

}  // namespace vorlatek
