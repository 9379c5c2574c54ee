#include "engine/ClavesVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

using dsp::kPi;

ClavesVoice::ClavesVoice() { ClavesVoice::setSampleRate(44100.0f); }

void ClavesVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    input = 0.0;
    resonator.reset();
    setTuning(tuning);
    setDecay(decay);
}

void ClavesVoice::setTuning(double t) {
    tuning = std::fmin(std::fmax(t, 0.0), 1.0);
    const double tuneFactor = tuning * (0.072 * tuning + 0.154) + 0.905;
    resonator.F = 2.0 * std::sin(kPi * 2424.0 * tuneFactor / sampleRate);
}

void ClavesVoice::setDecay(double d) {
    decay = std::fmin(std::fmax(d, 0.0), 1.0);
    decayFactor = 4.0 * std::pow(0.0625, decay);
    resonator.q = 0.015 * decayFactor;
}

void ClavesVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    countdown = 0.00097 * sampleRate;
    strike = 2.645 * velocity;
    // 0.7 per sample at 44.1 kHz; never past 1, where the strike would change sign and grow.
    strikeRate = std::min(0.7 * rateFactor, 1.0);
}

double ClavesVoice::render(const SharedSignals&) {
    countdown -= 1.0;
    input = 4.3 * strike;
    const double band = resonator.process(input);
    const double out = band * levelSmoothed * 0.181;
    dsp::decay(strike, strikeRate);
    return out;
}

}  // namespace vorlatek
