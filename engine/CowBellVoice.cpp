#include "engine/CowBellVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

CowBellVoice::CowBellVoice() { setSampleRate(44100.0f); }

void CowBellVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    phase1 = 0.0;
    phase2 = 0.0;
    slew1 = 0.0;
    slew2 = 0.0;
    risingRate1 = 0.1 * rateFactor;
    risingRate2 = 0.12 * rateFactor;
    fallingRate = dsp::limitRate(0.7 * rateFactor);
    rate1 = risingRate1;
    rate2 = risingRate1;
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
    fast = 0.0;
    fastRate = 0.025 * rateFactor;
    slow = 0.0;
    slowRate = 0.025 * rateFactor;
}

void CowBellVoice::setTuning(double t) {
    tuning = t;
    baseFrequency = 210.1 * (t + 0.5);
    P1 = sampleRate / (2.58686 * baseFrequency);
    D1 = std::trunc(0.4375 * P1);
    P2 = sampleRate / (3.8386482 * baseFrequency);
    D2 = std::trunc(0.4354 * P2);
}

void CowBellVoice::setDecay(double d) {
    decay = d;
    decayFactor = 0.14285714286308415 * std::exp(4.15888308331952139 * (1.0 - d)) + 0.8571428571313702;
    // Far below Decay 0 the fast rate would pass 1: the fall would overshoot, then diverge.
    decayFactor = std::min(decayFactor, rateUp / 0.003);
}

}  // namespace vorlatek
