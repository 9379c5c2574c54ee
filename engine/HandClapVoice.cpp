#include "engine/HandClapVoice.h"

#include "engine/DspMath.h"
#include "engine/VoiceRun.h"

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

double HandClapVoice::step(const SharedSignals& in, double level) {
    if (countdown <= 0.0) {
        envelopeTarget = 0.0;
        tail1Rate = reverbRate * rateFactor;
    }
    countdown -= 1.0;

    burstGain = stepsSinceTrigger_ < tabulated_ ? gainTable_[stepsSinceTrigger_++] : gainOf(burst);
    drive = 8.0 * hiss.processWithoutEpsilon(in.noiseA);
    const double band1 = resonator1.process(drive);
    const double band2 = resonator2.process(band1);
    mix = 0.8 * (band2 + band1);
    hush = hush * hushA + (1.0 - hushA) * mix;
    hushOut = hush;
    tail1 = tail1 - (tail1 - envelopeTarget) * tail1Rate;
    tail2 = tail2 - (tail2 - tail1) * tail2Rate;
    tail2Out = tail2;
    const double out = (2.0 * mix * burstGain + 0.15 * tail2Out * hushOut) * amplitude * level;

    advanceBurst(burst, burstIndex, rateFactor);
    return out;
}

double HandClapVoice::render(const SharedSignals& in) { return step(in, levelSmoothed); }

void HandClapVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                                  PeakFollower& follower) {
    stepOver(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
