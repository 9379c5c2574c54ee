#pragma once
// How a sounding voice goes through a run of frames.
//
// Per frame, the level (and any other knob glide) follows its knob whether or not the voice
// sounds; a sounding voice renders a sample and runs its activity check, which retires the
// voice once its output has stayed below about −90 dB; the rest of the run is then silence.
//
// The activity follower falls by at most the factor (1 − peakDecay) a sample, so a follower
// well above the threshold cannot reach it within the run. Such a voice renders the whole
// run in one loop of its per-sample step (double step(in, level), which its header defines
// inline), with the follower in the same loop, or in passes of its own (stepRun); a voice
// with an output FIR leaves its steps to the FIR, and its follower after it, in the run's
// OutputFirBatch.
// Near the end of a note, or while a glide other than the level's moves, the voice goes
// frame by frame instead (render()).
//
// Each step is a chain of dependent operations, so one voice alone keeps the processor
// waiting on the last result most of the time. Two voices stepped in one loop, frame by
// frame, interleave their chains and take little more time than one. No step calls the
// maths library (see FastMath.h): around a call every state would leave the registers. A
// voice whose step is long enough to fill the registers alone (kStepsAlone) is faster on
// its own.

#include "engine/DspMath.h"
#include "engine/EngineRun.h"
#include "engine/OutputFirBatch.h"
#include "engine/PeakFollower.h"
#include "engine/ProcessorFeatures.h"
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

// Whether the voice goes in a loop of its own rather than beside another (see above).
template <class V>
constexpr bool stepsAlone() {
    if constexpr (requires { V::kStepsAlone; }) return V::kStepsAlone;
    else return false;
}

// Whether the voice can render the run in one loop (see above).
template <class V>
bool rendersInOneLoop(const V& voice, int frames) {
    return cannotRetireWithin(voice, frames) && voice.otherGlidesAtRest();
}

