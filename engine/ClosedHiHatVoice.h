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
    // One sample while active; returns the output FIR's output.
    double render(const SharedSignals& in);
    // `frames` samples of the sounding voice, frame f at level[f], watched by the follower
    // (see Voice.h).
    void renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                       PeakFollower& follower);
    // One sample at `level`, before the output FIR.
    double step(const SharedSignals& in, double level);
};

}  // namespace vorlatek
