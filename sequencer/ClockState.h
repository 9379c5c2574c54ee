#pragma once
// The state of the sequencer clock between blocks. The audio thread owns it.

#include "sequencer/SequencerRequests.h"

#include <cstdint>

namespace vorlatek {

struct ClockState {
    bool lowestNoteGate = false;   // set by note 0, cleared by control change 123
    bool hostWasPlaying = false;   // host transport state seen last
    std::int32_t buttonState = 0;  // 1 = started by the Start button, 2 = stopped
    double hostTempo = 0.0;        // last host tempo, bpm
    double hostPpq = 0.0;          // host position in beats, advanced per sample
    double extPos = 0.0;           // extended sequencer position, beats
    double extSinceStep = 0.0;     // beats since the last extended step
    double simplePos = 0.0;        // simple sequencer position, beats
    double simpleSinceStep = 0.0;  // beats since the last simple step
    std::int32_t extPhase = -1;    // kind of the last extended step: -1 none, 0 grid, 1 shuffled
    std::int32_t simplePhase = -1;
    std::int32_t heldNotes = 0;    // host mode: held notes selecting the current simple pattern
};

}  // namespace vorlatek
