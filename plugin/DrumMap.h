#pragma once
// Which instrument each MIDI note stands for (−1: none). Stored, read and written with the
// settings; playback selects patterns by note and does not look notes up here.

#include <libxml/tree.h>

#include <array>
#include <cstdint>

namespace vorlatek {

class DrumMap {
public:
    static constexpr int kNotes = 128;

    DrumMap();  // note n → instrument n mod 17
    int instrumentFor(int note) const { return note >= 0 && note < kNotes ? entries_[note] : -1; }
    void set(int note, int instrument);

    // `DrumMap` element: every note first set to −1, then each valid `assign` applied.
    void read(const xmlNode* element);
    xmlNodePtr write() const;

private:
    std::array<std::int32_t, kNotes> entries_{};
};

}  // namespace vorlatek
