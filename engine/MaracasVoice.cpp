#include "engine/MaracasVoice.h"

#include "engine/AudibleBand.h"
#include "engine/DspMath.h"
#include "engine/NoiseSource.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

namespace {

constexpr double kBaseCorner = 10009.0;  // Hz at cornerFactor 1 (Tone 0.5)
constexpr double kQ = 1.5;

// The resonant high-pass at `corner` Hz, in the bilinear form.
void designHighPass(dsp::Biquad& highPass, double corner, double sampleRate) {
    corner = dsp::limitCorner(corner, sampleRate);
    const double k = std::tan(dsp::kPi * corner / sampleRate);
    const double n = 1.0 / (1.0 + k / kQ + k * k);
    highPass.b0 = n;
    highPass.b1 = -2.0 * n;
    highPass.b2 = n;
    highPass.a1 = 2.0 * n * (k * k - 1.0);
    highPass.a2 = n * (1.0 - k / kQ + k * k);
}

// Mean power of the maracas' noise path at `sampleRate`: the shared noise folded, through
// the high-pass at the middle Tone and the output FIR, as step() and render() run them,
// over half a second after they have settled. Only the audible band counts: what lies above
// 20 kHz at high rates, a 44.1 kHz render cannot hold, and nobody hears.
double noisePathPower(double sampleRate) {
    NoiseSource noise;
    noise.setSampleRate(sampleRate);
    dsp::Biquad highPass;
    designHighPass(highPass, kBaseCorner, sampleRate);
    dsp::OutputFir fir;
    dsp::AudibleBand audible(sampleRate);
    const long settle = std::lround(0.01 * sampleRate), frames = std::lround(0.5 * sampleRate);
    double sum = 0.0;
    for (long n = 0; n < settle + frames; ++n) {
        noise.step();
        const double out = audible.process(fir.process(highPass.process(-MaracasVoice::foldNoise(noise.noiseA))));
        if (n >= settle) sum += out * out;
    }
    return sum / static_cast<double>(frames);
}

}  // namespace

MaracasVoice::MaracasVoice() { setSampleRate(44100.0f); }

void MaracasVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    cornerFactor = 1.0;
    envelopeTarget = 0.0;
    tuneHighPass();
    highPass.reset();
    // The noise is white at every rate, so the part of its power that falls in the maracas'
    // band changes with the rate (and the filters' shapes near the top of the band): the
    // maracas are scaled so that their noise path has the power it has at 44.1 kHz.
    noiseCompensation = dsp::levelCompensation(sampleRate, noisePathPower);
}

void MaracasVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity * noiseCompensation;
    envelopeTarget = 1.0;
    countdown = 0.02 * sampleRate;
    stage1 = 0.0;
    stage1Rate = 0.003 * rateFactor;
    stage2 = 0.0;
    stage2Rate = 0.01 * rateFactor;
    cornerFactor = tone + 0.5;
    tuneHighPass();
}

void MaracasVoice::setTone(double t) {
    tone = t;
    cornerFactor = t + 0.5;
    tuneHighPass();
}

void MaracasVoice::tuneHighPass() { designHighPass(highPass, kBaseCorner * cornerFactor, sampleRate); }

}  // namespace vorlatek
