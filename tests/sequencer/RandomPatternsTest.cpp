#include "engine/Instrument.h"
#include "sequencer/PatternStore.h"

#include "LinearSeededEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace vorlatek {
namespace {

using Rows = PatternStore::RowSelection;

Rows rowsOf(std::initializer_list<int> rows) {
    Rows selection{};
    for (int row : rows) selection[static_cast<std::size_t>(row)] = true;
    return selection;
}

// A second, deliberately plain account of the generation, on the standard engine.
std::uint32_t referenceUniform(std::mt19937& engine, std::uint32_t count) {
    const std::uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % count;
    for (;;) {
        const std::uint32_t draw = engine();
        if (draw < limit) return draw % count;
    }
}

std::uint32_t referenceSeed(std::mt19937& engine) {
    for (;;) {
        const std::uint32_t draw = engine();
        if (draw <= 4293999999u) return draw % 1000000u + 1u;
    }
}

struct Generated {
    int cells[kPatternRows][kPatternSteps];
    float ranks[kPatternRows][kPatternSteps];
};

Generated referenceGeneration(std::mt19937& engine, const Rows& rows, const StepPattern& before) {
    Generated out{};
    for (int row = 0; row < kPatternRows; ++row) {
        for (int step = 0; step < kPatternSteps; ++step) {
            out.cells[row][step] = before.getCell(row, step);
            out.ranks[row][step] = -1.0f;
        }
        if (!rows[static_cast<std::size_t>(row)]) {
            for (int step = 0; step < kPatternSteps; ++step) {
                engine();
                referenceUniform(engine, 2);
            }
            continue;
        }
        std::vector<int> order;
        for (int j = 0; j < 16; ++j) order.insert(order.begin() + referenceUniform(engine, j + 1), j);
        for (int step = 0; step < kPatternSteps; ++step) {
            out.ranks[row][step] = static_cast<float>(order[static_cast<std::size_t>(step)]) / 16.0f;
            const bool accent = referenceUniform(engine, 2) == 1 || row == kAccent;
            out.cells[row][step] = accent ? 3 : 1;
        }
    }
    return out;
}

void expectGenerated(const PatternStore& store, const StepPattern& pattern, const Rows& rows, const Generated& expected) {
    for (int row = 0; row < kPatternRows; ++row) {
        EXPECT_EQ(store.rowRandomised(row), rows[static_cast<std::size_t>(row)]) << "row " << row;
        for (int step = 0; step < kPatternSteps; ++step) {
            ASSERT_EQ(pattern.getCell(row, step), expected.cells[row][step]) << "row " << row << " step " << step;
            if (rows[static_cast<std::size_t>(row)]) {
                ASSERT_EQ(store.ranks(row)[static_cast<std::size_t>(step)], expected.ranks[row][step]);
            }
        }
    }
}

int onSteps(const StepPattern& pattern, int row) {
    int n = 0;
    for (int step = 0; step < kPatternSteps; ++step) n += pattern.getCell(row, step) & 1;
    return n;
}

class RandomPatternsTest : public ::testing::Test {
protected:
    RandomThresholds thresholds;
    std::unique_ptr<PatternStore> store = std::make_unique<PatternStore>(&thresholds);
    StepPattern& pattern = store->simplePatterns[3];

    void SetUp() override {
        decodeStepString("O.o.o...O.o.o...", pattern, kBassDrum);
        decodeStepString("o.O.o.o.", pattern, kClosedHiHat);
        for (int row = 0; row < kPatternRows; ++row) thresholds.set(row, 0.2f);
    }
};

TEST_F(RandomPatternsTest, SeedsAndPatternsFollowTheDraws) {
    const Rows rows = rowsOf({kBassDrum, kSnareDrum, kAccent});
    const StepPattern before = pattern;
    store->generator().seed(2024);
    std::mt19937 seeds = test::linearSeededEngine(2024);

    store->nextRandom(&pattern, rows);
    const std::uint32_t first = referenceSeed(seeds);
    EXPECT_EQ(store->currentSeed(), first);
    std::mt19937 engine = test::linearSeededEngine(first);
    expectGenerated(*store, pattern, rows, referenceGeneration(engine, rows, before));
    EXPECT_TRUE(store->randomPending());
    EXPECT_EQ(store->randomised(), &pattern);

    // The next seed comes from the generator as the first generation left it, discarded
    // draws of the unselected rows included.
    store->nextRandom(&pattern, rows);
    const std::uint32_t second = referenceSeed(engine);
    EXPECT_EQ(store->currentSeed(), second);
    ASSERT_EQ(store->seedHistory().size(), 1u);
    EXPECT_EQ(store->seedHistory().back(), first);
    std::mt19937 again = test::linearSeededEngine(second);
    expectGenerated(*store, pattern, rows, referenceGeneration(again, rows, before));
}

TEST_F(RandomPatternsTest, RandomRowsAreFullWithRanksInARandomOrder) {
    int bdAccents = 0;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        store->generator().seed(seed);
        store->nextRandom(&pattern, rowsOf({kBassDrum, kAccent}));
        std::vector<float> ranks(store->ranks(kBassDrum).begin(), store->ranks(kBassDrum).end());
        std::sort(ranks.begin(), ranks.end());
        for (int k = 0; k < kPatternSteps; ++k) EXPECT_EQ(ranks[static_cast<std::size_t>(k)], k / 16.0f);
        for (int step = 0; step < kPatternSteps; ++step) {
            EXPECT_EQ(pattern.getCell(kAccent, step), 3);
            EXPECT_EQ(pattern.getCell(kBassDrum, step) & 1, 1);
            bdAccents += pattern.getCell(kBassDrum, step) >> 1;
        }
    }
    EXPECT_GT(bdAccents, 320 / 2 - 40);
    EXPECT_LT(bdAccents, 320 / 2 + 40);
}

