#include "engine/CymbalVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

CymbalVoice::CymbalVoice() { setSampleRate(44100.0f); }

void CymbalVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    lowStage.setSampleRate(sampleRate);
    lowStage.setHighPass(2800.0, 2.0);
    midStage.setSampleRate(sampleRate);
    midStage.setHighPass(8840.0, 1.5);
    highStage.setSampleRate(sampleRate);
    highStage.setHighPass(8840.0, 7.5);
    lowA = dsp::onePoleCoefficient(5000.0, sampleRate);
    lowState = 0.0;
    setDecay(decay);
}

void CymbalVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    amplitude = 2.645 * velocity;
    countdown = 0.00097 * sampleRate;
    attackTarget = 1.0;
    attack = 0.0;
    attackRate = 0.2 * rateFactor;
    fall1 = 1.0;
    fall2 = 0.0;
    fall2Rate = 0.003 * rateFactor;
    fall3 = 0.0;
    tailSource = 1.0;
    tailSmooth = 0.0;
    tailSmoothRate = 0.00025 * rateFactor;
}

void CymbalVoice::setTone(double x) { tone = x; }

// Rates are held in 0..1: outside the Decay range their curves would stop the fall (and
// then make it grow) or make it overshoot and diverge.
void CymbalVoice::setDecay(double x) {
    decay = x;
    fall1Rate = std::clamp((0.00035 - 0.0001 * x) * rateFactor, 0.0, 1.0);
    fall3Rate = std::clamp(
        0.01 * rateFactor * (0.02450000000009336 * std::exp(-2.5055259369629344 * x) + 0.0029999999999678127), 0.0,
        1.0);
    tailSourceRate = std::clamp(
        0.001 * rateFactor * (0.08100000000008598 * std::exp(-4.394449154698993887 * x) + 0.01899999999998158), 0.0,
        1.0);
}

}  // namespace vorlatek
