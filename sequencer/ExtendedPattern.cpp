#include "sequencer/ExtendedPattern.h"

namespace vorlatek {

namespace {

void copyPart(const StepPattern& source, StepPattern& destination) {
    destination.setLength(source.length);
    destination.setStepsPerBeat(source.stepsPerBeat);
    copyCells(source, destination);
}

}  // namespace

void copyExtendedPattern(const ExtendedPattern& source, ExtendedPattern& destination) {
    destination.setName(patternName(source.name));
    for (int v = 0; v < 2; ++v) {
        const PatternVariation& from = *source.variation(v);
        PatternVariation& to = *destination.variation(v);
        to.setShuffle(from.shuffle);
        copyPart(from.part1, to.part1);
        copyPart(from.part2, to.part2);
    }
}

}  // namespace vorlatek
