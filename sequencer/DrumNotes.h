#pragma once
// Which instrument each MIDI note plays on the drum channel: the drum map as the audio
// thread reads it, one entry per note, -1 for none.

#include <array>
#include <cstdint>

namespace vorlatek {

inline constexpr int kMidiNotes = 128;
using DrumNotes = std::array<std::int8_t, kMidiNotes>;

}  // namespace vorlatek
