#include "engine/OutputRouter.h"

#include "engine/ProcessorFeatures.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vorlatek {

OutputRouter::OutputRouter() {
    for (int i = 0; i < kInstrumentCount; ++i) assign_[i] = i;
}

void OutputRouter::setAssign(int instrument, int slot) {
    if (instrument < 0 || instrument >= kInstrumentCount) return;
    assign_[instrument] = std::clamp(slot, 0, kSlotCount - 1);
}

namespace {

[[gnu::always_inline]] inline void writePinBody(float* __restrict pin, const float* const* rows, int rowCount,
                                                int frames, bool replacing) {
    int next = 0;
    if (replacing) {
        // 0 + x, as a cleared pin would hold: −0 comes out as +0.
        const float* __restrict row = rows[0];
        for (int f = 0; f < frames; ++f) pin[f] = 0.0f + row[f];
        next = 1;
    }
    for (; next < rowCount; ++next) {
        const float* __restrict row = rows[next];
        for (int f = 0; f < frames; ++f) pin[f] += row[f];
    }
}

[[gnu::always_inline]] inline void writeSlotBody(float* const* pins, int width, const float* const* rows, int rowCount,
                                                 int frames, bool replacing) {
    if (!replacing) {
        for (int c = 0; c < width; ++c) writePinBody(pins[c], rows, rowCount, frames, false);
        return;
    }
    writePinBody(pins[0], rows, rowCount, frames, true);
    // Copied in order, frame by frame: pins a host lets overlap get what that gives.
    const float* first = pins[0];
    for (int c = 1; c < width; ++c) {
        float* pin = pins[c];
        for (int f = 0; f < frames; ++f) pin[f] = first[f];
    }
}

void writeSlotBase(float* const* pins, int width, const float* const* rows, int rowCount, int frames, bool replacing) {
    writeSlotBody(pins, width, rows, rowCount, frames, replacing);
}

#if defined(VORLATEK_ENGINE_WIDE)
// Sixteen samples to a store where the processor has AVX-512: at short blocks the stores to
// the 36 pins were most of the router's time.
[[VORLATEK_WIDE_LOOP]] void writeSlotWide(float* const* pins, int width, const float* const* rows, int rowCount,
                                          int frames, bool replacing) {
    writeSlotBody(pins, width, rows, rowCount, frames, replacing);
}
#endif

}  // namespace

void OutputRouter::writeSlot(float* const* pins, int width, const float* const* rows, int rowCount, int frames,
                             bool replacing) {
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) return writeSlotWide(pins, width, rows, rowCount, frames, replacing);
#endif
    writeSlotBase(pins, width, rows, rowCount, frames, replacing);
}

namespace {

// Silent pins waiting to be cleared. Consecutive ones whose buffers lie back to back, as
// hosts often allocate them, are cleared in one go: a call for each short pin cost more
// than its stores. Pins are still written in their order: whatever comes between two silent
// pins clears those before it first.
class PinClearing {
public:
    PinClearing(const PinClearing&) = delete;
    PinClearing& operator=(const PinClearing&) = delete;
    PinClearing() = default;
    ~PinClearing() { flush(); }

    void add(float* pin, int frames) {
        const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(float);
        if (bytes_ == 0 || reinterpret_cast<std::uintptr_t>(pin) != reinterpret_cast<std::uintptr_t>(begin_) + bytes_) {
            flush();
            begin_ = reinterpret_cast<unsigned char*>(pin);
        }
        bytes_ += bytes;
    }
    void flush() {
        if (bytes_ > 0) std::memset(begin_, 0, bytes_);  // all bits 0 is +0.0f
        bytes_ = 0;
    }

private:
    unsigned char* begin_ = nullptr;
    std::size_t bytes_ = 0;
};

}  // namespace

void OutputRouter::routeRun(const EngineRun& run, float* const* outputs, int offset, bool replacing) const {
    const int frames = run.frames;
    PinClearing clearing;
    // A run where nothing sounds, as between notes: every pin silent, no row to look at.
    if (!run.masterSounding && !config_.triggerOn &&
        std::none_of(run.sounding.begin(), run.sounding.end(), [](bool sounding) { return sounding; })) {
        if (replacing)
            for (int pin = 0; pin < config_.outputCount(); ++pin) clearing.add(outputs[pin] + offset, frames);
        return;
    }
    int pin = 0;
    const auto route = [&](int width, const float* const* rows, int rowCount) {
        if (rowCount == 0) {
            if (replacing)
                for (int c = 0; c < width; ++c) clearing.add(outputs[pin + c] + offset, frames);
            pin += width;
            return;
        }
        clearing.flush();
        float* pins[OutputConfig::kMaxSlotWidth];
        for (int c = 0; c < width; ++c) pins[c] = outputs[pin++] + offset;
        writeSlot(pins, width, rows, rowCount, frames, replacing);
    };

    if (config_.masterOn) {
        const float* master = run.master;
        route(config_.masterChannels(), &master, run.masterSounding ? 1 : 0);
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
    for (int slot = 0; slot < kSlotCount; ++slot) route(width, slotRows[slot], slotRowCount[slot]);
    if (config_.triggerOn) {
        const float* trigger = run.trigger;
        route(width, &trigger, 1);
    }
}

}  // namespace vorlatek
