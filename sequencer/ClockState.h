#pragma once
// The state of the sequencer clock between blocks, and the requests the editor leaves for
// it. The editor thread writes `pendingCommand` and the tap fields; the audio thread reads
// and clears them at its next block or step.

#include <array>
#include <atomic>
#include <cstdint>

namespace vorlatek {

enum TransportCommand : std::int32_t {
    kCommandNone = 0,
    kCommandStart = 1,
    kCommandStop = 2,
};

struct ClockState {
    bool lowestNoteGate = false;   // set by note 0, cleared by control change 123
    bool hostWasPlaying = false;   // host transport state seen last
    std::int32_t buttonState = 0;  // 1 = started by the Start button, 2 = stopped
    std::atomic<std::int32_t> pendingCommand{kCommandNone};  // consumed at the next block
    double hostTempo = 0.0;        // last host tempo, bpm
    double hostPpq = 0.0;          // host position in beats, advanced per sample
    double extPos = 0.0;           // extended sequencer position, beats
    double extSinceStep = 0.0;     // beats since the last extended step
    double simplePos = 0.0;        // simple sequencer position, beats
    double simpleSinceStep = 0.0;  // beats since the last simple step
    std::int32_t extPhase = -1;    // kind of the last extended step: -1 none, 0 grid, 1 shuffled
    std::int32_t simplePhase = -1;
    std::int32_t heldNotes = 0;    // host mode: held notes selecting the current simple pattern

    // A tap waiting to be placed on the nearest step. The editor fills rows and value,
    // then sets tapPending (release); the clock reads them after seeing it (acquire).
    std::atomic<bool> tapPending{false};
    std::array<bool, 18> tapRows{};
    std::int32_t tapValue = 1;  // cell value of the tap: 1, or 3 accented
};

}  // namespace vorlatek
