// How the extended sequencer strings its patterns together like a performance drum
// machine, and how a step turns cells into drum triggers.

#include "engine/DrumEngine.h"
#include "sequencer/PatternStore.h"
#include "sequencer/SequencerListener.h"

#include <cmath>

namespace vorlatek {

namespace {

constexpr int kVariationA = 0;
constexpr int kVariationB = 1;
constexpr int kAlternateAB = 2;

bool validStep(int step) { return step >= 0 && step < kPatternSteps; }

// Stores a tap into one step, as the value was tapped (an accent-row tap of 1 stays 1),
// and clears the waiting rows.
void writeTap(StepPattern& pattern, int step, bool (&rows)[kPatternRows], std::int32_t value) {
    for (int row = 0; row < kPatternRows; ++row) {
        if (!rows[row]) continue;
        rows[row] = false;
        if (!validStep(step)) continue;
        StepCell& cell = pattern.cells[row][step];
        cell.on = (value & kCellOn) ? 1 : 0;
        cell.accent = (value & kCellAccentOnly) ? 1 : 0;
    }
}

}  // namespace

void PatternStore::startExtended() {
    running = true;
    currentStep = 0;
    currentPart = 0;
    currentBasicVariation = basicVariation == kVariationB ? kVariationB : kVariationA;
    if (startPatternType == 0) {
        measureCounter = 0;
        currentPattern = basicPattern;
        currentVariation = currentBasicVariation;
    } else {
        measureCounter = -1;  // the intro does not count towards the fill-in cycle
        currentPattern = introFillInPattern;
        currentVariation = introFillInVariation;
    }
}

int PatternStore::switchAllowed(const StepPattern* current, int a, const StepPattern* target) {
    if (!current || !target || a < 0 || a >= current->stepsPerBeat) return -1;
    const double c = static_cast<double>(target->stepsPerBeat) / current->stepsPerBeat * (a + 1);
    if (c != std::floor(c) || c >= target->length) return -1;
    return static_cast<int>(c) - 1;
}

void PatternStore::switchTo(int pattern, int variation, int k) {
    currentPattern = pattern;
    currentVariation = variation;
    currentPart = 0;
    currentStep = k;
}

void PatternStore::advanceStep() {
    const StepPattern* playing = currentPartPattern();

    // Inside the first beat a new selection, or a manual fill-in, takes over at once.
    if (autoFillIn == 0 && fillInRequested) {
        const int k = switchAllowed(playing, currentStep, part(introFillInPattern, introFillInVariation, 0));
        if (k >= 0) {
            fillInRequested = false;
            switchTo(introFillInPattern, introFillInVariation, k);
            playing = currentPartPattern();
        }
    }
    if (currentPattern < kBasicPatternCount && currentPattern != basicPattern) {
        const int k = switchAllowed(playing, currentStep, part(basicPattern, currentBasicVariation, 0));
        if (k >= 0) {
            switchTo(basicPattern, currentBasicVariation, k);
            playing = currentPartPattern();
        }
    }
    if (currentPattern >= kBasicPatternCount && currentPattern != introFillInPattern) {
        const int k = switchAllowed(playing, currentStep, part(introFillInPattern, introFillInVariation, 0));
        if (k >= 0) {
            switchTo(introFillInPattern, introFillInVariation, k);
            playing = currentPartPattern();
        }
    }

    ++currentStep;
    if (playing && currentStep < playing->length) return;

    currentStep = 0;
    const StepPattern* second = part(currentPattern, currentVariation, 1);
    if (currentPart == 0 && second && second->length != 0) {
        currentPart = 1;
        return;
    }

    // End of the measure. An intro (counter -1) leaves the A/B alternation where it was.
    if (measureCounter != -1)
        currentBasicVariation = basicVariation == kAlternateAB ? 1 - currentBasicVariation : basicVariation;
    currentPart = 0;

    bool fillIn = false;
    if (autoFillIn > 0) {
        ++measureCounter;
        fillIn = measureCounter == autoFillIn - 1;
        if (measureCounter >= autoFillIn) measureCounter = 0;
    } else {
        fillIn = fillInRequested;
        fillInRequested = false;
    }
    if (fillIn) {
        currentPattern = introFillInPattern;
        currentVariation = introFillInVariation;
    } else {
        currentPattern = basicPattern;
        currentVariation = currentBasicVariation;
    }
}

bool PatternStore::randomMuted(const StepPattern& pattern, int row, int step) const {
    return randActive && row >= 0 && row < kPatternRows && validStep(step) && randomisedRows[row] &&
           randomised == &pattern && randomRank[row][step] >= randThreshold[row];
}

void PatternStore::playStep(const StepPattern& pattern, int step) {
    bool accent = pattern.cells[kAccentRow][step].on != 0;
    if (accent && randomMuted(pattern, kAccentRow, step)) accent = false;
    if (accent) {
        if (listener) listener->instrumentActivity(kAccentRow);
        if (engine && engine->triggerOutputInstrument() == kAccentRow) engine->startTriggerPulse();
    }
    for (int i = 0; i < kAccentRow; ++i) {
        const StepCell& cell = pattern.cells[i][step];
        if (!cell.on || randomMuted(pattern, i, step)) continue;
        if (engine) engine->triggerInstrument(i, cell.accent != 0, accent);
        if (listener) listener->instrumentActivity(i);
    }
}

void PatternStore::writeExtendedTap() {
    if (StepPattern* playing = part(currentPattern, currentVariation, currentPart))
        writeTap(*playing, currentStep, extTapRows, extTapValue);
}

void PatternStore::writeSimpleTap() {
    if (StepPattern* playing = simplePattern(currentSimplePattern))
        writeTap(*playing, simpleStep, simpleTapRows, simpleTapValue);
}

void PatternStore::playExtendedStep() {
    StepPattern* playing = part(currentPattern, currentVariation, currentPart);
    if (!running || !validStep(currentStep) || !playing) return;
    writeTap(*playing, currentStep, extTapRows, extTapValue);
    playStep(*playing, currentStep);
}

void PatternStore::playSimpleStep() {
    StepPattern* playing = simplePattern(currentSimplePattern);
    if (!playing || !validStep(simpleStep)) return;
    writeTap(*playing, simpleStep, simpleTapRows, simpleTapValue);
    playStep(*playing, simpleStep);
}

void PatternStore::selectPlayPattern(int m) {
    if (m >= 0 && m < kBasicPatternCount)
        basicPattern = m;
    else if (m >= kBasicPatternCount && m < kExtendedPatternCount)
        introFillInPattern = m;
}

void PatternStore::toggleStartPatternType() { startPatternType = startPatternType == 0 ? 1 : 0; }

void PatternStore::setAutoFillIn(int n) {
    if (n == 0 || n == 2 || n == 4 || n == 8 || n == 12 || n == 16) autoFillIn = n;
}

}  // namespace vorlatek
