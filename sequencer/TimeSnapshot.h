#pragma once
// The host transport as the adapter saw it at the start of a block.

namespace vorlatek {

struct TimeSnapshot {
    bool valid = false;       // always true when a snapshot exists
    bool tempoValid = false;
    bool ppqValid = false;
    bool playing = false;
    double tempo = 0.0;       // beats per minute
    double ppqPos = 0.0;      // position in quarter notes
};

}  // namespace vorlatek
