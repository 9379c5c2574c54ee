#include "engine/ClosedHiHatVoice.h"

#include "engine/DspMath.h"
#include "engine/VoiceRun.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

ClosedHiHatVoice::ClosedHiHatVoice() : HiHatVoice(10200.0) { setSampleRate(44100.0f); }

void ClosedHiHatVoice::setSampleRate(float rate) {
    HiHatVoice::setSampleRate(rate);
    setDecay(decay);
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

void ClosedHiHatVoice::renderRun(const SharedSignals* in, double* out, int frames) {
    renderVoiceRun(*this, in, out, frames);
}

}  // namespace vorlatek
