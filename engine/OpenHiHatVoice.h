#pragma once
// Open hi-hat: the upper metal band through one drive stage under an envelope that rises
// for 0.97 ms and then falls slowly, and a resonant high-pass whose corner "OH Tone" sets
// (4.4 to 13.3 kHz). "OH Decay" sets the length of the ring. A closed hi-hat chokes it:
// the engine sets `choke` to 8, and from the next sample the note falls at the fast rate
// 0.001·R until it ends.

#include "engine/HiHatVoice.h"
#include "engine/SharedSignals.h"

namespace vorlatek {

class OpenHiHatVoice final : public HiHatVoice {
public:
    OpenHiHatVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Fall per sample at 44.1 kHz: 0.00032 at x = 0, 0.0001 at 0.5, 0.00006 at 1.
    void setDecay(double x);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: the per-sample step, which the engine's
    // loops inline.
    double step(const SharedSignals& in, double level) {
        return finish(stage.processJunction(in.metalJunction, stageEnvelope()), level);
    }
    // The step in two halves around the drive stage, which the hi-hats stepped side by side
    // share: the envelope the stage takes this sample, then the rest of the sample from the
    // stage's high-passed output y.
    double stageEnvelope();
    double finish(double y, double level);
    static constexpr bool kHasOutputFir = true;

    double choke = 1.0;  // 1 while the note rings freely, 8 once a closed hi-hat choked it
    double previousEnvelope = 0.0;
};

inline double OpenHiHatVoice::stageEnvelope() {
    // round(countdown) <= 0: from the end of the attack on, in every sample.
    if (countdown < 0.5) {
        attackTarget = 0.0;
        envelopeRate = choke == 1.0 ? decayRate * rateFactor : 0.001 * rateFactor;
    }
    countdown -= 1.0;
    previousEnvelope = envelope;
    return previousEnvelope;
}

inline double OpenHiHatVoice::finish(double y, double level) {
    const double v = y * level * 0.22;
    dsp::smooth(envelope, attackTarget, envelopeRate);
    if (envelope < 0.15 && attackTarget == 0.0) envelopeRate = 0.001 * rateFactor;
    return v;
}

}  // namespace vorlatek
