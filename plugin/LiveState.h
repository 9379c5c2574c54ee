#pragma once
// Everything the audio thread plays that is edited elsewhere and changes many fields at once:
// the patterns, the random thinning, the sequencer settings, the output assigns and the
// trigger source. The editing side fills one from its own state after every change and hands
// it over whole (StateHandoff); the audio thread takes it at the start of a block.

#include "engine/Instrument.h"
#include "engine/ParameterIndex.h"
#include "sequencer/DrumNotes.h"
#include "sequencer/PatternLibrary.h"
#include "sequencer/RandomThinning.h"
#include "sequencer/SequencerSettings.h"

#include <array>
#include <cstdint>
#include <type_traits>

namespace vorlatek {

struct LiveState {
    PatternLibrary patterns;
    RandomThinning thinning;
    SequencerSettings settings;
    std::array<std::int32_t, kInstrumentCount> outAssign{};
    std::int32_t triggerSource = kCowBell;
    DrumNotes drumNotes{};
    // The taps from the audio thread that `patterns` already holds (see TapJournal).
    std::uint64_t tapsMerged = 0;
    // Raised when a loaded state replaced the parameters: the audio thread then gives the
    // engine these values, together with the rest of this state.
    std::uint64_t parameterEpoch = 0;
    std::array<float, param::kCount> parameters{};
};

static_assert(std::is_trivially_copyable_v<LiveState>, "handed over by copying bytes");

}  // namespace vorlatek
