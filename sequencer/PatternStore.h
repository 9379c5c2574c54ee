#pragma once
// The editor's side of the patterns: the library the editing operations, the files and the
// saved state work on, and the state of random generation. It lives on the threads that
// edit (under the plug-in's editing lock); the audio thread plays a copy of it, handed over
// whole (see RandomThinning for what playback needs of the random state).

#include "sequencer/MersenneTwister.h"
#include "sequencer/PatternLibrary.h"
#include "sequencer/RandomThinning.h"
#include "sequencer/RandomThresholds.h"

#include <array>
#include <cstdint>
#include <deque>
#include <span>

namespace vorlatek {

class PatternStore : public PatternLibrary {
public:
    // `thresholds` are the rows' random thresholds; null gives the store thresholds of its own.
    explicit PatternStore(const RandomThresholds* thresholds = nullptr);
    PatternStore(const PatternStore&) = delete;
    PatternStore& operator=(const PatternStore&) = delete;

    const PatternLibrary& library() const { return *this; }
    PatternLibrary& library() { return *this; }

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
    bool randomPending() const { return randPending_; }
    bool randomActive() const { return randActive_; }
    // The pattern under randomisation, or null.
    const StepPattern* randomised() const { return randomised_; }
    bool rowRandomised(int row) const { return row >= 0 && row < kPatternRows && randomisedRows_[row]; }
    std::uint32_t currentSeed() const { return currentSeed_; }
    // Earlier seeds, newest at the back.
    const std::deque<std::uint32_t>& seedHistory() const { return seedHistory_; }
    // The ranks of a row's steps in the pending result (-1 unset); row must be 0..17.
    std::span<const float, kPatternSteps> ranks(int row) const { return randomRank_[row]; }
    const RandomThresholds& thresholds() const { return *thresholds_; }
    // What playback needs of the random state.
    RandomThinning thinning() const;

    MersenneTwister& generator() { return generator_; }

private:
    MersenneTwister generator_;
    RandomThresholds ownThresholds_;
    const RandomThresholds* thresholds_;

    StepPattern randomBackup_;        // the pattern as it was before randomisation
    bool randActive_ = false;         // random editing was allowed at the editor's last refresh
    bool randPending_ = false;        // a generated pattern is neither accepted nor discarded
    StepPattern* randomised_ = nullptr;  // the pattern under randomisation
    std::uint32_t currentSeed_ = 0;      // 0 before the first generation
    std::deque<std::uint32_t> seedHistory_;  // earlier seeds, newest at the back
    bool randomisedRows_[kPatternRows] = {};
    float randomRank_[kPatternRows][kPatternSteps] = {};
};

}  // namespace vorlatek
