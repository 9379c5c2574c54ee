#pragma once
// Base of the seventeen drum voices. A voice is a small struct: its parameters, the
// coefficients its setters compute, and its filter and envelope states. The engine calls
// the two virtual operations (sample-rate change, trigger) and, while the voice sounds, each
// class's own non-virtual rendering (see VoiceRun.h):
//   double step(const SharedSignals& in, double level): one sample at `level`, defined
//       inline in the class's header so that the engine's loops take it in;
//   double render(const SharedSignals& in): one sample at the voice's smoothed level, through
//       the output FIR for the classes with kHasOutputFir.

#include "engine/DspMath.h"
#include "engine/OutputFir.h"
#include "engine/PeakFollower.h"

#include <limits>

namespace vorlatek {

class Voice {
public:
    Voice();
    virtual ~Voice() = default;
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    // Stores the rate and its derived values, rebuilds the output FIR and clears its
    // history. Voice classes call this first, then recompute their own coefficients from
    // the stored parameters and clear their filter states.
    virtual void setSampleRate(float rate);
    // Makes the voice active and arms the activity follower. Voice classes call this
    // first, then load their envelopes and counters.
    virtual void trigger(float velocity);

    // One frame of the level's glide toward its knob (no work once it has come to rest).
    void followLevel() { dsp::smoothToRest(levelSmoothed, level, levelRate, levelRestTarget); }
    bool levelAtRest() const { return level == levelRestTarget; }
    // The level jumps to its knob (no glide).
    void settleLevel() {
        levelSmoothed = level;
        levelRestTarget = std::numeric_limits<double>::quiet_NaN();
    }
    // One frame of every knob glide the voice has, and whether they all rest. Voice classes
    // with more glides (the snare's body levels) hide these three with their own.
    void followKnobs() { followLevel(); }
    bool knobsAtRest() const { return levelAtRest(); }
    // Whether the glides other than the level's are at rest; they then stay so through a run.
    bool otherGlidesAtRest() const { return true; }

    dsp::OutputFir fir;

    double sampleRate = 44100.0;
    double inverseSampleRate = 1.0 / 44100.0;
    double rateUp = 1.0;            // sr/44100
    double rateFactor = 1.0;        // R = 44100/sr
    double rateFactorCubed = 1.0;   // R³
    double nyquist = 22050.0;

    bool active = false;
    double level = 1.0;             // the instrument's Level parameter, raw 0..1
    double levelSmoothed = 1.0;
    double levelRate = 0.002;       // 0.002·R
    // The knob value at which levelSmoothed came to rest, NaN while it moves (see
    // dsp::smoothToRest); only the engine's smoothing moves levelSmoothed.
    double levelRestTarget = std::numeric_limits<double>::quiet_NaN();
    double peak = 0.0;              // activity follower, run while the voice sounds
    double magnitude = 0.0;         // |output| of the last sample the voice rendered
    double peakDecay = 0.0002;      // 0.0002·R
};

// One sample of a voice that renders its runs in passes of its own (stepRun(level, out,
// frames, follow)): a run of one, so that the voice's arithmetic is written once.
template <class V>
double stepAsRunOfOne(V& voice, double level) {
    double out = 0.0;
    NoFollower none;
    voice.stepRun(&level, &out, 1, none);
    return out;
}

}  // namespace vorlatek
