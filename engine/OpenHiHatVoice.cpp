#include "engine/OpenHiHatVoice.h"

#include "engine/DspMath.h"
#include "engine/VoiceRun.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

OpenHiHatVoice::OpenHiHatVoice() : HiHatVoice(8840.0) { setSampleRate(44100.0f); }

void OpenHiHatVoice::setSampleRate(float rate) {
    HiHatVoice::setSampleRate(rate);
    setDecay(decay);
}

void OpenHiHatVoice::trigger(float velocity) {
    HiHatVoice::trigger(velocity);
    choke = 1.0;
}

void OpenHiHatVoice::setDecay(double x) {
    decay = x;
    decayRate = 0.001 * (0.2688888888889135 * std::exp(-3.409496184475471 * x) + 0.05111111111139488);
    // Far below Decay 0 the fall per sample (decayRate·R) would pass 1 and diverge.
    decayRate = std::min(decayRate, rateUp);
}

double OpenHiHatVoice::step(const SharedSignals& in, double level) {
    // round(countdown) <= 0: from the end of the attack on, in every sample.
    if (countdown < 0.5) {
        attackTarget = 0.0;
        envelopeRate = choke == 1.0 ? decayRate * rateFactor : 0.001 * rateFactor;
    }
    countdown -= 1.0;
    previousEnvelope = envelope;
    const double y = stage.processJunction(in.metalJunction, previousEnvelope);
    const double v = y * level * 0.22;
    dsp::smooth(envelope, attackTarget, envelopeRate);
    if (envelope < 0.15 && attackTarget == 0.0) envelopeRate = 0.001 * rateFactor;
    return v;
}

double OpenHiHatVoice::render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }

void OpenHiHatVoice::renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                                   PeakFollower& follower) {
    stepThroughFir(*this, in, level, out, frames, follower);
}

}  // namespace vorlatek
