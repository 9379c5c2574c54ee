#include "engine/RimShotVoice.h"

#include "engine/DspMath.h"
#include "engine/VoiceRun.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

using dsp::kEpsilon;

RimShotVoice::RimShotVoice() { RimShotVoice::setSampleRate(44100.0f); }

void RimShotVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    edge.setFrequency(10000.0, sampleRate);
    edge.reset();
    input1 = 0.0;
    input2 = 0.0;
    resonator1.reset();
    resonator2.reset();
    envelopeTarget = 0.0;
    const double w = dsp::Biquad::omega(570.0, sampleRate);
    highPass.setHighPass(std::cos(w), std::sin(w) / 6.0);
    highPass.reset();
    setTuning(tuning);
    setDecay(decay);
}

void RimShotVoice::setTuning(double t) {
    tuning = dsp::clampUnit(t);
    const double tuneFactor = dsp::tuneFactor(tuning);
    resonator1.F = dsp::tunedCoefficient(442.0, tuneFactor, sampleRate);
    resonator2.F = dsp::tunedCoefficient(1745.0, tuneFactor, sampleRate);
}

void RimShotVoice::setDecay(double d) {
    decay = dsp::clampUnit(d);
    decayFactor = dsp::decayFactor(decay);
    resonator1.q = 0.15 * decayFactor;
    resonator2.q = 0.1 * decayFactor;
}

void RimShotVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    envelopeTarget = 1.0;
    countdown = 0.00097 * sampleRate;
    strike1 = 1.0;
    strike1Rate = dsp::limitRate(0.04 * rateFactor);
    strike2 = 1.0;
    strike2Rate = dsp::limitRate(0.5 * rateFactor);
    envelope = 0.0;
    envelopeRate = dsp::limitRate(0.09 * rateFactor);
}

double RimShotVoice::step(const SharedSignals&, double level) {
    if (countdown <= 0.0) {
        envelopeTarget = 0.0;
        envelopeRate = dsp::limitRate(0.005 * rateFactor);
        strike1Rate = dsp::limitRate(0.4 * rateFactor);
    }
    countdown -= 1.0;

    input1 = 0.5 * strike1;
    input2 = strike2;
    clipped = std::clamp(2.5 * resonator1.process(input1), -1.0, 1.0);
    boosted = 1.25 * resonator2.process(input2);

    // Exponential shaper: 0 for a positive drive, down toward −1 for a negative one.
    // exp(0) − 1 is exactly 0, so a positive drive needs no exponential.
    double y = (0.5 * clipped - 4.5 * boosted) * 0.2;
    y = y >= 0.0 ? 0.0 : std::exp(50.0 * y) - 1.0;
    y = envelope * amplitude * y;
    const double crack = edge.processWithoutEpsilon(y);
    if (y < -0.5) y = crack + y;
    const double v = highPass.process(y) * level * -0.5;

    envelope = envelope - (envelope - envelopeTarget) * envelopeRate + kEpsilon;
    dsp::decay(strike1, strike1Rate);
    dsp::decay(strike2, strike2Rate);
    return v;
}

double RimShotVoice::render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }

void RimShotVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                                 PeakFollower& follower) {
    stepThroughFir(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
