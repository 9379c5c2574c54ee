#pragma once
// Claves: one bright resonator (2424 Hz at the middle tuning) struck by an impulse that
// dies within a few samples, a hard wooden click with a short glassy ring. Tuning moves
// the pitch by ×0.905 to ×1.131, Decay sets the damping from 0.06 (dry) to 0.00375 (long
// ring).

#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class ClavesVoice : public Voice {
public:
    ClavesVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Both take the raw parameter, 0..1 (values outside are clamped).
    void setTuning(double t);
    void setDecay(double d);
    // One sample of the sounding voice.
    double render(const SharedSignals& in);
    // `frames` samples of the sounding voice, frame f at level[f], watched by the follower
    // (see Voice.h).
    void renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                       PeakFollower& follower);
    // One sample at `level`: the per-sample step itself.
    double step(const SharedSignals& in, double level);

    double tuning = 0.0;
    double decay = 0.0;
    double input = 0.0;
    dsp::ResonatorFilter resonator;
    double countdown = 0.0;  // counts the strike's first millisecond; nothing reads it
    double strike = 0.0;
    double strikeRate = 0.0;
    double decayFactor = 0.0;
};

}  // namespace vorlatek
