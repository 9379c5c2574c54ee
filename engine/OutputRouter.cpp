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

void OutputRouter::writePin(float* pin, const float* const* rows, int rowCount, int frames, bool replacing) {
    int next = 0;
    if (replacing) {
        if (rowCount == 0) {
            std::fill(pin, pin + frames, 0.0f);
            return;
        }
        // 0 + x, as a cleared pin would hold: −0 comes out as +0.
        for (int f = 0; f < frames; ++f) pin[f] = 0.0f + rows[0][f];
        next = 1;
    }
    for (; next < rowCount; ++next)
        for (int f = 0; f < frames; ++f) pin[f] += rows[next][f];
}

void OutputRouter::routeRun(const EngineRun& run, float* const* outputs, int offset, bool replacing) const {
    const int frames = run.frames;
    int pin = 0;
    const auto writeSlot = [&](int width, const float* const* rows, int rowCount) {
        for (int c = 0; c < width; ++c, ++pin) writePin(outputs[pin] + offset, rows, rowCount, frames, replacing);
    };

    if (config_.masterOn) {
        const float* master = run.master;
        writeSlot(config_.masterChannels(), &master, run.masterSounding ? 1 : 0);
    }
    // Each slot's sounding rows, in instrument order.
    const float* slotRows[kSlotCount][kInstrumentCount];
    int slotRowCount[kSlotCount] = {};
    for (int i = 0; i < kInstrumentCount; ++i) {
        if (!run.sounding[i]) continue;
        const int slot = assign_[i];
        slotRows[slot][slotRowCount[slot]++] = run.instrument[i];
    }
    const int width = config_.slotWidth();
    for (int slot = 0; slot < kSlotCount; ++slot) writeSlot(width, slotRows[slot], slotRowCount[slot]);
    if (config_.triggerOn) {
        const float* trigger = run.trigger;
        writeSlot(width, &trigger, 1);
    }
}

}  // namespace vorlatek
