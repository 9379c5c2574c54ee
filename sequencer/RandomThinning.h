#pragma once
// What playback needs to know of a pending random result: which pattern was randomised,
// which of its rows, and the rank of every step. A row's threshold lets only the steps of
// lower rank sound, so turning the threshold knob thins or fills the row live.

#include "sequencer/PatternLibrary.h"
#include "sequencer/RandomThresholds.h"

namespace vorlatek {

struct RandomThinning {
    bool active = false;  // random editing allowed: thinning applies
    PatternRef pattern;   // the pattern under randomisation, if any
    bool rows[kPatternRows] = {};
    float rank[kPatternRows][kPatternSteps] = {};

    // Whether the threshold silences `step` of `row` (whatever pattern is playing).
    bool thinnedOut(int row, int step, const RandomThresholds& thresholds) const {
        return row >= 0 && row < kPatternRows && step >= 0 && step < kPatternSteps && rows[row] &&
               rank[row][step] >= thresholds.get(row);
    }
    // Whether random mode silences `row` at `step` of the pattern `playing`.
    bool muted(const PatternRef& playing, int row, int step, const RandomThresholds& thresholds) const {
        return active && playing == pattern && thinnedOut(row, step, thresholds);
    }
};

}  // namespace vorlatek
