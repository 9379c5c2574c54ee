#pragma once
// A silent stand-in for an instrument whose voice is not wired into the engine yet. It
// keeps the Voice contract (trigger makes it active, the activity check retires it, its
// output is always 0) and accepts the knob calls of the voice it stands in for, so the
// engine's parameter dispatch is already complete: swapping in the real class is a change
// of the member's type and nothing else.

#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class SilentPlaceholderVoice final : public Voice {
public:
    void setSampleRate(float rate) override { Voice::setSampleRate(rate); }
    void trigger(float velocity) override { Voice::trigger(velocity); }
    double render(const SharedSignals&) { return 0.0; }

    // The knobs the real voices have; the values are only kept.
    void setTone(double value) { tone = value; }
    void setTuning(double value) { tuning = value; }
    void setDecay(double value) { decay = value; }
    void setSnappy(double value) { snappy = value; }
    void setReverb(double value) { reverb = value; }
    void setDepth(double value) { depth = value; }
    void setSweep(double value) { sweep = value; }

    double tone = 0.0;
    double tuning = 0.0;
    double decay = 0.0;
    double snappy = 0.0;
    double reverb = 0.0;
    double depth = 0.0;
    double sweep = 0.0;
    double choke = 1.0;  // the open hi-hat's choke, set by a closed hi-hat trigger
};

}  // namespace vorlatek