// A run of a sounding voice, frame by frame, into out[] (silence from where it retires).
template <class V>
void renderFrameByFrame(V& voice, const SharedSignals* in, double* out, int frames) {
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

// One voice's part in a loop over the run: the level of each frame, where its steps go (its
// output, or, for a voice with an output FIR, the same row after room for the FIR's history,
// which the batch then filters in place), and its activity follower.
template <class V>
struct VoiceLoop {
    VoiceLoop(V& v, double* output, int frames, OutputFirBatch& batch)
        : voice(v), out(output), follower{v.peak, v.peakDecay}, steps(V::kHasOutputFir ? batch.add(v, output) : output) {
        if (voice.levelAtRest()) {
            std::fill(level, level + frames, voice.levelSmoothed);
        } else {
            for (int f = 0; f < frames; ++f) {
                voice.followLevel();
                level[f] = voice.levelSmoothed;
            }
        }
    }
    // After the loop: what the loop's follower found. A voice with an output FIR has its
    // output, follower and magnitude from the batch, later in the run.
    void finish(int frames) {
        if constexpr (!V::kHasOutputFir) {
            voice.peak = follower.peak;
            voice.magnitude = std::fabs(out[frames - 1]);
        }
    }

    V& voice;
    double* out;
    PeakFollower follower;
    double* const steps;  // where the loop puts the steps
    alignas(16) double level[kMaxRunFrames];
};

// One voice over the run; the restrict qualifiers tell the compiler that the buffers never
// overlap the voice's states, so that it keeps the states in registers through the loop.
template <class A>
[[gnu::always_inline]] inline void stepAloneBody(A& __restrict a, const SharedSignals* __restrict in,
                                 const double* __restrict levelA, double* __restrict outA, int frames,
                                 PeakFollower& followA) {
    PeakFollower fa = followA;
    if constexpr (requires { a.stepRun(in, levelA, outA, frames); }) {
        // A voice that renders its runs on its own, from the shared sources; an output FIR
        // comes after it, and the follower after that.
        static_assert(A::kHasOutputFir);
        a.stepRun(in, levelA, outA, frames);
    } else if constexpr (requires { a.stepRun(levelA, outA, frames, fa); }) {
        // A voice that renders its runs in passes of its own; the follower watches its output
        // here unless an output FIR comes after it.
        if constexpr (A::kHasOutputFir) {
            NoFollower none;
            a.stepRun(levelA, outA, frames, none);
        } else {
            a.stepRun(levelA, outA, frames, fa);
        }
    } else {
        for (int f = 0; f < frames; ++f) {
            const double ya = a.step(in[f], levelA[f]);
            outA[f] = ya;
            if constexpr (!A::kHasOutputFir) fa(ya);
        }
    }
    followA = fa;
}

// Two voices over the run, frame by frame side by side.
template <class A, class B>
[[gnu::always_inline]] inline void stepTogetherBody(A& __restrict a, B& __restrict b, const SharedSignals* __restrict in,
                                    const double* __restrict levelA, const double* __restrict levelB,
                                    double* __restrict outA, double* __restrict outB, int frames,
                                    PeakFollower& followA, PeakFollower& followB) {
    PeakFollower fa = followA, fb = followB;
    for (int f = 0; f < frames; ++f) {
        const double ya = a.step(in[f], levelA[f]);
        const double yb = b.step(in[f], levelB[f]);
        outA[f] = ya;
        outB[f] = yb;
        if constexpr (!A::kHasOutputFir) fa(ya);
        if constexpr (!B::kHasOutputFir) fb(yb);
    }
    followA = fa;
    followB = fb;
}

// The loops above as functions of their own, built for the processor the engine is built
// for and, where AVX-512 is there, for its 32 registers too (see ProcessorFeatures.h).
template <class A>
[[gnu::noinline, gnu::flatten]] void stepAloneBase(A& __restrict a, const SharedSignals* __restrict in,
                                                   const double* __restrict level, double* __restrict out,
                                                   int frames, PeakFollower& follow) {
    stepAloneBody(a, in, level, out, frames, follow);
}

template <class A, class B>
[[gnu::noinline, gnu::flatten]] void stepTogetherBase(A& __restrict a, B& __restrict b, const SharedSignals* __restrict in,
                                                      const double* __restrict levelA, const double* __restrict levelB,
                                                      double* __restrict outA, double* __restrict outB, int frames,
                                                      PeakFollower& followA, PeakFollower& followB) {
    stepTogetherBody(a, b, in, levelA, levelB, outA, outB, frames, followA, followB);
}

#if defined(VORLATEK_ENGINE_WIDE)
template <class A>
[[gnu::noinline, gnu::flatten, VORLATEK_WIDE_LOOP]] void stepAloneWide(A& __restrict a, const SharedSignals* __restrict in,
                                                                     const double* __restrict level, double* __restrict out,
                                                                     int frames, PeakFollower& follow) {
    stepAloneBody(a, in, level, out, frames, follow);
}

template <class A, class B>
[[gnu::noinline, gnu::flatten, VORLATEK_WIDE_LOOP]] void stepTogetherWide(
    A& __restrict a, B& __restrict b, const SharedSignals* __restrict in, const double* __restrict levelA,
    const double* __restrict levelB, double* __restrict outA, double* __restrict outB, int frames,
    PeakFollower& followA, PeakFollower& followB) {
    stepTogetherBody(a, b, in, levelA, levelB, outA, outB, frames, followA, followB);
}
#endif

template <class A>
void stepAlone(A& a, const SharedSignals* in, const double* level, double* out, int frames, PeakFollower& follow) {
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) return stepAloneWide(a, in, level, out, frames, follow);
#endif
    stepAloneBase(a, in, level, out, frames, follow);
}

template <class A, class B>
void stepTogether(A& a, B& b, const SharedSignals* in, const double* levelA, const double* levelB, double* outA,
                  double* outB, int frames, PeakFollower& followA, PeakFollower& followB) {
    // A pair with a loop of its own (HiHatPair.h); both have output FIRs, whose followers come after.
    if constexpr (requires { stepSideBySide(a, b, in, levelA, levelB, outA, outB, frames); }) {
        static_assert(A::kHasOutputFir && B::kHasOutputFir);
        stepSideBySide(a, b, in, levelA, levelB, outA, outB, frames);
    } else {
#if defined(VORLATEK_ENGINE_WIDE)
        if (cpu::hasAvx512()) return stepTogetherWide(a, b, in, levelA, levelB, outA, outB, frames, followA, followB);
#endif
        stepTogetherBase(a, b, in, levelA, levelB, outA, outB, frames, followA, followB);
    }
}

// A sounding voice that renders the run in one loop (rendersInOneLoop), into out[].
template <class A>
void renderInOneLoop(A& a, const SharedSignals* in, double* out, int frames, OutputFirBatch& batch) {
    VoiceLoop<A> la(a, out, frames, batch);
    stepAlone(a, in, la.level, la.steps, frames, la.follower);
    la.finish(frames);
}

// Two such voices, in one loop.
template <class A, class B>
void renderInOneLoop(A& a, B& b, const SharedSignals* in, double* outA, double* outB, int frames,
                     OutputFirBatch& batch) {
    VoiceLoop<A> la(a, outA, frames, batch);
    VoiceLoop<B> lb(b, outB, frames, batch);
    stepTogether(a, b, in, la.level, lb.level, la.steps, lb.steps, frames, la.follower, lb.follower);
    la.finish(frames);
    lb.finish(frames);
}

}  // namespace vorlatek
