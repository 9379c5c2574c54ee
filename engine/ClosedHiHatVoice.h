#pragma once
// Closed hi-hat: the upper metal band through one drive stage under a short envelope
// (0.97 ms rise, then a fall whose time constant "CH Decay" sets from about 6 to 70 ms), and a
// resonant high-pass whose corner "CH Tone" sets (5.1 to 15.3 kHz). Triggering it chokes
// the open hi-hat (the engine does that).

#include "engine/DriveStage.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class ClosedHiHatVoice final : public Voice {
public:
    ClosedHiHatVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // High-pass corner 10200·(x + 0.5) Hz, Q 1.5.
    void setTone(double x);
    // Fall per sample at 44.1 kHz: 0.004 at x = 0, 0.0013 at 0.5, 0.00032 at 1.
    void setDecay(double x);
    // One sample while active; returns the output FIR's output.
    double render(const SharedSignals& in);

    double tone = 0.0;
    double decay = 0.0;
    double countdown = 0.0;  // samples left of the attack
    double attackTarget = 0.0;
    double envelope = 0.0;
    double envelopeRate = 0.0;
    DriveStage stage{kMetalDrive};
    double decayRate = 0.0;
};

}  // namespace vorlatek
