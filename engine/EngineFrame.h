#pragma once
// One rendered sample frame: the master mix, each instrument's own output (both after the
// master volume) and the trigger-output pulse (never scaled).

#include "engine/Instrument.h"

namespace vorlatek {

struct EngineFrame {
    float master = 0.0f;
    float instrument[kInstrumentCount] = {};
    float trigger = 0.0f;
};

}  // namespace vorlatek
