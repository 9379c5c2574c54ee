#pragma once
// An extended pattern: two variations (A and B) of up to two parts each, under one name.

#include "sequencer/PatternVariation.h"

namespace vorlatek {

struct ExtendedPattern {
    PatternVariation variationA;
    PatternVariation variationB;
    char name[kPatternNameLength + 1] = "Empty";

    void setName(std::string_view text) { copyPatternName(name, text); }

    // v 0 = A, 1 = B; nullptr otherwise.
    PatternVariation* variation(int v) { return v == 0 ? &variationA : v == 1 ? &variationB : nullptr; }
    const PatternVariation* variation(int v) const {
        return v == 0 ? &variationA : v == 1 ? &variationB : nullptr;
    }
};

// Copies the name, each variation's shuffle and, for each of the four parts, the length
// (clamped to the destination part's minimum), resolution and cells. The names of the parts
// and the variations' tempi are left alone.
void copyExtendedPattern(const ExtendedPattern& source, ExtendedPattern& destination);

}  // namespace vorlatek
