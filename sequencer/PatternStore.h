#pragma once
// Every pattern the internal sequencer plays and edits: 16 extended patterns (0..11 basic,
// 12..15 intro/fill-in) and 96 simple patterns, all by value, plus the state of random
// generation and of the playback arrangement. The audio thread reads this store without
// locks, so nothing here is allocated after construction except the seed history.

#include "sequencer/ExtendedPattern.h"
#include "sequencer/MersenneTwister.h"
#include "sequencer/StepPattern.h"

#include <array>
#include <cstdint>
#include <deque>

namespace vorlatek {

class DrumEngine;
class SequencerListener;

inline constexpr int kExtendedPatternCount = 16;
inline constexpr int kBasicPatternCount = 12;  // extended patterns 12..15 are intro/fill-ins
inline constexpr int kSimplePatternCount = 96;

class PatternStore {
public:
    // Either pointer may be null.
    PatternStore(DrumEngine* engine, SequencerListener* listener);

    // Pointers into the store, valid for its life; nullptr for an index out of range.
    StepPattern* simplePattern(int i);
    const StepPattern* simplePattern(int i) const;
    ExtendedPattern* extendedPattern(int i);
    const ExtendedPattern* extendedPattern(int i) const;
    PatternVariation* variation(int i, int v);  // v 0 = A, 1 = B
    const PatternVariation* variation(int i, int v) const;
    StepPattern* part(int i, int v, int p);  // p 0 = first part, 1 = second part
    const StepPattern* part(int i, int v, int p) const;

    DrumEngine* engine = nullptr;
    SequencerListener* listener = nullptr;

    MersenneTwister generator;

    ExtendedPattern extendedPatterns[kExtendedPatternCount];
    StepPattern simplePatterns[kSimplePatternCount];

    // Random generation: the pattern as it was before randomisation.
    StepPattern randomBackup;

    // Random generation state.
    bool randActive = false;   // random editing was allowed at the editor's last refresh
    bool randPending = false;  // a generated pattern is neither accepted nor discarded
    StepPattern* randomised = nullptr;  // the pattern under randomisation
    std::uint32_t currentSeed = 0;      // 0 before the first generation
    std::deque<std::uint32_t> seedHistory;  // earlier seeds, newest at the back
    float randThreshold[kPatternRows] = {};
    bool randomisedRows[kPatternRows] = {};
    float randomRank[kPatternRows][kPatternSteps] = {};

    // Random generation. A generation turns every step of the chosen rows on and gives each
    // step a rank k/16 in a random order; the row's threshold then lets only the steps of
    // lowest rank sound, so turning the threshold knob thins or fills the row live. The
    // result stays pending until it is accepted (thinned for good) or undone. A seed always
    // gives the same result for the same rows. The operations that finish a result act on
    // the pattern under randomisation, whatever the editor shows by then.
    using RowSelection = std::array<bool, kPatternRows>;

    // Randomises the selected rows of `pattern` with the generator as it stands; a result
    // still pending on another pattern is accepted first. Nothing happens without a pattern.
    void randomizePattern(StepPattern* pattern, const RowSelection& rows);
    // Draws a new seed (1..1000000) from the generator, remembers the one shown so far and
    // randomises `pattern` from the new seed.
    void nextRandom(StepPattern* pattern, const RowSelection& rows);
    // Goes back to the last remembered seed and randomises `pattern` from it; nothing when
    // no seed is remembered.
    void previousRandom(StepPattern* pattern, const RowSelection& rows);
    // Clears the steps that the thresholds silence in the randomised rows, then resetRandom.
    void bakeRandom();
    // Nothing pending, no randomised row, every rank unset.
    void resetRandom();
    // Keeps the thinned result; later generations start from it.
    void acceptRandom();
    // Gives the randomised rows back the cells they had before randomisation.
    void undoRandom();
    // Undoes a pending result and lets go of the pattern under randomisation.
    void discardRandom();
    // Follows the random gate (random editing allowed or not): leaving it discards a
    // pending result.
    void updateRandomGate(bool gate);

    // Whether the threshold silences step `step` of row `row` of the pending result.
    bool thinnedOut(int row, int step) const;

    // Playback arrangement of the extended sequencer.
    std::int32_t autoFillIn = 0;  // 0 = manual, else a fill-in every that many measures
    std::int32_t measureCounter = 0;
    std::int32_t basicVariation = 0;  // 0 = A, 1 = B, 2 = alternate A and B
    std::int32_t introFillInVariation = 0;
    bool running = false;
    std::int32_t currentPattern = 0;
    std::int32_t currentVariation = 0;
    std::int32_t currentPart = 0;
    std::int32_t currentStep = 0;
    std::int32_t basicPattern = 0;
    std::int32_t currentBasicVariation = 0;
    std::int32_t introFillInPattern = 0;
    std::int32_t startPatternType = 0;  // 0 = basic pattern, 1 = intro/fill-in
    bool fillInRequested = false;

    // Host mode: the simple pattern playing and its step, -1 for none.
    std::int32_t currentSimplePattern = -1;
    std::int32_t simpleStep = -1;

    // Taps waiting for the next step of either sequencer.
    bool extTapRows[kPatternRows] = {};
    std::int32_t extTapValue = 0;
    bool simpleTapRows[kPatternRows] = {};
    std::int32_t simpleTapValue = 0;

    // Playback arrangement: what the sequencer clock calls on every step (audio thread).
    //
    // Starts the extended sequencer on the start pattern: the basic pattern, or the
    // intro/fill-in pattern as an intro.
    void startExtended();
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
    void playSimpleStep();
    // Writes the waiting tap into the current step of the playing pattern (no trigger).
    void writeExtendedTap();
    void writeSimpleTap();
    // m 0..11 selects the basic pattern, 12..15 the intro/fill-in pattern; else ignored.
    void selectPlayPattern(int m);
    void toggleStartPatternType();
    // 0 (manual), 2, 4, 8, 12 or 16 measures between automatic fill-ins; else ignored.
    void setAutoFillIn(int n);
    // Whether random mode silences `row` at `step` of `pattern`: the row was randomised in
    // that pattern and the step's rank lies at or above the row's threshold.
    bool randomMuted(const StepPattern& pattern, int row, int step) const;

    // The extended part playing, or null.
    const StepPattern* currentPartPattern() const { return part(currentPattern, currentVariation, currentPart); }

private:
    // Triggers the on cells of one step; the accent row's on flag accents the whole step.
    void playStep(const StepPattern& pattern, int step);
    // Moves to Part 1 of `pattern`/`variation` at step `k`, the step before the next played.
    void switchTo(int pattern, int variation, int k);
};

}  // namespace vorlatek
