#pragma once
// Closed hi-hat: the upper metal band through one drive stage under a short envelope
// (0.97 ms rise, then a fall whose time constant "CH Decay" sets from about 6 to 70 ms), and a
// resonant high-pass whose corner "CH Tone" sets (5.1 to 15.3 kHz). Triggering it chokes
// the open hi-hat (the engine does that).

#include "engine/HiHatVoice.h"
#include "engine/SharedSignals.h"

namespace vorlatek {

class ClosedHiHatVoice final : public HiHatVoice {
public:
    ClosedHiHatVoice();

    void setSampleRate(float rate) override;
    // Fall per sample at 44.1 kHz: 0.004 at x = 0, 0.0013 at 0.5, 0.00032 at 1.
    void setDecay(double x);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: the per-sample step, which the engine's
    // loops inline.
    double step(const SharedSignals& in, double level) {
        return finish(stage.processJunction(in.metalJunction, stageEnvelope()), level);
    }
    // The step in two halves around the drive stage, as the open hi-hat's.
    double stageEnvelope();
    double finish(double y, double level);
    static constexpr bool kHasOutputFir = true;
};

inline double ClosedHiHatVoice::stageEnvelope() {
    if (dsp::countdownDue(countdown)) {
        attackTarget = 0.0;
        envelopeRate = decayRate * rateFactor;
    }
    countdown -= 1.0;
    return envelope;
}

inline double ClosedHiHatVoice::finish(double y, double level) {
    dsp::smooth(envelope, attackTarget, envelopeRate);
    const double v = y * level * 0.44;
    return v;
}

}  // namespace vorlatek
