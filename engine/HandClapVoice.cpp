#include "engine/HandClapVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

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
    for (tabulated_ = 0; tabulated_ < kTabulatedSteps; ++tabulated_) {
        gainTable_[tabulated_] = gainOf(course);
        advanceBurst(course, index, rateFactor);
    }
    stepsSinceTrigger_ = tabulated_;
    setTone(tone);
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
    amplitude = 2.645 * velocity;
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
