#pragma once
// What the editor asks of the sequencer clock between blocks: Start or Stop (taken at the
// next block) and a tap (taken at the next step). Each request is one atomic word that the
// audio thread exchanges for "none" when it takes it.

#include "sequencer/TapMailbox.h"

#include <atomic>
#include <cstdint>

namespace vorlatek {

enum TransportCommand : std::int32_t {
    kCommandNone = 0,
    kCommandStart = 1,
    kCommandStop = 2,
};

struct SequencerRequests {
    std::atomic<std::int32_t> command{kCommandNone};
    TapMailbox tap;
};

}  // namespace vorlatek
