#pragma once
// The congas and toms side by side in the lanes of one register, for loops built for AVX-512
// (VORLATEK_WIDE_LOOP). Once a voice's click has settled it drives the resonator with the same
// value every sample, and what is left of the step is the same for every conga (the
// resonator) and every tom (the resonator and the rumble's two filters): up to six voices
// then take a lane each and render the run in one loop, their activity followers in lanes
// beside them. Each lane takes its voice's steps in their order, with no multiply-add, so it
// rounds as the voice's own step does.

#include "engine/CongaVoice.h"
#include "engine/ProcessorFeatures.h"
#include "engine/SharedSignals.h"
#include "engine/TomVoice.h"

#if defined(VORLATEK_ENGINE_WIDE)

namespace vorlatek {

class StruckLanes {
public:
    static constexpr int kLanes = 8;

    // Whether a voice that renders this run in one loop can take a lane: its click has
    // settled and its level rests.
    static bool fits(const StruckResonatorVoice& voice) { return voice.click.settled() && voice.levelAtRest(); }

    // The voice renders the run into out[], in the next lane (at most kLanes).
    void add(CongaVoice& voice, double* out) { add(voice, nullptr, out); }
    void add(TomVoice& voice, double* out) { add(voice, &voice, out); }
    int count() const { return count_; }

    // Renders `frames` frames (at most kMaxRunFrames) of every voice added, leaves each one's
    // follower and last magnitude in the voice, and empties the set.
    [[gnu::flatten, VORLATEK_WIDE_LOOP]] void render(const SharedSignals* in, int frames);

private:
    void add(StruckResonatorVoice& voice, TomVoice* tom, double* out) {
        voices_[count_] = &voice;
        toms_[count_] = tom;
        outs_[count_] = out;
        ++count_;
    }

    StruckResonatorVoice* voices_[kLanes] = {};
    TomVoice* toms_[kLanes] = {};  // the voice again if it is a tom, else null
    double* outs_[kLanes] = {};
    int count_ = 0;
};

}  // namespace vorlatek

#endif
