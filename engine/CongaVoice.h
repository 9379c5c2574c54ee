#pragma once
// Conga: a resonator pinged by a short click (see StruckResonatorVoice); the click has
// height 1 and the velocity scales the edge that drives the resonator. Low, mid and high
// conga differ only in base pitch, damping and output gain.

#include "engine/SharedSignals.h"
#include "engine/StruckResonatorVoice.h"

namespace vorlatek {

class CongaVoice final : public StruckResonatorVoice {
public:
    CongaVoice(double baseFrequency, double dampingScale, double outputGain);

    void trigger(float velocity) override;
    // One sample of the sounding voice.
    double render(const SharedSignals& in);
    // `frames` samples of the sounding voice, frame f at level[f], watched by the follower
    // (see Voice.h).
    void renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                       PeakFollower& follower);
    // One sample at `level`: the per-sample step itself.
    double step(const SharedSignals& in, double level);

    double amplitude = 0.0;  // 2.645·velocity
};

}  // namespace vorlatek
