#include "engine/OutputRouter.h"

#include <algorithm>

namespace vorlatek {

OutputRouter::OutputRouter() {
    for (int i = 0; i < kInstrumentCount; ++i) assign_[i] = i;
}

void OutputRouter::setAssign(int instrument, int slot) {
    if (instrument < 0 || instrument >= kInstrumentCount) return;
    assign_[instrument] = std::clamp(slot, 0, kSlotCount - 1);
}

void OutputRouter::routeFrame(const EngineFrame& in, float* const* outputs, int frame, bool replacing) const {
    if (replacing) {
        const int count = config_.outputCount();
        for (int k = 0; k < count; ++k) outputs[k][frame] = 0.0f;
    }
    if (config_.masterOn) {
        outputs[0][frame] += in.master;
        if (config_.masterStereo) outputs[1][frame] += in.master;
    }
    float* const* slots = outputs + config_.masterChannels();
    if (config_.instrumentsStereo) {
        for (int i = 0; i < kInstrumentCount; ++i) {
            const int pin = 2 * assign_[i];
            slots[pin][frame] += in.instrument[i];
            slots[pin + 1][frame] += in.instrument[i];
        }
        if (config_.triggerOn) {
            slots[2 * kSlotCount][frame] += in.trigger;
            slots[2 * kSlotCount + 1][frame] += in.trigger;
        }
    } else {
        for (int i = 0; i < kInstrumentCount; ++i) slots[assign_[i]][frame] += in.instrument[i];
        if (config_.triggerOn) slots[kSlotCount][frame] += in.trigger;
    }
}

}  // namespace vorlatek
