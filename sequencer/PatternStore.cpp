#include "sequencer/PatternStore.h"

#include <algorithm>
#include <ctime>

namespace vorlatek {

PatternStore::PatternStore(DrumEngine* drumEngine, SequencerListener* sequencerListener)
    : engine(drumEngine), listener(sequencerListener), generator(1234) {
    generator.seed(static_cast<std::uint32_t>(std::time(nullptr)));
    // No random result yet: every rank unset.
    for (auto& row : randomRank) std::fill(std::begin(row), std::end(row), -1.0f);
}

StepPattern* PatternStore::simplePattern(int i) {
    return i >= 0 && i < kSimplePatternCount ? &simplePatterns[i] : nullptr;
}

const StepPattern* PatternStore::simplePattern(int i) const {
    return const_cast<PatternStore*>(this)->simplePattern(i);
}

ExtendedPattern* PatternStore::extendedPattern(int i) {
    return i >= 0 && i < kExtendedPatternCount ? &extendedPatterns[i] : nullptr;
}

const ExtendedPattern* PatternStore::extendedPattern(int i) const {
    return const_cast<PatternStore*>(this)->extendedPattern(i);
}

PatternVariation* PatternStore::variation(int i, int v) {
    ExtendedPattern* pattern = extendedPattern(i);
    return pattern ? pattern->variation(v) : nullptr;
}

const PatternVariation* PatternStore::variation(int i, int v) const {
    return const_cast<PatternStore*>(this)->variation(i, v);
}

StepPattern* PatternStore::part(int i, int v, int p) {
    PatternVariation* found = variation(i, v);
    return found ? found->part(p) : nullptr;
}

const StepPattern* PatternStore::part(int i, int v, int p) const {
    return const_cast<PatternStore*>(this)->part(i, v, p);
}

}  // namespace vorlatek
