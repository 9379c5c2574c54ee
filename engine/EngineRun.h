#pragma once
// A run of rendered frames, one row of float samples per output signal: the master mix,
// each instrument's own output (both after the master volume) and the trigger-output pulse
// (never scaled). The engine renders at most kMaxRunFrames frames at a time into rows it owns;
// the output router then writes each host pin in one pass over the run.
//
// An instrument whose voice was silent at the start of the run stays silent through it
// (only a trigger wakes a voice, and triggers fall between runs): its row is left unwritten
// and `sounding` is false. The master row is likewise left unwritten while no voice sounds.

#include "engine/Instrument.h"

#include <array>

namespace vorlatek {

// The longest run the engine renders at once.
inline constexpr int kMaxRunFrames = 256;

struct EngineRun {
    int frames = 0;
    bool masterSounding = false;
    std::array<bool, kInstrumentCount> sounding{};
    alignas(16) float master[kMaxRunFrames] = {};
    alignas(16) float instrument[kInstrumentCount][kMaxRunFrames] = {};
    alignas(16) float trigger[kMaxRunFrames] = {};
};

}  // namespace vorlatek
