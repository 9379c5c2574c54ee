#pragma once
// Laser gun: a sine whose pitch dives exponentially from up to 35 kHz down to 40 Hz, under
// an exponentially decaying level. "LG Depth" sets how high the dive starts, "LG Sweep"
// how fast it falls, "LG Decay" how long the zap lasts. For the first 0.97 ms of a note
// the oscillator is held at phase 0 while the previous note's last value dies away.

#include "engine/FastMath.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <cmath>

namespace vorlatek {

class LaserGunVoice final : public Voice {
public:
    LaserGunVoice();

    void setSampleRate(float rate) override;
    // Arms the activity check; restarts the sound unless `level` is exactly 0.
    void trigger(float velocity) override;
    // depthFactor 0 at x = 0, 0.1 at 0.5, 1 at 1: the dive starts depthFactor·35050 Hz above 40 Hz.
    void setDepth(double x);
    // Level falls at 0.015·R per sample at x = 0, 0.0007·R at 0.5, 0.00014·R at 1.
    void setDecay(double x);
    // Pitch falls at 0.029·R per sample at x = 0, 0.01·R at 0.5, 0.0035·R at 1.
    void setSweep(double x);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: the per-sample step, which the engine's
    // loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = true;

    double decay = 0.0;
    double depth = 0.0;
    double sweep = 0.0;
    double countdown = 0.0;  // samples left with the oscillator held
    double envelope = 0.0;
    double envelopeRate = 0.0;
    double amplitude = 0.0;
    double frequency = 0.0;  // Hz of the last sample
    double sweepEnvelope = 0.0;
    double sweepRate = 0.0;
    double held = 0.0;
    double releaseRate = 0.0;
    double depthFactor = 0.0;
    double phase = 0.0;  // radians, not wrapped
    double phaseIncrement = 0.0;
    double sine = 0.0;
};

inline double LaserGunVoice::step(const SharedSignals&, double level) {
    if (countdown > 0.0) {
        phase = 0.0;
        releaseRate = 0.11 * rateFactor;
    } else {
        held = sine * amplitude * envelope * level;
    }
    countdown -= 1.0;
    frequency = depthFactor * sweepEnvelope * 35050.0 + 40.0;
    sine = dsp::fastSin(phase);
    phaseIncrement = dsp::kTwoPi / (sampleRate / frequency);
    phase = phase + phaseIncrement;
    dsp::decay(sweepEnvelope, sweepRate);
    dsp::decay(envelope, envelopeRate);
    dsp::decay(held, releaseRate);
    return 0.5 * held;
}

}  // namespace vorlatek
