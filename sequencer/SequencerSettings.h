#pragma once
// How the internal sequencer runs: the settings the clock reads at the start of every
// block. Stored in the plug-in state and the user settings.

#include <cstdint>

namespace vorlatek {

enum ExtSyncType : std::int32_t {
    kExtSyncTransportChange = 0,  // the host transport starts the extended sequencer
    kExtSyncLowestNote = 1,       // MIDI note 0 starts it
};

struct SequencerSettings {
    bool intSeqOn = false;             // steps are played; Start/Stop are accepted
    std::int32_t syncInternal = 0;     // 1: each pattern's own tempo; 0: the host's tempo and position
    bool hostMode = false;             // MIDI notes 12..107 play simple patterns
    bool noteOff = false;              // in host mode, releasing the last held note stops the pattern
    std::int32_t extSyncType = kExtSyncTransportChange;
    // The MIDI channel (1..16) whose notes play instruments through the drum map, as a drum
    // pad or a piano roll would; 0: none. 10 is the General MIDI drum channel.
    std::int32_t drumChannel = kDefaultDrumChannel;

    static constexpr std::int32_t kDefaultDrumChannel = 10;
    static constexpr std::int32_t kMaxMidiChannel = 16;
    static bool validDrumChannel(int channel) { return channel >= 0 && channel <= kMaxMidiChannel; }
};

}  // namespace vorlatek
