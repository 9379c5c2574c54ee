#pragma once
// The congas, the toms and the claves side by side in the lanes of registers, for loops built
// for AVX-512 (VORLATEK_WIDE_LOOP): the toms in one register, the congas and the claves in
// another. What their steps do is the same for every conga (a click into the resonator), every
// tom (the same, and the rumble's two filters) and nearly so for the claves (a falling strike
// into the resonator): up to seven voices take a lane each and render the run in one loop, their
// activity followers in lanes beside them. Once a click has settled it drives its resonator with
// the same value every sample; while any click of a register still moves, its lanes step the
// clicks too (a settled click stepped again stays where it is). Each lane takes its voice's
// steps in their order, with no multiply-add, so it rounds as the voice's own step does.

#include "engine/ClavesVoice.h"
#include "engine/CongaVoice.h"
#include "engine/ProcessorFeatures.h"
#include "engine/SharedSignals.h"
#include "engine/TomVoice.h"

#if defined(VORLATEK_ENGINE_WIDE)

namespace vorlatek {

class StruckLanes {
public:
    // Room for the engine's three toms (in a register of four lanes) and its three congas and
    // the claves (in another).
    static constexpr int kLanes = 8;

    // Whether a voice that renders this run in one loop can take a lane: its level rests.
    static bool fits(const Voice& voice) { return voice.levelAtRest(); }

    // The voice renders the run into out[], in the next lane (at most kLanes).
    void add(CongaVoice& voice, double* out) {
        // The click at the conga's amplitude, as CongaVoice::step takes it.
        add(Lane{&voice, &voice.resonator, &voice.click, voice.amplitude, nullptr, nullptr, voice.outputGain, out});
    }
    void add(TomVoice& voice, double* out) {
        // The click as it is (× 1, which changes no bit), as TomVoice::step takes it.
        add(Lane{&voice, &voice.resonator, &voice.click, 1.0, &voice, nullptr, voice.outputGain, out});
    }
    void add(ClavesVoice& voice, double* out) {
        add(Lane{&voice, &voice.resonator, nullptr, 0.0, nullptr, &voice, ClavesVoice::kOutputGain, out});
    }
    int count() const { return count_; }

    // Renders `frames` frames (at most kMaxRunFrames) of every voice added, leaves each one's
    // follower and last magnitude in the voice, and empties the set.
    [[gnu::flatten, VORLATEK_WIDE_LOOP]] void render(const SharedSignals* in, int frames);

    // A voice in the lanes: the parts of it that the lanes step.
    struct Lane {
        Voice* voice;
        dsp::ResonatorFilter* resonator;
        StrikeClick* click;   // the conga's or the tom's, else null
        double clickScale;    // what the click is multiplied by before the resonator
        TomVoice* tom;        // the voice again if it is a tom, else null
        ClavesVoice* claves;  // the voice again if it is the claves, else null
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
