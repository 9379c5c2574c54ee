#pragma once
// The congas, the toms and the claves side by side in the lanes of one register, for loops
// built for AVX-512 (VORLATEK_WIDE_LOOP). Once a conga's or a tom's click has settled it drives
// the resonator with the same value every sample, and what is left of the step is the same for
// every conga (the resonator) and every tom (the resonator and the rumble's two filters); the
// claves' is a resonator under a falling strike. Up to seven voices then take a lane each and
// render the run in one loop, their activity followers in lanes beside them. Each lane takes its
// voice's steps in their order, with no multiply-add, so it rounds as the voice's own step does.

#include "engine/ClavesVoice.h"
#include "engine/CongaVoice.h"
#include "engine/ProcessorFeatures.h"
#include "engine/SharedSignals.h"
#include "engine/TomVoice.h"

#if defined(VORLATEK_ENGINE_WIDE)

namespace vorlatek {

class StruckLanes {
public:
    // At most three toms and four congas or claves.
    static constexpr int kLanes = 8;

    // Whether a voice that renders this run in one loop can take a lane: its click has
    // settled and its level rests.
    static bool fits(const StruckResonatorVoice& voice) { return voice.click.settled() && voice.levelAtRest(); }
    static bool fits(const ClavesVoice& voice) { return voice.levelAtRest(); }

    // The voice renders the run into out[], in the next lane (at most kLanes).
    void add(CongaVoice& voice, double* out) {
        // The settled click at the conga's amplitude, as CongaVoice::step takes it.
        add(Lane{&voice, &voice.resonator, nullptr, nullptr, voice.click.shapedEdge * voice.amplitude,
                 voice.outputGain, out});
    }
    void add(TomVoice& voice, double* out) {
        // The settled click, as TomVoice::step takes it.
        add(Lane{&voice, &voice.resonator, &voice, nullptr, voice.click.shapedEdge, voice.outputGain, out});
    }
    void add(ClavesVoice& voice, double* out) {
        add(Lane{&voice, &voice.resonator, nullptr, &voice, 0.0, ClavesVoice::kOutputGain, out});
    }
    int count() const { return count_; }

    // Renders `frames` frames (at most kMaxRunFrames) of every voice added, leaves each one's
    // follower and last magnitude in the voice, and empties the set.
    [[gnu::flatten, VORLATEK_WIDE_LOOP]] void render(const SharedSignals* in, int frames);

    // A voice in the lanes: the parts of it that the lanes step.
    struct Lane {
        Voice* voice;
        dsp::ResonatorFilter* resonator;
        TomVoice* tom;        // the voice again if it is a tom, else null
        ClavesVoice* claves;  // the voice again if it is the claves, else null
        double input;         // what drives the resonator of a conga or a tom
        double gain;          // the output gain
        double* out;
    };

private:
    void add(const Lane& lane) { lanes_[count_++] = lane; }

    Lane lanes_[kLanes] = {};
    int count_ = 0;
};

}  // namespace vorlatek

#endif
