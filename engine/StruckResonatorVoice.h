#pragma once
// What the conga and the tom share: a resonator struck by a StrikeClick. "Tunning" moves
// the resonator around its base pitch (×0.905 to ×1.131), "Decay" sets its damping (×4
// short to ×0.25 long); both retune a sounding note at once. The instruments of one kind
// differ only in base pitch, damping and output gain.

#include "engine/ResonatorFilter.h"
#include "engine/StrikeClick.h"
#include "engine/Voice.h"

namespace vorlatek {

class StruckResonatorVoice : public Voice {
public:
    StruckResonatorVoice(double baseFrequency, double dampingScale, double outputGain);

    // Base version, then retunes the click and clears it and the resonator, and recomputes
    // the resonator's coefficients for the new rate.
    void setSampleRate(float rate) override;
    // Both take the raw parameter, 0..1 (values outside are clamped).
    void setTuning(double t);
    void setDecay(double d);

    double tuning = 0.0;
    double decay = 0.0;
    StrikeClick click;
    const double baseFrequency;
    const double dampingScale;
    const double outputGain;
    double tuneFactor = 0.0;
    double decayFactor = 0.0;
    // F = 2·sin(π·baseFrequency·tuneFactor/sr) and q = decayFactor·dampingScale, set by
    // the two knobs; its band is the voice's tone.
    dsp::ResonatorFilter resonator;
};

}  // namespace vorlatek
