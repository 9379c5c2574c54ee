// Random pattern generation: the PatternStore operations behind Next, Previous, Tap (accept)
// and Rand Undo in random mode. The draws below, the discarded ones included, are what make
// a seed reproduce its pattern, so their number and order must not change.

#include "sequencer/PatternStore.h"

#include <algorithm>

namespace vorlatek {

namespace {

constexpr std::uint32_t kMaxDraw = 0xFFFFFFFFu;
constexpr std::uint32_t kSeedCount = 1000000u;
// The largest draw that maps evenly onto the seeds 1..1000000.
constexpr std::uint32_t kLastEvenSeedDraw = 4293999999u;
constexpr float kRankStep = 0.0625f;  // 1/16: ranks are k/16
constexpr float kNoRank = -1.0f;

// A value in 0..count-1 without bias: draws from the top of the range that would favour
// the low values are thrown away.
std::uint32_t uniformBelow(MersenneTwister& generator, std::uint32_t count) {
    const std::uint32_t limit = kMaxDraw - kMaxDraw % count;
    std::uint32_t draw = generator.next();
    while (draw >= limit) draw = generator.next();
    return draw % count;
}

bool validCell(int row, int step) {
    return row >= 0 && row < kPatternRows && step >= 0 && step < kPatternSteps;
}

}  // namespace

void PatternStore::randomizePattern(StepPattern* pattern, const RowSelection& rows) {
    if (!pattern) return;
    if (pattern != randomised_) copyPattern(*pattern, randomBackup_);
    if (randomised_) bakeRandom();
    randomised_ = pattern;

    for (int row = 0; row < kPatternRows; ++row) {
        const bool selected = rows[static_cast<std::size_t>(row)];
        randomisedRows_[row] = selected;
        if (!selected) {
            // Use up as many draws as a randomised_ row would, so that every row's steps
            // come out the same whichever other rows are chosen.
            for (int step = 0; step < kPatternSteps; ++step) {
                generator_.next();
                uniformBelow(generator_, 2);
            }
            continue;
        }
        // A random order of the steps, built by inserting 0..15 one by one at a random
        // place among those already placed.
        int order[kPatternSteps] = {};
        for (int j = 0; j < kPatternSteps; ++j) {
            const auto at = static_cast<int>(uniformBelow(generator_, static_cast<std::uint32_t>(j + 1)));
            std::copy_backward(order + at, order + j, order + j + 1);
            order[at] = j;
        }
        for (int step = 0; step < kPatternSteps; ++step) {
            randomRank_[row][step] = static_cast<float>(order[step]) * kRankStep;
            const bool accented = uniformBelow(generator_, 2) != 0;
            pattern->setCell(accented ? kCellAccented : kCellOn, row, step);  // AC is always accented
        }
    }
    randPending_ = true;
}

void PatternStore::nextRandom(StepPattern* pattern, const RowSelection& rows) {
    if (!pattern) return;
    if (currentSeed_ != 0) seedHistory_.push_back(currentSeed_);
    std::uint32_t draw = generator_.next();
    while (draw > kLastEvenSeedDraw) draw = generator_.next();
    currentSeed_ = draw % kSeedCount + 1;
    generator_.seed(currentSeed_);
    randomizePattern(pattern, rows);
}

void PatternStore::previousRandom(StepPattern* pattern, const RowSelection& rows) {
    if (!pattern || seedHistory_.empty()) return;
    currentSeed_ = seedHistory_.back();
    seedHistory_.pop_back();
    generator_.seed(currentSeed_);
    randomizePattern(pattern, rows);
}

bool PatternStore::thinnedOut(int row, int step) const {
    return validCell(row, step) && randomisedRows_[row] && randomRank_[row][step] >= thresholds_->get(row);
}

void PatternStore::bakeRandom() {
    if (randomised_) {
        for (int row = 0; row < kPatternRows; ++row)
            for (int step = 0; step < kPatternSteps; ++step)
                if (thinnedOut(row, step)) randomised_->setCell(kCellOff, row, step);
    }
    resetRandom();
}

void PatternStore::resetRandom() {
    randPending_ = false;
    std::fill(std::begin(randomisedRows_), std::end(randomisedRows_), false);
    for (auto& row : randomRank_) std::fill(std::begin(row), std::end(row), kNoRank);
}

void PatternStore::acceptRandom() {
    if (!randomised_) return;
    bakeRandom();
    copyPattern(*randomised_, randomBackup_);
    randomised_ = nullptr;
}

void PatternStore::undoRandom() {
    if (randomised_) {
        for (int row = 0; row < kPatternRows; ++row) {
            if (!randomisedRows_[row]) continue;
            for (int step = 0; step < kPatternSteps; ++step)
                randomised_->setCell(randomBackup_.getCell(row, step), row, step);
        }
    }
    resetRandom();
}

void PatternStore::discardRandom() {
    if (randPending_) undoRandom();
    resetRandom();
    randomised_ = nullptr;
}

void PatternStore::updateRandomGate(bool gate) {
    if (gate == randActive_) return;
    if (!gate) discardRandom();
    randActive_ = gate;
}

}  // namespace vorlatek
