#include "engine/HandClapVoice.h"

#include "engine/AudibleBand.h"
#include "engine/DspMath.h"
#include "engine/NoiseSource.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

namespace {

// Mean power of the clap's noise path at `sampleRate`: the shared noise through the hiss
// high-pass and both resonators at the middle Tone, as step() runs them, over half a
// second after they have settled; of the audible band only (see AudibleBand.h).
double noisePathPower(double sampleRate) {
    NoiseSource noise;
    noise.setSampleRate(sampleRate);
    dsp::OnePoleHighPass hiss;
    hiss.setFrequency(7300.0, sampleRate);
    dsp::ResonatorFilter resonator1, resonator2;
    resonator1.F = resonator2.F = dsp::tunedCoefficient(930.0, 1.0, sampleRate);
    resonator1.q = resonator2.q = 0.9;
    dsp::AudibleBand audible(sampleRate);
    const long settle = std::lround(0.01 * sampleRate), frames = std::lround(0.5 * sampleRate);
    double sum = 0.0;
    for (long n = 0; n < settle + frames; ++n) {
        noise.step();
        const double band1 = resonator1.process(8.0 * hiss.processWithoutEpsilon(noise.noiseA));
        const double band2 = resonator2.process(band1);
        const double mix = audible.process(0.8 * (band2 + band1));
        if (n >= settle) sum += mix * mix;
    }
    return sum / static_cast<double>(frames);
}

}  // namespace

HandClapVoice::HandClapVoice() { HandClapVoice::setSampleRate(44100.0f); }

void HandClapVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    burst = 0.0;
    burstIndex = 0;
    resonator1.q = 0.9;
    resonator2.q = 0.9;
    drive = 0.0;
    resonator1.reset();
    resonator2.reset();
    tail1 = 0.0;
    tail2 = 0.0;
    hiss.setFrequency(7300.0, sampleRate);
    hiss.reset();
    hushA = dsp::onePoleCoefficient(700.0, sampleRate);
    hush = 0.0;
    setReverb(reverb);

    // The course of the burst gain after a trigger, in the same arithmetic as render().
    double course = 0.4;
    std::int32_t index = 0;
    const int steps = std::min(kTabulatedSteps, static_cast<int>(kTabulatedSeconds * sampleRate));
    for (tabulated_ = 0; tabulated_ < steps; ++tabulated_) {
        gainTable_[tabulated_] = gainOf(course);
        advanceBurst(course, index, rateFactor);
    }
    stepsSinceTrigger_ = tabulated_;
    setTone(tone);

    // The noise is white at every rate, so the part of its power that falls in the clap's
    // band shrinks as the rate grows (and the filters' shapes change near the top of the
    // band): the clap is scaled so that its noise path has the power it has at 44.1 kHz.
    noiseCompensation = dsp::levelCompensation(sampleRate, noisePathPower);
}

void HandClapVoice::setTone(double t) {
    tone = dsp::clampUnit(t);
    const double F = dsp::tunedCoefficient(930.0, tone + 0.5, sampleRate);
    resonator1.F = F;
    resonator2.F = F;
}

void HandClapVoice::setReverb(double r) {
    reverb = dsp::clampUnit(r);
    reverbRate = 0.01 * (0.045 * std::exp(-2.1972245772713475 * reverb) + 0.005);
}

void HandClapVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    burstIndex = 0;
    amplitude = 2.645 * velocity * noiseCompensation;
    countdown = 0.00097 * sampleRate;
    envelopeTarget = 1.0;
    burst = 0.4;
    stepsSinceTrigger_ = 0;
    tail1 = 0.0;
    // 0.4 per sample at 44.1 kHz; never past 1, where the rise would overshoot.
    tail1Rate = dsp::limitRate(0.4 * rateFactor);
    tail2Rate = 0.0022 * rateFactor;
}

}  // namespace vorlatek
