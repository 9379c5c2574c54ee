#include "engine/RimShotVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

using dsp::kEpsilon;

RimShotVoice::RimShotVoice() { RimShotVoice::setSampleRate(44100.0f); }

void RimShotVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    edge.setFrequency(10000.0, sampleRate);
    edge.reset();
    inputs = dsp::Pair{0.0, 0.0};
    resonators.reset();
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
    resonators.F = dsp::Pair{dsp::tunedCoefficient(442.0, tuneFactor, sampleRate),
                             dsp::tunedCoefficient(1745.0, tuneFactor, sampleRate)};
}

void RimShotVoice::setDecay(double d) {
    decay = dsp::clampUnit(d);
    decayFactor = dsp::decayFactor(decay);
    resonators.q = dsp::Pair{0.15 * decayFactor, 0.1 * decayFactor};
}

void RimShotVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    envelopeTarget = 1.0;
    countdown = 0.00097 * sampleRate;
    strikes = dsp::Pair{1.0, 1.0};
    strikeRates = dsp::Pair{dsp::limitRate(0.04 * rateFactor), dsp::limitRate(0.5 * rateFactor)};
    envelope = 0.0;
    envelopeRate = dsp::limitRate(0.09 * rateFactor);
}

}  // namespace vorlatek
