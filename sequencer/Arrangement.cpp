// How the extended sequencer strings its patterns together like a performance drum
// machine, and how a step turns cells into drum triggers.

#include "sequencer/Arrangement.h"

#include "engine/DrumEngine.h"
#include "sequencer/SequencerListener.h"

#include <cmath>

namespace vorlatek {

namespace {

constexpr int kVariationA = PlaybackSelection::kVariationA;
constexpr int kVariationB = PlaybackSelection::kVariationB;
constexpr int kAlternateAB = PlaybackSelection::kAlternateAB;

bool validStep(int step) { return step >= 0 && step < kPatternSteps; }

std::uint32_t rowBits(const TapMailbox::Rows& rows) {
    std::uint32_t bits = 0;
    for (int row = 0; row < kPatternRows; ++row)
        if (rows[static_cast<std::size_t>(row)]) bits |= 1u << row;
    return bits;
}

}  // namespace

Arrangement::Arrangement(DrumEngine* engine, SequencerListener* listener, PlaybackSelection& selection,
                         const RandomThresholds& thresholds)
    : engine_(engine), listener_(listener), selection_(selection), thresholds_(thresholds) {}

void Arrangement::setPatterns(PatternLibrary* library, const RandomThinning* thinning) {
    library_ = library;
    thinning_ = thinning;
}

void Arrangement::publish() {
    position_.running_.store(running_, std::memory_order_relaxed);
    PlaybackPosition::put(position_.currentPattern_, currentPattern_);
    PlaybackPosition::put(position_.currentVariation_, currentVariation_);
    PlaybackPosition::put(position_.currentPart_, currentPart_);
    PlaybackPosition::put(position_.currentStep_, currentStep_);
    PlaybackPosition::put(position_.currentSimplePattern_, currentSimplePattern_);
    PlaybackPosition::put(position_.simpleStep_, simpleStep_);
}

const StepPattern* Arrangement::currentPartPattern() const {
    return part(currentPattern_, currentVariation_, currentPart_);
}

// Extended sequencer --------------------------------------------------------------------------

void Arrangement::startExtended() {
    running_ = true;
    currentStep_ = 0;
    currentPart_ = 0;
    currentBasicVariation_ = selection_.basicVariation() == kVariationB ? kVariationB : kVariationA;
    if (selection_.startPatternType() == PlaybackSelection::kStartBasic) {
        measureCounter_ = 0;
        currentPattern_ = selection_.basicPattern();
        currentVariation_ = currentBasicVariation_;
    } else {
        measureCounter_ = -1;  // the intro does not count towards the fill-in cycle
        currentPattern_ = selection_.introFillInPattern();
        currentVariation_ = selection_.introFillInVariation();
    }
    publish();
}

void Arrangement::stopExtended() {
    running_ = false;
    publish();
}

int Arrangement::switchAllowed(const StepPattern* current, int a, const StepPattern* target) {
    if (!current || !target || a < 0 || a >= current->stepsPerBeat) return -1;
    const double c = static_cast<double>(target->stepsPerBeat) / current->stepsPerBeat * (a + 1);
    if (c != std::floor(c) || c >= target->length) return -1;
    return static_cast<int>(c) - 1;
}

void Arrangement::switchTo(int pattern, int variation, int k) {
    currentPattern_ = pattern;
    currentVariation_ = variation;
    currentPart_ = 0;
    currentStep_ = k;
}

void Arrangement::advanceStep() {
    const StepPattern* playing = currentPartPattern();
    const int basicPattern = selection_.basicPattern();
    const int fillInPattern = selection_.introFillInPattern();
    const int fillInVariation = selection_.introFillInVariation();
    const int autoFillIn = selection_.autoFillIn();

    // Inside the first beat a new selection, or a manual fill-in, takes over at once.
    if (autoFillIn == 0 && selection_.fillInRequested()) {
        const int k = switchAllowed(playing, currentStep_, part(fillInPattern, fillInVariation, 0));
        if (k >= 0) {
            selection_.cancelFillIn();
            switchTo(fillInPattern, fillInVariation, k);
            playing = currentPartPattern();
        }
    }
    if (currentPattern_ < kBasicPatternCount && currentPattern_ != basicPattern) {
        const int k = switchAllowed(playing, currentStep_, part(basicPattern, currentBasicVariation_, 0));
        if (k >= 0) {
            switchTo(basicPattern, currentBasicVariation_, k);
            playing = currentPartPattern();
        }
    }
    if (currentPattern_ >= kBasicPatternCount && currentPattern_ != fillInPattern) {
        const int k = switchAllowed(playing, currentStep_, part(fillInPattern, fillInVariation, 0));
        if (k >= 0) {
            switchTo(fillInPattern, fillInVariation, k);
            playing = currentPartPattern();
        }
    }

    ++currentStep_;
    if (playing && currentStep_ < playing->length) {
        publish();
        return;
    }

    currentStep_ = 0;
    const StepPattern* second = part(currentPattern_, currentVariation_, 1);
    if (currentPart_ == 0 && second && second->length != 0) {
        currentPart_ = 1;
        publish();
        return;
    }

    // End of the measure. An intro (counter -1) leaves the A/B alternation where it was.
    const int basicVariation = selection_.basicVariation();
    if (measureCounter_ != -1)
        currentBasicVariation_ = basicVariation == kAlternateAB ? 1 - currentBasicVariation_ : basicVariation;
    currentPart_ = 0;

    bool fillIn = false;
    if (autoFillIn > 0) {
        ++measureCounter_;
        fillIn = measureCounter_ == autoFillIn - 1;
        if (measureCounter_ >= autoFillIn) measureCounter_ = 0;
    } else {
        fillIn = selection_.takeFillIn();
    }
    if (fillIn) {
        currentPattern_ = fillInPattern;
        currentVariation_ = fillInVariation;
    } else {
        currentPattern_ = basicPattern;
        currentVariation_ = currentBasicVariation_;
    }
    publish();
}

void Arrangement::playExtendedStep() {
    const PatternRef ref = PatternRef::extended(currentPattern_, currentVariation_, currentPart_);
    const StepPattern* playing = currentPartPattern();
    if (!running_ || !validStep(currentStep_) || !playing) return;
    writeTap(ref, currentStep_, extTapRows_, extTapValue_);
    playStep(*playing, ref, currentStep_);
}

// Simple sequencer ----------------------------------------------------------------------------

void Arrangement::startSimple(int pattern) {
    currentSimplePattern_ = pattern;
    simpleStep_ = 0;
    publish();
}

void Arrangement::stopSimple() {
    currentSimplePattern_ = -1;
    simpleStep_ = -1;
    publish();
}

void Arrangement::advanceSimpleStep() {
    const StepPattern* pattern = library_ ? library_->simplePattern(currentSimplePattern_) : nullptr;
    if (!pattern) return;
    if (++simpleStep_ >= pattern->length) simpleStep_ = 0;
    publish();
}

void Arrangement::playSimpleStep() {
    const StepPattern* playing = library_ ? library_->simplePattern(currentSimplePattern_) : nullptr;
    if (!playing || !validStep(simpleStep_)) return;
    const PatternRef ref = PatternRef::simple(currentSimplePattern_);
    writeTap(ref, simpleStep_, simpleTapRows_, simpleTapValue_);
    playStep(*playing, ref, simpleStep_);
}

// Steps and taps -------------------------------------------------------------------------------

bool Arrangement::randomMuted(const PatternRef& playing, int row, int step) const {
    return thinning_ && thinning_->muted(playing, row, step, thresholds_);
}

void Arrangement::playStep(const StepPattern& pattern, const PatternRef& ref, int step) {
    bool accent = pattern.cells[kAccentRow][step].on != 0;
    if (accent && randomMuted(ref, kAccentRow, step)) accent = false;
    if (accent) {
        if (listener_) listener_->instrumentActivity(kAccentRow);
        if (engine_ && engine_->triggerOutputInstrument() == kAccentRow) engine_->startTriggerPulse();
    }
    for (int i = 0; i < kAccentRow; ++i) {
        const StepCell& cell = pattern.cells[i][step];
        if (!cell.on || randomMuted(ref, i, step)) continue;
        if (engine_) engine_->triggerInstrument(i, cell.accent != 0, accent);
        if (listener_) listener_->instrumentActivity(i);
    }
}

void Arrangement::holdExtendedTap(const TapMailbox::Tap& tap) {
    extTapRows_ = rowBits(tap.rows);
    extTapValue_ = tap.value;
}

void Arrangement::holdSimpleTap(const TapMailbox::Tap& tap) {
    simpleTapRows_ = rowBits(tap.rows);
    simpleTapValue_ = tap.value;
}

// Stores the waiting tap into one step, as the value was tapped, and clears it.
void Arrangement::writeTap(const PatternRef& pattern, int step, std::uint32_t& rows, int value) {
    const std::uint32_t waiting = rows;
    rows = 0;
    if (!library_ || !validStep(step) || !library_->find(pattern)) return;
    journal_.write(*library_, pattern, step, waiting, value);
}

void Arrangement::writeExtendedTap() {
    writeTap(PatternRef::extended(currentPattern_, currentVariation_, currentPart_), currentStep_, extTapRows_,
             extTapValue_);
}

void Arrangement::writeSimpleTap() {
    writeTap(PatternRef::simple(currentSimplePattern_), simpleStep_, simpleTapRows_, simpleTapValue_);
}

}  // namespace vorlatek