TEST_F(RandomPatternsTest, NextNextPreviousComesBackToTheFirstResult) {
    store->generator().seed(7);
    const StepPattern before = pattern;
    store->previousRandom(&pattern, rowsOf({kBassDrum}));  // nothing remembered yet
    EXPECT_EQ(store->currentSeed(), 0u);
    EXPECT_FALSE(store->randomPending());

    store->nextRandom(&pattern, rowsOf({kBassDrum}));
    const StepPattern first = pattern;
    const std::uint32_t firstSeed = store->currentSeed();
    std::vector<float> firstRanks(store->ranks(kBassDrum).begin(), store->ranks(kBassDrum).end());
    store->previousRandom(&pattern, rowsOf({kBassDrum}));  // right after the first Next: nothing
    EXPECT_EQ(store->currentSeed(), firstSeed);

    store->nextRandom(&pattern, rowsOf({kBassDrum}));
    EXPECT_NE(store->currentSeed(), firstSeed);
    store->previousRandom(&pattern, rowsOf({kBassDrum}));
    EXPECT_EQ(store->currentSeed(), firstSeed);
    EXPECT_TRUE(store->seedHistory().empty());
    EXPECT_EQ(encodeStepString(pattern, kBassDrum), encodeStepString(first, kBassDrum));
    EXPECT_EQ(std::vector<float>(store->ranks(kBassDrum).begin(), store->ranks(kBassDrum).end()), firstRanks);
    EXPECT_EQ(encodeStepString(pattern, kClosedHiHat), encodeStepString(before, kClosedHiHat));

    store->undoRandom();
    EXPECT_EQ(encodeStepString(pattern, kBassDrum), encodeStepString(before, kBassDrum));
}

TEST_F(RandomPatternsTest, ThresholdsThinTheRowAndAcceptKeepsTheThinnedRow) {
    store->generator().seed(99);
    store->nextRandom(&pattern, rowsOf({kBassDrum}));
    int silenced = 0;
    for (int step = 0; step < kPatternSteps; ++step) silenced += store->thinnedOut(kBassDrum, step);
    EXPECT_EQ(silenced, 12);  // a threshold of 0.2 lets the four lowest ranks sound

    const int quiet = static_cast<int>(std::find(store->ranks(kBassDrum).begin(), store->ranks(kBassDrum).end(), 0.9375f) -
                                       store->ranks(kBassDrum).begin());
    EXPECT_TRUE(store->thinnedOut(kBassDrum, quiet));
    EXPECT_FALSE(store->thinnedOut(kClosedHiHat, quiet));
    EXPECT_FALSE(store->thinnedOut(kPatternRows, 0));
    EXPECT_FALSE(store->thinnedOut(kBassDrum, kPatternSteps));

    store->acceptRandom();
    EXPECT_EQ(onSteps(pattern, kBassDrum), 4);
    EXPECT_FALSE(store->randomPending());
    EXPECT_EQ(store->randomised(), nullptr);
    EXPECT_EQ(store->ranks(kBassDrum)[static_cast<std::size_t>(quiet)], -1.0f);

    // Later generations start from the accepted pattern: undo goes back to it.
    const std::string accepted = encodeStepString(pattern, kBassDrum);
    store->nextRandom(&pattern, rowsOf({kBassDrum}));
    store->undoRandom();
    EXPECT_EQ(encodeStepString(pattern, kBassDrum), accepted);
}

TEST_F(RandomPatternsTest, LeavingRandomEditingRestoresAndAnotherPatternAcceptsThePending) {
    const std::string bd = encodeStepString(pattern, kBassDrum);
    store->updateRandomGate(true);
    store->nextRandom(&pattern, rowsOf({kBassDrum}));
    store->updateRandomGate(false);
    EXPECT_EQ(encodeStepString(pattern, kBassDrum), bd);
    EXPECT_FALSE(store->randomPending());
    EXPECT_FALSE(store->randomActive());
    EXPECT_EQ(store->randomised(), nullptr);

    StepPattern& other = store->simplePatterns[10];
    decodeStepString("o...o...o...o...", other, kBassDrum);
    store->nextRandom(&pattern, rowsOf({kBassDrum}));
    store->nextRandom(&other, rowsOf({kBassDrum}));
    EXPECT_EQ(onSteps(pattern, kBassDrum), 4);  // baked when the generation moved on
    EXPECT_EQ(store->randomised(), &other);
    store->undoRandom();
    EXPECT_EQ(encodeStepString(other, kBassDrum), "o...o...o...o...");
    EXPECT_EQ(onSteps(pattern, kBassDrum), 4);

    // No pattern: no draw, no seed.
    const std::uint32_t seed = store->currentSeed();
    const std::size_t history = store->seedHistory().size();
    store->nextRandom(nullptr, rowsOf({kBassDrum}));
    store->previousRandom(nullptr, rowsOf({kBassDrum}));
    EXPECT_EQ(store->currentSeed(), seed);
    EXPECT_EQ(store->seedHistory().size(), history);
}

}  // namespace
}  // namespace vorlatek
