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
    // One sample while active; returns the output FIR's output.
    double render(const SharedSignals& in);
    // `frames` samples of the sounding voice, frame f at level[f], watched by the follower
    // (see Voice.h).
    void renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                       PeakFollower& follower);
    // One sample at `level`, before the output FIR.
    double step(const SharedSignals& in, double level);

    double choke = 1.0;  // 1 while the note rings freely, 8 once a closed hi-hat choked it
    double previousEnvelope = 0.0;
};

}  // namespace vorlatek
