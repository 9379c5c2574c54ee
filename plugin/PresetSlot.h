#pragma once
// One of the 128 programs: the sound of the drum machine under a name.

#include "engine/ParameterIndex.h"

#include <array>

namespace vorlatek {

inline constexpr int kPresetCount = 128;
inline constexpr int kPresetNameChars = 23;   // plus the terminator

struct PresetSlot {
    char name[kPresetNameChars + 1] = "empty";
    std::array<float, param::kPresetCount> values{};

    // Copies at most 23 characters of text.
    void setName(const char* text);
};

}  // namespace vorlatek
