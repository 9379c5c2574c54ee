#include "sequencer/ExtendedPattern.h"
#include "sequencer/PatternStore.h"
#include "sequencer/StepPattern.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <utility>

namespace vorlatek {
namespace {

StepPattern patternFromRows(int length, std::initializer_list<std::pair<int, const char*>> rows) {
    StepPattern pattern;
    pattern.length = length;
    for (const auto& [row, text] : rows) decodeStepString(text, pattern, row);
    return pattern;
}

bool allCellsOff(const StepPattern& pattern) {
    for (int row = 0; row < kPatternRows; ++row)
        for (int step = 0; step < kPatternSteps; ++step)
            if (pattern.getCell(row, step) != 0) return false;
    return true;
}

void expectDefaultPattern(const StepPattern& pattern, int length) {
    EXPECT_STREQ(pattern.name, "Empty");
    EXPECT_EQ(pattern.length, length);
    EXPECT_EQ(pattern.stepsPerBeat, 4);
    EXPECT_EQ(pattern.bpm, 120.0);
    EXPECT_EQ(pattern.shuffle, 0.0);
    EXPECT_TRUE(allCellsOff(pattern));
}

TEST(PatternStoreTest, NewStoreHoldsEmptyPatternsAndNoRandomResult) {
    auto store = std::make_unique<PatternStore>();
    for (const StepPattern& pattern : store->simplePatterns) {
        expectDefaultPattern(pattern, 16);
        EXPECT_FALSE(pattern.allowEmpty);
    }
    for (const ExtendedPattern& pattern : store->extendedPatterns) {
        EXPECT_STREQ(pattern.name, "Empty");
        for (const PatternVariation* v : {&pattern.variationA, &pattern.variationB}) {
            EXPECT_EQ(v->bpm, 120.0);
            EXPECT_EQ(v->shuffle, 0.0);
            expectDefaultPattern(v->part1, 16);
            expectDefaultPattern(v->part2, 0);
            EXPECT_FALSE(v->part1.allowEmpty);
            EXPECT_TRUE(v->part2.allowEmpty);
        }
    }
    EXPECT_EQ(store->randomised(), nullptr);
    EXPECT_FALSE(store->randomPending());
    EXPECT_EQ(store->currentSeed(), 0u);
    EXPECT_TRUE(store->seedHistory().empty());
    EXPECT_EQ(store->ranks(0)[0], -1.0f);
    EXPECT_EQ(store->ranks(17)[15], -1.0f);
    EXPECT_EQ(store->thresholds().get(5), 0.0f);
}

TEST(PatternStoreTest, AccessorsPointIntoTheStoreAndRefuseOutOfRangeIndices) {
    auto store = std::make_unique<PatternStore>();
    EXPECT_EQ(store->simplePattern(95), &store->simplePatterns[95]);
    EXPECT_EQ(store->extendedPattern(15), &store->extendedPatterns[15]);
    EXPECT_EQ(store->variation(3, 1), &store->extendedPatterns[3].variationB);
    EXPECT_EQ(store->part(3, 1, 1), &store->extendedPatterns[3].variationB.part2);
    EXPECT_EQ(store->part(0, 0, 0), &store->extendedPatterns[0].variationA.part1);
    EXPECT_EQ(store->simplePattern(-1), nullptr);
    EXPECT_EQ(store->simplePattern(96), nullptr);
    EXPECT_EQ(store->extendedPattern(16), nullptr);
    EXPECT_EQ(store->variation(0, 2), nullptr);
    EXPECT_EQ(store->variation(-1, 0), nullptr);
    EXPECT_EQ(store->part(0, 0, 2), nullptr);
    EXPECT_EQ(store->part(0, -1, 0), nullptr);
    const PatternStore& constStore = *store;
    EXPECT_EQ(constStore.part(15, 0, 1), &store->extendedPatterns[15].variationA.part2);
}

TEST(StepPatternTest, SettersClampAndValidate) {
    PatternVariation variation;
    StepPattern& first = variation.part1;
    StepPattern& second = variation.part2;
    first.setLength(0);
    second.setLength(0);
    EXPECT_EQ(first.length, 1);
    EXPECT_EQ(second.length, 0);
    first.setLength(20);
    EXPECT_EQ(first.length, 16);
    second.setLength(-3);
    EXPECT_EQ(second.length, 0);

    StepPattern pattern;
    const std::pair<double, double> tempi[] = {{120.04, 120.0}, {120.05, 120.1}, {10, 30.0},
                                               {500, 303.0},    {166.5, 166.5}, {-1e300, 30.0}};
    for (const auto& [in, out] : tempi) {
        pattern.setBpm(in);
        EXPECT_NEAR(pattern.bpm, out, 1e-9) << in;
        variation.setBpm(in);
        EXPECT_NEAR(variation.bpm, out, 1e-9) << in;
    }
    pattern.setBpm(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(pattern.bpm, 30.0);

    pattern.setShuffle(1.5);
    EXPECT_EQ(pattern.shuffle, 1.0);
    variation.setShuffle(-0.5);
    EXPECT_EQ(variation.shuffle, 0.0);

    for (int n : {3, 4, 6, 8}) {
        pattern.setStepsPerBeat(n);
        EXPECT_EQ(pattern.stepsPerBeat, n);
    }
    pattern.setStepsPerBeat(5);
    EXPECT_EQ(pattern.stepsPerBeat, 4);
}

TEST(StepPatternTest, CellsKeepOnAndAccentFlagsWithTheAccentRowRule) {
    StepPattern pattern;
    pattern.setCell(1, 17, 3);
    EXPECT_EQ(pattern.getCell(17, 3), 3);
    pattern.setCell(2, 0, 0);
    EXPECT_EQ(pattern.getCell(0, 0), 2);
    pattern.setCell(3, 4, 15);
    EXPECT_EQ(pattern.getCell(4, 15), 3);
    pattern.setCell(1, 4, 15);
    EXPECT_EQ(pattern.getCell(4, 15), 1);
    pattern.length = 4;
    EXPECT_EQ(encodeStepString(pattern, 0), "....");

    // Out of range: ignored on write, 0 on read.
    pattern.setCell(1, 18, 0);
    pattern.setCell(1, 0, 16);
    pattern.setCell(1, -1, -1);
    EXPECT_EQ(pattern.getCell(18, 0), 0);
    EXPECT_EQ(pattern.getCell(0, -1), 0);
    EXPECT_EQ(pattern.getCell(0, 16), 0);
}

TEST(StepPatternTest, ClearRowClearsOneRowOrEverything) {
    StepPattern pattern;
    for (int row = 0; row < kPatternRows; ++row) decodeStepString("oOoOoOoOoOoOoOoO", pattern, row);
    pattern.clearRow(2);
    EXPECT_EQ(pattern.getCell(2, 1), 0);
    EXPECT_EQ(pattern.getCell(3, 1), 3);
    pattern.clearRow(18);
    EXPECT_TRUE(allCellsOff(pattern));
}

TEST(StepPatternTest, StepStringsEncodePlayedStepsAndDecodeAtMostSixteen) {
    StepPattern pattern;
    decodeStepString("Oo. x", pattern, 0);
    EXPECT_EQ(pattern.getCell(0, 0), 3);
    EXPECT_EQ(pattern.getCell(0, 1), 1);
    EXPECT_EQ(pattern.getCell(0, 2), 0);
    EXPECT_EQ(pattern.getCell(0, 3), 0);
    EXPECT_EQ(pattern.getCell(0, 4), 0);

    decodeStepString("oooooooooooooooooooo", pattern, 1);  // 20 characters
    EXPECT_EQ(encodeStepString(pattern, 1), "oooooooooooooooo");

    // A short text leaves the rest of the row as it was.
    decodeStepString("..", pattern, 1);
    EXPECT_EQ(encodeStepString(pattern, 1), "..oooooooooooooo");

    decodeStepString("o.o", pattern, kAccentRow);
    EXPECT_EQ(encodeStepString(pattern, kAccentRow).substr(0, 3), "O.O");

    pattern.length = 12;
    EXPECT_EQ(encodeStepString(pattern, 1), "..oooooooooo");
    pattern.length = 0;
    EXPECT_EQ(encodeStepString(pattern, 1), "");
    EXPECT_EQ(encodeStepString(pattern, 18), "");
}

TEST(StepPatternTest, RotateRowMovesOnlyThePlayedSteps) {
    StepPattern pattern = patternFromRows(8, {{0, "O...o...oooo"}});
    pattern.rotateRow(0, 1);
    EXPECT_EQ(encodeStepString(pattern, 0), ".O...o..");
    EXPECT_EQ(pattern.getCell(0, 8), 1);  // beyond the length: untouched
    pattern.rotateRow(0, -1);
    EXPECT_EQ(encodeStepString(pattern, 0), "O...o...");
    pattern.rotateRow(0, -2);
    EXPECT_EQ(encodeStepString(pattern, 0), "..o...O.");
    pattern.rotateRow(0, 8 * 3 + 2);  // whole turns do nothing
    EXPECT_EQ(encodeStepString(pattern, 0), "O...o...");
    pattern.rotateRow(0, std::numeric_limits<int>::min());
    pattern.rotateRow(0, std::numeric_limits<int>::min() + 1);
    EXPECT_EQ(encodeStepString(pattern, 0), ".O...o..");  // -7 is +1 on eight steps

    for (int length : {0, 1}) {
        StepPattern shortPattern = patternFromRows(length, {{0, "oOo"}});
        shortPattern.rotateRow(0, 1);
        shortPattern.rotateRow(0, -5);
        EXPECT_EQ(shortPattern.getCell(0, 0), 1);
        EXPECT_EQ(shortPattern.getCell(0, 1), 3);
    }
}

TEST(StepPatternTest, CopyPatternClampsLengthAndKeepsTempoAndShuffle) {
    PatternVariation variation;
    StepPattern source = patternFromRows(0, {{0, "oO"}, {kAccentRow, "o"}});
    source.setName("Source");
    source.stepsPerBeat = 7;  // not a valid resolution
    source.setBpm(90);
    source.setShuffle(0.5);

    copyPattern(source, variation.part2);
    EXPECT_EQ(variation.part2.length, 0);
    StepPattern simple;
    simple.setBpm(140);
    simple.setShuffle(0.25);
    copyPattern(source, simple);
    EXPECT_EQ(simple.length, 1);
    EXPECT_STREQ(simple.name, "Source");
    EXPECT_EQ(simple.stepsPerBeat, 4);
    EXPECT_EQ(simple.bpm, 140.0);
    EXPECT_EQ(simple.shuffle, 0.25);
    EXPECT_FALSE(simple.allowEmpty);
    EXPECT_EQ(simple.getCell(0, 1), 3);

    // The accent-row rule applies to copied cells as well.
    source.cells[kAccentRow][5] = StepCell{1, 0};
    copyPattern(source, simple);
    EXPECT_EQ(simple.getCell(kAccentRow, 5), 3);
}

TEST(StepPatternTest, CopyExtendedPatternCopiesShuffleButNotTempo) {
    ExtendedPattern source;
    source.setName("Groove");
    source.variationA.setShuffle(0.4);
    source.variationA.setBpm(95);
    source.variationB.part2.setLength(6);
    source.variationB.part2.setStepsPerBeat(3);
    decodeStepString("o.O.o.", source.variationB.part2, 2);
    decodeStepString("Oo", source.variationA.part1, kAccentRow);

    ExtendedPattern destination;
    destination.variationA.setBpm(133);
    copyExtendedPattern(source, destination);
    EXPECT_STREQ(destination.name, "Groove");
    EXPECT_EQ(destination.variationA.shuffle, source.variationA.shuffle);
    EXPECT_EQ(destination.variationA.bpm, 133.0);
    EXPECT_EQ(destination.variationB.part2.length, 6);
    EXPECT_EQ(destination.variationB.part2.stepsPerBeat, 3);
    EXPECT_EQ(encodeStepString(destination.variationB.part2, 2), "o.O.o.");
    EXPECT_EQ(encodeStepString(destination.variationA.part1, kAccentRow).substr(0, 2), "OO");
    EXPECT_EQ(destination.variationA.part2.length, 0);
}

TEST(StepPatternTest, NamesAreCutToSixteenBytesWithoutSplittingACharacter) {
    StepPattern pattern;
    pattern.setName("A very long pattern name");
    EXPECT_STREQ(pattern.name, "A very long patt");
    // 15 ASCII bytes, then a two-byte character that would end on byte 17.
    pattern.setName("123456789012345\xC3\xA9xyz");
    EXPECT_STREQ(pattern.name, "123456789012345");
    pattern.setName("12345678901234\xC3\xA9xyz");
    EXPECT_STREQ(pattern.name, "12345678901234\xC3\xA9");
    // A character of three bytes cut after its first two.
    pattern.setName("12345678901234\xE2\x82\xAC");
    EXPECT_STREQ(pattern.name, "12345678901234");
    pattern.setName("");
    EXPECT_STREQ(pattern.name, "");
}

TEST(StepPatternTest, NamesKeepOnlyTextThatAFileCanCarry) {
    StepPattern pattern;
    pattern.setName("a\x01" "b\tc\nd");
    EXPECT_STREQ(pattern.name, "a b c d");
    // Stray continuation bytes, a truncated sequence, an overlong form and a surrogate.
    pattern.setName("x\x80y\xC3z\xC0\xAFw\xED\xA0\x80v\xEF\xBF\xBF!");
    EXPECT_STREQ(pattern.name, "xyzwv!");
    pattern.setName(std::string_view("nul\0l", 5));
    EXPECT_STREQ(pattern.name, "null");
    pattern.setName("\xF0\x9F\xA5\x81 drums");
    EXPECT_STREQ(pattern.name, "\xF0\x9F\xA5\x81 drums");
}

}  // namespace
}  // namespace vorlatek
