#include "engine/ClosedHiHatVoice.h"

#include "engine/DspMath.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

ClosedHiHatVoice::ClosedHiHatVoice() { setSampleRate(44100.0f); }

void ClosedHiHatVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    stage.setSampleRate(sampleRate);
    setTone(tone);
    setDecay(decay);
}

void ClosedHiHatVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    countdown = 0.00097 * sampleRate;
    attackTarget = 2.645 * velocity;
    envelope = 0.0;
    envelopeRate = 0.2 * rateFactor;
}

void ClosedHiHatVoice::setTone(double x) {
    tone = x;
    stage.setHighPass(10200.0 * (x + 0.5), 1.5);
}

void ClosedHiHatVoice::setDecay(double x) {
    decay = x;
    decayRate = 0.01 * (0.423837209300238 * std::exp(-2.0269089606884894 * x) - 0.023837209300276788);
    // Held in 0..1 per sample: above Decay 1.42 the curve turns negative (the note would
    // grow), far below 0 the fall would diverge.
    decayRate = std::clamp(decayRate, 0.0, rateUp);
}

double ClosedHiHatVoice::render(const SharedSignals& in) {
    if (dsp::countdownDue(countdown)) {
        attackTarget = 0.0;
        envelopeRate = decayRate * rateFactor;
    }
    countdown -= 1.0;
    const double y = stage.processJunction(in.metalJunction, envelope);
    dsp::smooth(envelope, attackTarget, envelopeRate);
    const double v = y * levelSmoothed * 0.44;
    return fir.process(v);
}

}  // namespace vorlatek
