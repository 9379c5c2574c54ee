#pragma once
// One variation of an extended pattern: a first part that always plays and an optional
// second part (length 0 = none) that follows it within the same measure. The variation,
// not its parts, carries the swing and the tempo.

#include "sequencer/StepPattern.h"

namespace vorlatek {

struct PatternVariation {
    PatternVariation() {
        part2.allowEmpty = true;
        part2.length = 0;
    }

    StepPattern part1;
    StepPattern part2;
    double shuffle = 0.0;
    double bpm = 120.0;

    void setShuffle(double x) { shuffle = clampedShuffle(x); }
    void setBpm(double x) { bpm = roundedBpm(x); }

    // p 0 = first part, 1 = second part; nullptr otherwise.
    StepPattern* part(int p) { return p == 0 ? &part1 : p == 1 ? &part2 : nullptr; }
    const StepPattern* part(int p) const { return p == 0 ? &part1 : p == 1 ? &part2 : nullptr; }
};

}  // namespace vorlatek
