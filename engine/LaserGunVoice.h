#pragma once
// Laser gun: a sine whose pitch dives exponentially from up to 35 kHz down to 40 Hz, under
// an exponentially decaying level. "LG Depth" sets how high the dive starts, "LG Sweep"
// how fast it falls, "LG Decay" how long the zap lasts. For the first 0.97 ms of a note
// the oscillator is held at phase 0 while the previous note's last value dies away.

#include "engine/EngineRun.h"
#include "engine/FastMath.h"
#include "engine/PeakFollower.h"
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
    // One sample at `level`, before the output FIR: a run of one.
    double step(const SharedSignals&, double level) { return stepAsRunOfOne(*this, level); }
    // `frames` steps at levels level[0..frames), into out[], each output also to follow().
    template <class Follow>
    [[gnu::always_inline]] inline void stepRun(const double* __restrict level, double* __restrict out, int frames,
                                               Follow& follow);
    static constexpr bool kHasOutputFir = true;
    // Its runs go in passes of their own (stepRun), not beside another voice.
    static constexpr bool kStepsAlone = true;

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

// The step's work splits into passes over the run: the envelopes and the pitch; the phase
// increments (two divisions a frame, none waiting on another); the phases; their sines,
// several at a time; the held output. Each sample sees the same inputs in the same order as
// a step at a time would give it.
template <class Follow>
void LaserGunVoice::stepRun(const double* __restrict level, double* __restrict out, int frames, Follow& follow) {
    alignas(16) double pitch[kMaxRunFrames];     // frequency, then the phase increment
    alignas(16) double phases[kMaxRunFrames];
    alignas(16) double sines[kMaxRunFrames];
    alignas(16) double loudness[kMaxRunFrames];  // the envelope before its fall
    bool holding[kMaxRunFrames];
    if (frames <= 0) return;
    frames = frames < kMaxRunFrames ? frames : kMaxRunFrames;

    {
        double left = countdown, sweepNow = sweepEnvelope, env = envelope;
        for (int f = 0; f < frames; ++f) {
            holding[f] = left > 0.0;
            left -= 1.0;
            pitch[f] = depthFactor * sweepNow * 35050.0 + 40.0;
            loudness[f] = env;
            dsp::decay(sweepNow, sweepRate);
            dsp::decay(env, envelopeRate);
        }
        countdown = left;
        sweepEnvelope = sweepNow;
        envelope = env;
        frequency = pitch[frames - 1];
    }
    const double rate = sampleRate;
    for (int f = 0; f < frames; ++f) pitch[f] = dsp::kTwoPi / (rate / pitch[f]);
    {
        double p = phase;
        for (int f = 0; f < frames; ++f) {
            if (holding[f]) p = 0.0;
            phases[f] = p;
            p = p + pitch[f];
        }
        phase = p;
        phaseIncrement = pitch[frames - 1];
    }
    dsp::fastSinEach(phases, sines, frames);
    {
        double previous = sine, h = held, release = releaseRate;
        const double gain = amplitude;
        for (int f = 0; f < frames; ++f) {
            if (holding[f]) release = 0.11 * rateFactor;
            else h = previous * gain * loudness[f] * level[f];
            previous = sines[f];
            dsp::decay(h, release);
            const double v = 0.5 * h;
            out[f] = v;
            follow(v);
        }
        sine = previous;
        held = h;
        releaseRate = release;
    }
}

}  // namespace vorlatek
