#include "engine/CowBellVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

CowBellVoice::CowBellVoice() { setSampleRate(44100.0f); }

void CowBellVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    phase_ = Pair{0.0, 0.0};
    slew_ = Pair{0.0, 0.0};
    risingRate_ = Pair{0.1 * rateFactor, 0.12 * rateFactor};
    fallingRate_ = dsp::limitRate(0.7 * rateFactor);
    const double w = dsp::Biquad::omega(806.0, sampleRate);
    highPass.setHighPass(std::cos(w), std::sin(w) / 6.0);
    highPass.reset();
    setTuning(tuning);
    setDecay(decay);
}

void CowBellVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    countdown = 0.00097 * sampleRate;
    envelopeTarget = 1.0;
    envelopes_ = Pair{0.0, 0.0};
    envelopeRates_ = Pair{0.025 * rateFactor, 0.025 * rateFactor};
}

void CowBellVoice::setTuning(double t) {
    tuning = t;
    baseFrequency = 210.1 * (t + 0.5);
    period_ = Pair{sampleRate / (2.58686 * baseFrequency), sampleRate / (3.8386482 * baseFrequency)};
    threshold_ = Pair{std::trunc(0.4375 * period_[0]), std::trunc(0.4354 * period_[1])};
}

void CowBellVoice::setDecay(double d) {
    decay = d;
    decayFactor = 0.14285714286308415 * std::exp(4.15888308331952139 * (1.0 - d)) + 0.8571428571313702;
    // Far below Decay 0 the fast rate would pass 1: the fall would overshoot, then diverge.
    decayFactor = std::min(decayFactor, rateUp / 0.003);
}

}  // namespace vorlatek
