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
    if (pattern != randomised) copyPattern(*pattern, randomBackup);
    if (randomised) bakeRandom();
    randomised = pattern;

    for (int row = 0; row < kPatternRows; ++row) {
        const bool selected = rows[static_cast<std::size_t>(row)];
        randomisedRows[row] = selected;
        if (!selected) {
            // Use up as many draws as a randomised row would, so that every row's steps
            // come out the same whichever other rows are chosen.
            for (int step = 0; step < kPatternSteps; ++step) {
                generator.next();
                uniformBelow(generator, 2);
            }
            continue;
        }
        // A random order of the steps, built by inserting 0..15 one by one at a random
        // place among those already placed.
        int order[kPatternSteps] = {};
        for (int j = 0; j < kPatternSteps; ++j) {
            const auto at = static_cast<int>(uniformBelow(generator, static_cast<std::uint32_t>(j + 1)));
            std::copy_backward(order + at, order + j, order + j + 1);
            order[at] = j;
        }
        for (int step = 0; step < kPatternSteps; ++step) {
            randomRank[row][step] = static_cast<float>(order[step]) * kRankStep;
            const bool accented = uniformBelow(generator, 2) != 0;
            pattern->setCell(accented ? kCellAccented : kCellOn, row, step);  // AC is always accented
        }
    }
    randPending = true;
}

void PatternStore::nextRandom(StepPattern* pattern, const RowSelection& rows) {
    if (!pattern) return;
    if (currentSeed != 0) seedHistory.push_back(currentSeed);
    std::uint32_t draw = generator.next();
    while (draw > kLastEvenSeedDraw) draw = generator.next();
    currentSeed = draw % kSeedCount + 1;
    generator.seed(currentSeed);
    randomizePattern(pattern, rows);
}

void PatternStore::previousRandom(StepPattern* pattern, const RowSelection& rows) {
    if (!pattern || seedHistory.empty()) return;
    currentSeed = seedHistory.back();
    seedHistory.pop_back();
    generator.seed(currentSeed);
    randomizePattern(pattern, rows);
}

bool PatternStore::thinnedOut(int row, int step) const {
    return validCell(row, step) && randomisedRows[row] && randomRank[row][step] >= randThreshold[row];
}

void PatternStore::bakeRandom() {
    if (randomised) {
        for (int row = 0; row < kPatternRows; ++row)
            for (int step = 0; step < kPatternSteps; ++step)
                if (thinnedOut(row, step)) randomised->setCell(kCellOff, row, step);
    }
    resetRandom();
}

void PatternStore::resetRandom() {
    randPending = false;
    std::fill(std::begin(randomisedRows), std::end(randomisedRows), false);
    for (auto& row : randomRank) std::fill(std::begin(row), std::end(row), kNoRank);
}

void PatternStore::acceptRandom() {
    if (!randomised) return;
    bakeRandom();
    copyPattern(*randomised, randomBackup);
    randomised = nullptr;
}

void PatternStore::undoRandom() {
    if (randomised) {
        for (int row = 0; row < kPatternRows; ++row) {
            if (!randomisedRows[row]) continue;
            for (int step = 0; step < kPatternSteps; ++step)
                randomised->setCell(randomBackup.getCell(row, step), row, step);
        }
    }
    resetRandom();
}

void PatternStore::discardRandom() {
    if (randPending) undoRandom();
    resetRandom();
    randomised = nullptr;
}

void PatternStore::updateRandomGate(bool gate) {
    if (gate == randActive) return;
    if (!gate) discardRandom();
    randActive = gate;
}

}  // namespace vorlatek
