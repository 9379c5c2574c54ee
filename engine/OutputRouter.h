#pragma once
// Puts each rendered run of frames onto the host's output pins. Pin layout, in host order:
//   1. the master: no pin, one (mono) or two (stereo, the same signal on both);
//   2. seventeen instrument slots, one pin each, or a pair each when instruments are stereo;
//   3. with the trigger output on, one more slot of the instrument slots' width.
// Every instrument goes to the slot its assign entry names; instruments sharing a slot are
// summed. The trigger pulse is never scaled by the master volume.
//
// Each pin is written in one pass over the run: a host's pin buffers often lie at equal
// power-of-two strides, where writing one sample to each pin in turn makes them evict each
// other from the cache.

#include "engine/EngineRun.h"
#include "engine/OutputConfig.h"

#include <array>
#include <cstdint>

namespace vorlatek {

class OutputRouter {
public:
    static constexpr int kSlotCount = kInstrumentCount;

    // Instrument i to slot i.
    OutputRouter();

    void setConfig(const OutputConfig& config) { config_ = config; }
    const OutputConfig& config() const { return config_; }
    int outputCount() const { return config_.outputCount(); }

    // Slot 0..16 for an instrument; out-of-range slots are limited to 0..16, out-of-range
    // instruments are ignored. May change while audio runs: the next frame uses it.
    void setAssign(int instrument, int slot);
    int assign(int instrument) const { return assign_[instrument]; }

    // Adds a run to samples [offset, offset + run.frames) of each of outputCount() pins; when
    // `replacing`, those samples are set to 0 first. Rows the run marks silent add nothing.
    void routeRun(const EngineRun& run, float* const* outputs, int offset, bool replacing) const;

private:
    // Writes the `width` pins of one slot (the same signal on each) from at least one row:
    // 0 (when replacing) plus each row in turn, frame by frame. When replacing, the first pin
    // is worked out and the others copied from it.
    static void writeSlot(float* const* pins, int width, const float* const* rows, int rowCount, int frames,
                          bool replacing);

    OutputConfig config_;
    std::array<std::int32_t, kInstrumentCount> assign_{};
};

}  // namespace vorlatek
