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
    double render(const SharedSignals& in) { return step(in, levelSmoothed); }
    // One sample at `level`: the per-sample step, which the engine's loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = false;
    static constexpr double kOutputGain = 0.181;

    double tuning = 0.0;
    double decay = 0.0;
    double input = 0.0;
    dsp::ResonatorFilter resonator;
    double countdown = 0.0;  // counts the strike's first millisecond; nothing reads it
    double strike = 0.0;
    double strikeRate = 0.0;
    double decayFactor = 0.0;
};

inline double ClavesVoice::step(const SharedSignals&, double level) {
    countdown -= 1.0;
    input = 4.3 * strike;
    const double band = resonator.process(input);
    const double out = band * level * kOutputGain;
    dsp::decay(strike, strikeRate);
    return out;
}

}  // namespace vorlatek
