#pragma once
// How a voice goes through a run of frames.
//
// Per frame, the level (and any other knob glide) follows its knob whether or not the voice
// sounds; a sounding voice renders a sample and runs its activity check, which retires the
// voice once its output has stayed below about −90 dB; the rest of the run is then silence.
//
// The activity follower falls by at most the factor (1 − peakDecay) a sample, so a follower
// well above the threshold cannot reach it within the run: the voice then renders the whole
// run in one loop (renderSamples), and the follower is run over its output afterwards. Near
// the end of a note the voice goes frame by frame.

#include "engine/DspMath.h"
#include "engine/EngineRun.h"
#include "engine/PeakFollower.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

// The follower's level below which a voice retires.
inline constexpr double kActivityThreshold = 0.00003;

// Activity follower: falls by the factor (1 − peakDecay) per sample, jumps up to any louder
// output; the voice retires once it is below the threshold. A silent voice skips it: the
// follower only matters while the voice sounds, and the next trigger sets it afresh.
inline void checkActivity(Voice& voice, double out) {
    PeakFollower follower{voice.peak, voice.peakDecay};
    follower(out);
    voice.peak = follower.peak;
    voice.magnitude = std::fabs(out);
    if (voice.peak < kActivityThreshold) voice.active = false;
}

// True when the follower cannot fall below the threshold within `frames` frames: it falls
// at most to peak·(1 − peakDecay)^frames ≥ peak·(1 − frames·peakDecay), less ε and rounding
// in each step, which the margin of 1 % covers many times over.
inline bool cannotRetireWithin(const Voice& voice, int frames) {
    return voice.peak * (1.0 - frames * voice.peakDecay) > 1.01 * kActivityThreshold;
}

// A run of a sounding voice into out[] (silence from where it retires); frames is at most
// kMaxRunFrames.
template <class V>
void renderVoiceRun(V& voice, const SharedSignals* in, double* out, int frames) {
    if (cannotRetireWithin(voice, frames) && voice.otherGlidesAtRest()) {
        alignas(16) double level[kMaxRunFrames];
        if (voice.knobsAtRest()) {
            std::fill(level, level + frames, voice.levelSmoothed);
        } else {
            for (int f = 0; f < frames; ++f) {
                voice.followLevel();
                level[f] = voice.levelSmoothed;
            }
        }
        PeakFollower follower{voice.peak, voice.peakDecay};
        voice.renderSamples(in, level, out, frames, follower);
        voice.peak = follower.peak;
        voice.magnitude = std::fabs(out[frames - 1]);
        return;
    }
    for (int f = 0; f < frames; ++f) {
        voice.followKnobs();
        if (!voice.active) {
            out[f] = 0.0;
            continue;
        }
        out[f] = voice.render(in[f]);
        checkActivity(voice, out[f]);
    }
}

// The knobs of a silent voice over a run: they keep following their targets, which costs
// nothing once they have come to rest.
template <class V>
void followKnobsOverRun(V& voice, int frames) {
    for (int f = 0; f < frames && !voice.knobsAtRest(); ++f) voice.followKnobs();
}

// The loop of renderSamples: the voice's per-sample step (double step(in, level)) over the
// run, each output also going to the follower. Each voice class instantiates it where its
// step is defined; the restrict qualifiers tell the compiler that the output never overlaps
// the voice's states, so that it can keep them in registers through the loop.
template <class V, class Follow>
inline void stepOver(V& __restrict voice, const SharedSignals* __restrict in, const double* __restrict level,
                     double* __restrict out, int frames, Follow& follow) {
    Follow local = follow;
    for (int f = 0; f < frames; ++f) {
        const double y = voice.step(in[f], level[f]);
        out[f] = y;
        local(y);
    }
    follow = local;
}

// The same for the voices whose step feeds their output FIR: the steps first, then the FIR
// over the whole run, which the follower watches.
template <class V>
inline void stepThroughFir(V& voice, const SharedSignals* in, const double* level, double* out, int frames,
                           PeakFollower& follower) {
    alignas(16) double unfiltered[kMaxRunFrames];
    NoFollower none;
    stepOver(voice, in, level, unfiltered, frames, none);
    voice.fir.processRun(unfiltered, out, frames, follower);
}

}  // namespace vorlatek
