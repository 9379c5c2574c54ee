#pragma once
// White noise from a two-word xor/add generator with a fixed seed, then two coloured
// forms: noiseA, low-passed at 2 kHz (snare wires, clap, maracas), and noiseB, noiseA
// through a resonant 170 Hz low-pass (the rumble under the toms). The sequence restarts
// identically on every sample-rate change.

#include "engine/Biquad.h"
#include "engine/DspMath.h"
#include "engine/SharedSignals.h"

#include <cstdint>

namespace vorlatek {

class NoiseSource {
public:
    void setSampleRate(double sampleRate);
    void step() {
        stepNoiseA();
        stepNoiseB(noiseA);
    }
    // The two halves of a step, which a run may take in two loops: the white noise and
    // noiseA, then noiseB from that noiseA.
    void stepNoiseA() {
        white = static_cast<double>(static_cast<std::int32_t>(s1)) * (1.0 / 4294967296.0);
        s0 = s0 ^ s1;
        s1 = s1 + s0;
        lowState = lowA * lowState + (1.0 - lowA) * white + dsp::kEpsilon;
        noiseA = 1.5 * lowState;
    }
    void stepNoiseB(double a) { noiseB = 4.0 * lowPass.process(a); }
    // `frames` steps; noiseA and noiseB of each go to out[].
    void render(SharedSignals* out, int frames);

    std::uint32_t s0 = 0x67452301u;
    std::uint32_t s1 = 0xefcdab89u;
    double white = 0.0;
    double lowState = 0.0;
    double lowA = 0.0;
    double noiseA = 0.0;
    dsp::Biquad lowPass;
    double noiseB = 0.0;
};

}  // namespace vorlatek
