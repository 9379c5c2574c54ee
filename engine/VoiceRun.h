#pragma once
// The loop a voice runs over a run of frames. Each voice class instantiates it next to its
// render(), so that the per-sample step is inlined into the loop.
//
// Per frame: the level follows its knob whether or not the voice sounds; a sounding voice
// renders a sample and runs its activity check, which retires the voice once its output has
// stayed below about −90 dB; after that the rest of the run is silence.

#include "engine/DspMath.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <algorithm>
#include <cmath>

namespace vorlatek {

// Activity follower: falls by the factor (1 − peakDecay) per sample, jumps up to any louder
// output; the voice retires once it is below 0.00003. A silent voice skips it: the follower
// only matters while the voice sounds, and the next trigger sets it afresh.
inline void checkActivity(Voice& voice, double out) {
    dsp::decay(voice.peak, voice.peakDecay);
    voice.magnitude = std::fabs(out);
    voice.peak = std::max(voice.peak, voice.magnitude);
    if (voice.peak < 0.00003) voice.active = false;
}

template <class V>
void renderVoiceRun(V& voice, const SharedSignals* in, double* out, int frames) {
    for (int f = 0; f < frames; ++f) {
        voice.followKnobs();
        if (!voice.active) {
            out[f] = 0.0;
            continue;
        }
        const double y = voice.render(in[f]);
        out[f] = y;
        checkActivity(voice, y);
    }
}

// The knobs of a silent voice over a run: they keep following their targets, which costs
// nothing once they have come to rest.
template <class V>
void followKnobsOverRun(V& voice, int frames) {
    for (int f = 0; f < frames && !voice.knobsAtRest(); ++f) voice.followKnobs();
}

}  // namespace vorlatek
