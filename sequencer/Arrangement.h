#pragma once
// The playback arrangement of the extended sequencer and the step playback of both
// sequencers, on the audio thread. It strings patterns together like a performance drum
// machine (basic pattern, intro, fill-ins every few measures or on request, A/B
// alternation, second parts, switches inside the first beat) and turns the cells of a step
// into drum triggers. It plays the audio thread's own copy of the patterns and writes taps
// into it; the position it publishes is what the editor shows.

#include "sequencer/PatternLibrary.h"
#include "sequencer/PlaybackPosition.h"
#include "sequencer/PlaybackSelection.h"
#include "sequencer/RandomThinning.h"
#include "sequencer/RandomThresholds.h"
#include "sequencer/TapJournal.h"
#include "sequencer/TapMailbox.h"

#include <cstdint>

namespace vorlatek {

class DrumEngine;
class SequencerListener;

class Arrangement {
public:
    // The engine and the listener may be null.
    Arrangement(DrumEngine* engine, SequencerListener* listener, PlaybackSelection& selection,
                const RandomThresholds& thresholds);
    Arrangement(const Arrangement&) = delete;
    Arrangement& operator=(const Arrangement&) = delete;

    // The patterns played and the random result that thins them: the audio thread's copy.
    // Both must stay valid until replaced; until then nothing plays.
    void setPatterns(PatternLibrary* library, const RandomThinning* thinning);
    PatternLibrary* patterns() const { return library_; }

    const PlaybackPosition& position() const { return position_; }
    PlaybackPosition& position() { return position_; }
    PlaybackSelection& selection() { return selection_; }
    bool running() const { return running_; }
    int currentPattern() const { return currentPattern_; }
    int currentVariation() const { return currentVariation_; }
    int currentPart() const { return currentPart_; }
    int currentStep() const { return currentStep_; }
    int measureCounter() const { return measureCounter_; }
    int currentSimplePattern() const { return currentSimplePattern_; }
    int simpleStep() const { return simpleStep_; }
    // The extended part playing, or null.
    const StepPattern* currentPartPattern() const;

    // Extended sequencer -------------------------------------------------------------------
    // Starts on the start pattern: the basic pattern, or the intro/fill-in pattern as an intro.
    void startExtended();
    void stopExtended();
    // Moves to the next step, part or measure: switches to a newly selected pattern (or a
    // requested fill-in) at once while the first beat of a part plays and the step grids
    // meet, else at the end of the measure, where fill-ins and A/B alternation happen.
    void advanceStep();
    // The step of `target` aligned with step `a` of `current` just played, when a switch
    // inside the first beat is possible; the switch continues at the step after it. -1 when
    // `a` lies past the first beat, the step grids do not meet, or `target` is too short.
    static int switchAllowed(const StepPattern* current, int a, const StepPattern* target);
    // Writes a waiting tap into the current step, then triggers the step's instruments.
    void playExtendedStep();

    // Simple sequencer (host mode) ---------------------------------------------------------
    // Puts simple pattern `pattern` (0..95) on its first step.
    void startSimple(int pattern);
    void stopSimple();
    // The next step of the simple pattern, back to 0 after its length.
    void advanceSimpleStep();
    void playSimpleStep();

    // Taps ------------------------------------------------------------------------------------
    // A tap taken from the mailbox waits for the next step of a sequencer; written at once
    // into the step just played, it also sounds its rows.
    void holdExtendedTap(const TapMailbox::Tap& tap);
    void holdSimpleTap(const TapMailbox::Tap& tap);
    void writeExtendedTap();
    void writeSimpleTap();
    TapJournal& tapJournal() { return journal_; }

    // Whether random mode silences `row` at `step` of the pattern `playing`.
    bool randomMuted(const PatternRef& playing, int row, int step) const;

private:
    void publish();
    // Triggers the on cells of one step; the accent row's on flag accents the whole step.
    void playStep(const StepPattern& pattern, const PatternRef& ref, int step);
    // Moves to Part 1 of `pattern`/`variation` at step `k`, the step before the next played.
    void switchTo(int pattern, int variation, int k);
    const StepPattern* part(int i, int v, int p) const { return library_ ? library_->part(i, v, p) : nullptr; }
    void writeTap(const PatternRef& pattern, int step, std::uint32_t& rows, int value);

    DrumEngine* engine_;
    SequencerListener* listener_;
    PlaybackSelection& selection_;
    const RandomThresholds& thresholds_;
    PatternLibrary* library_ = nullptr;
    const RandomThinning* thinning_ = nullptr;

    bool running_ = false;
    std::int32_t currentPattern_ = 0;
    std::int32_t currentVariation_ = 0;
    std::int32_t currentPart_ = 0;
    std::int32_t currentStep_ = 0;
    std::int32_t measureCounter_ = 0;
    std::int32_t currentBasicVariation_ = 0;
    std::int32_t currentSimplePattern_ = -1;
    std::int32_t simpleStep_ = -1;

    // Taps waiting for the next step of either sequencer: row bits and cell value.
    std::uint32_t extTapRows_ = 0;
    std::int32_t extTapValue_ = 0;
    std::uint32_t simpleTapRows_ = 0;
    std::int32_t simpleTapValue_ = 0;
    TapJournal journal_;

    PlaybackPosition position_;
};

}  // namespace vorlatek
