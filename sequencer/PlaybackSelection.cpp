#include "sequencer/PlaybackSelection.h"

#include "sequencer/PatternLibrary.h"

namespace vorlatek {

void PlaybackSelection::selectPlayPattern(int m) {
    if (m >= 0 && m < kBasicPatternCount)
        basicPattern_.store(m, std::memory_order_relaxed);
    else if (m >= kBasicPatternCount && m < kExtendedPatternCount)
        introFillInPattern_.store(m, std::memory_order_relaxed);
}

void PlaybackSelection::setBasicVariation(int v) {
    if (v >= kVariationA && v <= kAlternateAB) basicVariation_.store(v, std::memory_order_relaxed);
}

void PlaybackSelection::setIntroFillInVariation(int v) {
    if (v == kVariationA || v == kVariationB) introFillInVariation_.store(v, std::memory_order_relaxed);
}

void PlaybackSelection::setStartPatternType(int type) {
    if (type == kStartBasic || type == kStartIntro) startPatternType_.store(type, std::memory_order_relaxed);
}

void PlaybackSelection::toggleStartPatternType() {
    startPatternType_.fetch_xor(1, std::memory_order_relaxed);
}

void PlaybackSelection::setAutoFillIn(int n) {
    if (validAutoFillIn(n)) autoFillIn_.store(n, std::memory_order_relaxed);
}

}  // namespace vorlatek
