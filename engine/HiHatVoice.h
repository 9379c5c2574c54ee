#pragma once
// What the open and the closed hi-hat share: the upper metal band through one drive stage
// under an envelope that rises toward 2.645·velocity at 0.2·R for 0.97 ms and then falls,
// and a resonant high-pass (Q 1.5) whose corner the Tone knob moves from half to 1.5 times
// the hat's own centre. Each hat sets how its envelope falls.

#include "engine/DriveStage.h"
#include "engine/Voice.h"

namespace vorlatek {

class HiHatVoice : public Voice {
public:
    // `centre`: the high-pass corner at Tone 0.5, Hz.
    explicit HiHatVoice(double centre);

    // Base version, then the drive stage and its high-pass for the rate (states cleared).
    // Each hat then recomputes its decay.
    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // High-pass corner centre·(x + 0.5) Hz, Q 1.5.
    void setTone(double x);

    const double centre;
    double tone = 0.0;
    double decay = 0.0;
    double countdown = 0.0;  // samples left of the attack
    double attackTarget = 0.0;
    double envelope = 0.0;
    double envelopeRate = 0.0;
    DriveStage stage{kMetalDrive};
    double decayRate = 0.0;  // fall per sample at 44.1 kHz, from the Decay knob
};

}  // namespace vorlatek
