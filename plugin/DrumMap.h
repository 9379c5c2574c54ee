#pragma once
// Which instrument each MIDI note stands for (−1: none). Notes on the drum channel play the
// instrument their entry names; it is read and written with the settings.

#include "sequencer/DrumNotes.h"

#include <libxml/tree.h>

#include <array>
#include <cstdint>

namespace vorlatek {

class DrumMap {
public:
    static constexpr int kNotes = kMidiNotes;

    DrumMap();  // note n → instrument n mod 17
    int instrumentFor(int note) const { return note >= 0 && note < kNotes ? entries_[note] : -1; }
    // Every note's instrument, as the audio thread plays them.
    DrumNotes notes() const;
    void set(int note, int instrument);

    // `DrumMap` element: every note first set to −1, then each valid `assign` applied.
    void read(const xmlNode* element);
    xmlNodePtr write() const;

private:
    std::array<std::int32_t, kNotes> entries_{};
};

}  // namespace vorlatek
