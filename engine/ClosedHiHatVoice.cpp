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

double ClosedHiHatVoice::step(const SharedSignals& in, double level) {
    if (dsp::countdownDue(countdown)) {
        attackTarget = 0.0;
        envelopeRate = decayRate * rateFactor;
    }
    countdown -= 1.0;
    const double y = stage.processJunction(in.metalJunction, envelope);
    dsp::smooth(envelope, attackTarget, envelopeRate);
    const double v = y * level * 0.44;
    return v;
}

double ClosedHiHatVoice::render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }

void ClosedHiHatVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                                     PeakFollower& follower) {
    stepThroughFir(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
