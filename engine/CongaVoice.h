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
    double render(const SharedSignals& in) { return step(in, levelSmoothed); }
    // One sample at `level`: the per-sample step, which the engine's loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = false;

    double amplitude = 0.0;  // 2.645·velocity
};

inline double CongaVoice::step(const SharedSignals&, double level) {
    const double band = resonator.process(click.step(rateFactor) * amplitude);
    return band * level * outputGain;
}

}  // namespace vorlatek
