#pragma once
// One of the 128 programs: the sound of the drum machine under a name. The values of the
// current program are what the host reads and writes as parameters 0..57, from any thread,
// so each is an atomic value; the name is edited under the plug-in's editing lock.

#include "engine/ParameterIndex.h"

#include <array>
#include <atomic>

namespace vorlatek {

inline constexpr int kPresetCount = 128;
inline constexpr int kPresetNameChars = 23;   // plus the terminator

struct PresetSlot {
    char name[kPresetNameChars + 1] = "empty";
    std::array<std::atomic<float>, param::kPresetCount> values{};

    float value(int i) const { return values[static_cast<std::size_t>(i)].load(std::memory_order_relaxed); }
    void setValue(int i, float v) { values[static_cast<std::size_t>(i)].store(v, std::memory_order_relaxed); }
    // Copies at most 23 characters of text.
    void setName(const char* text);
    // Exchanges names and values with another slot.
    void swapWith(PresetSlot& other);
};

}  // namespace vorlatek
