#include "engine/ClavesVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

ClavesVoice::ClavesVoice() { ClavesVoice::setSampleRate(44100.0f); }

void ClavesVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    input = 0.0;
    resonator.reset();
    setTuning(tuning);
    setDecay(decay);
}

void ClavesVoice::setTuning(double t) {
    tuning = dsp::clampUnit(t);
    const double tuneFactor = dsp::tuneFactor(tuning);
    resonator.F = dsp::tunedCoefficient(2424.0, tuneFactor, sampleRate);
}

void ClavesVoice::setDecay(double d) {
    decay = dsp::clampUnit(d);
    decayFactor = dsp::decayFactor(decay);
    resonator.q = 0.015 * decayFactor;
}

void ClavesVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    countdown = 0.00097 * sampleRate;
    strike = 2.645 * velocity;
    // 0.7 per sample at 44.1 kHz; never past 1, where the strike would change sign and grow.
    strikeRate = dsp::limitRate(0.7 * rateFactor);
}

}  // namespace vorlatek
