#pragma once
// Which pattern the editor edits and how: the pattern-edition state of the plug-in.

#include <array>
#include <cstdint>

namespace vorlatek {

struct PatternEdition {
    static constexpr int kRows = 18;

    bool writeMode = false;    // step buttons edit cells instead of selecting play patterns
    bool autoFollow = false;   // the edited pattern follows the playing one
    bool randMode = false;     // random pattern generation
    bool lengthMode = false;   // step buttons set the pattern length
    std::int32_t editedSimplePattern = 0;      // 0..95
    std::int32_t editedExtendedPattern = 0;    // 0..15
    std::int32_t editedExtendedVariation = 0;  // 0 A, 1 B
    std::int32_t editedExtendedPart = 0;       // 0 part 1, 1 part 2
    std::array<bool, kRows> selectedInstrument{};  // rows editing acts on (17 = accent)
};

}  // namespace vorlatek
