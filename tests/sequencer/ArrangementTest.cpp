// The arrangement of extended patterns (measures, fill-ins, variations, pattern switches)
// and the step playback that turns cells into drum triggers.

#include "engine/DrumEngine.h"
#include "sequencer/PatternStore.h"
#include "sequencer/SequencerListener.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vorlatek {
namespace {

class RecordingListener : public SequencerListener {
public:
    void notify(int code) override { codes.push_back(code); }
    void instrumentActivity(int row) override { rows.push_back(row); }
    std::vector<int> codes;
    std::vector<int> rows;
};

constexpr int kFill = 13;  // the intro/fill-in pattern the tests select

class ArrangementTest : public ::testing::Test {
protected:
    ArrangementTest() : store(&engine, &listener) {
        store.introFillInPattern = kFill;
        // Measures of one 16-step part unless a test says otherwise.
        for (int p = 0; p < kExtendedPatternCount; ++p)
            for (int v = 0; v < 2; ++v) store.part(p, v, 0)->setLength(16);
    }

    using Measure = std::pair<int, int>;  // pattern, variation

    // Starts the sequencer and returns the pattern and variation of each measure played.
    std::vector<Measure> measures(int count) {
        store.startExtended();
        std::vector<Measure> played{{store.currentPattern, store.currentVariation}};
        for (int guard = 0; static_cast<int>(played.size()) < count && guard < 100000; ++guard) {
            store.advanceStep();
            if (store.currentStep == 0 && store.currentPart == 0)
                played.emplace_back(store.currentPattern, store.currentVariation);
        }
        return played;
    }

    // Advances until `step` of the current part is the one just played.
    void playUntilStep(int step) {
        for (int guard = 0; store.currentStep != step && guard < 64; ++guard) store.advanceStep();
    }

    DrumEngine engine;
    RecordingListener listener;
    PatternStore store;
};

TEST_F(ArrangementTest, AutomaticFillInEveryFourMeasuresWithAlternatingVariations) {
    store.basicPattern = 3;
    store.basicVariation = 2;  // AB
    store.setAutoFillIn(4);
    const std::vector<Measure> expected = {{3, 0}, {3, 1}, {3, 0}, {kFill, 0},
                                           {3, 0}, {3, 1}, {3, 0}, {kFill, 0}, {3, 0}};
    EXPECT_EQ(measures(9), expected);
}

TEST_F(ArrangementTest, IntroStartsTheFillInCycleAfterIt) {
    store.basicPattern = 1;
    store.basicVariation = 2;
    store.introFillInVariation = 1;
    store.startPatternType = 1;
    store.setAutoFillIn(2);
    // The intro does not flip the basic variation; measures after it do, fill-ins included.
    const std::vector<Measure> expected = {{kFill, 1}, {1, 0}, {kFill, 1}, {1, 0}, {kFill, 1}};
    EXPECT_EQ(measures(5), expected);
}

TEST_F(ArrangementTest, IntroWithManualFillInsKeepsTheFirstVariation) {
    store.basicPattern = 2;
    store.basicVariation = 2;
    store.startPatternType = 1;
    const std::vector<Measure> expected = {{kFill, 0}, {2, 0}, {2, 0}, {2, 0}};
    EXPECT_EQ(measures(4), expected);
    EXPECT_EQ(store.measureCounter, -1);
}

TEST_F(ArrangementTest, StartUsesVariationBWhenSelected) {
    store.basicPattern = 5;
    store.basicVariation = 1;
    EXPECT_EQ(measures(3), (std::vector<Measure>{{5, 1}, {5, 1}, {5, 1}}));
}

TEST_F(ArrangementTest, ManualFillInInsideTheFirstBeatSwitchesAtTheAlignedStep) {
    store.basicPattern = 0;
    store.startExtended();
    playUntilStep(1);
    store.fillInRequested = true;
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, kFill);
    EXPECT_EQ(store.currentStep, 2);
    EXPECT_FALSE(store.fillInRequested);
    // The fill-in plays out its measure, then the basic pattern returns.
    playUntilStep(15);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 0);
}

TEST_F(ArrangementTest, ManualFillInAfterTheFirstBeatIsTheNextMeasure) {
    store.startExtended();
    playUntilStep(6);
    store.fillInRequested = true;
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 0);
    EXPECT_EQ(store.currentStep, 7);
    playUntilStep(15);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, kFill);
    EXPECT_EQ(store.currentStep, 0);
    EXPECT_FALSE(store.fillInRequested);
}

TEST_F(ArrangementTest, NewBasicPatternSwitchesInsideTheFirstBeatElseAtTheMeasureEnd) {
    store.basicPattern = 0;
    store.startExtended();
    playUntilStep(2);
    store.selectPlayPattern(4);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 4);
    EXPECT_EQ(store.currentStep, 3);

    playUntilStep(5);
    store.selectPlayPattern(7);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 4);
    EXPECT_EQ(store.currentStep, 6);
    playUntilStep(15);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 7);
    EXPECT_EQ(store.currentStep, 0);
}

TEST_F(ArrangementTest, NewIntroFillInPatternSwitchesWhileAFillInPlays) {
    store.startPatternType = 1;
    store.startExtended();
    store.selectPlayPattern(15);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 15);
    EXPECT_EQ(store.currentStep, 1);
}

TEST_F(ArrangementTest, SwitchesOnlyWhereTheStepGridsMeet) {
    StepPattern four, eight, three, shortEight;
    eight.setStepsPerBeat(8);
    three.setStepsPerBeat(3);
    shortEight.setStepsPerBeat(8);
    shortEight.setLength(2);
    EXPECT_EQ(PatternStore::switchAllowed(&four, 2, &four), 2);
    EXPECT_EQ(PatternStore::switchAllowed(&four, 0, &eight), 1);  // continues at step 2
    EXPECT_EQ(PatternStore::switchAllowed(&four, 0, &three), -1);  // 0.75 of a step
    EXPECT_EQ(PatternStore::switchAllowed(&four, 3, &three), 2);
    EXPECT_EQ(PatternStore::switchAllowed(&four, 4, &four), -1);  // past the first beat
    EXPECT_EQ(PatternStore::switchAllowed(&four, 0, &shortEight), -1);  // target too short
    EXPECT_EQ(PatternStore::switchAllowed(&four, -1, &four), -1);
    EXPECT_EQ(PatternStore::switchAllowed(nullptr, 0, &four), -1);
}

TEST_F(ArrangementTest, FourToEightStepsPerBeatContinuesAtStepTwo) {
    store.basicPattern = 0;
    store.part(6, 0, 0)->setStepsPerBeat(8);
    store.startExtended();
    store.selectPlayPattern(6);
    store.advanceStep();
    EXPECT_EQ(store.currentPattern, 6);
    EXPECT_EQ(store.currentStep, 2);
}

TEST_F(ArrangementTest, SecondPartCompletesTheMeasure) {
    store.basicPattern = 0;
    store.basicVariation = 2;
    store.part(0, 0, 0)->setLength(4);
    store.part(0, 0, 1)->setLength(3);
    store.part(0, 1, 0)->setLength(2);  // B has no second part
    store.startExtended();
    std::vector<std::pair<int, int>> steps{{store.currentPart, store.currentStep}};
    for (int i = 0; i < 9; ++i) {
        store.advanceStep();
        steps.emplace_back(store.currentPart * 10 + store.currentVariation, store.currentStep);
    }
    const std::vector<std::pair<int, int>> expected = {{0, 0},  {0, 1},  {0, 2},  {0, 3}, {10, 0},
                                                       {10, 1}, {10, 2}, {1, 0},  {1, 1}, {0, 0}};
    EXPECT_EQ(steps, expected);
}

TEST_F(ArrangementTest, ModeSettersIgnoreInvalidValues) {
    store.selectPlayPattern(16);
    store.selectPlayPattern(-1);
    EXPECT_EQ(store.basicPattern, 0);
    EXPECT_EQ(store.introFillInPattern, kFill);
    store.setAutoFillIn(8);
    store.setAutoFillIn(3);
    EXPECT_EQ(store.autoFillIn, 8);
    store.toggleStartPatternType();
    EXPECT_EQ(store.startPatternType, 1);
    store.toggleStartPatternType();
    EXPECT_EQ(store.startPatternType, 0);
}

// Step playback -------------------------------------------------------------------------------

class StepPlaybackTest : public ArrangementTest {
protected:
    StepPattern& playing() { return *store.part(0, 0, 0); }
    double bassDrumVelocity() { return engine.bassDrum().amplitude / 4.17; }
};

TEST_F(StepPlaybackTest, TriggersOnCellsWithTheirAccentAndTheAccentRow) {
    engine.setParameter(param::kAccentLevel, 1.0f);
    engine.setTriggerOutputInstrument(kAccentRow);
    playing().setCell(kCellAccented, kBassDrum, 0);
    playing().setCell(kCellOn, kSnareDrum, 0);
    playing().setCell(kCellAccentOnly, kLowConga, 0);  // accent without on: silent
    playing().setCell(kCellOn, kAccentRow, 0);
    store.startExtended();
    store.playExtendedStep();
    EXPECT_EQ(listener.rows, (std::vector<int>{kAccentRow, kBassDrum, kSnareDrum}));
    EXPECT_NEAR(bassDrumVelocity(), 1.0, 1e-6);  // 48/127 + 0.377 + 0.623, limited to 1
    EXPECT_TRUE(engine.voice(kSnareDrum).active);
    EXPECT_FALSE(engine.voice(kLowConga).active);
    EXPECT_DOUBLE_EQ(engine.triggerPulse().position, -60.1);
}

TEST_F(StepPlaybackTest, RandomMutedAccentRowLeavesTheStepUnaccented) {
    engine.setParameter(param::kAccentLevel, 1.0f);
    engine.setTriggerOutputInstrument(kAccentRow);
    playing().setCell(kCellOn, kBassDrum, 0);
    playing().setCell(kCellOn, kAccentRow, 0);
    playing().setCell(kCellOn, kBassDrum, 1);
    store.randActive = true;
    store.randomised = &playing();
    store.randomisedRows[kAccentRow] = true;
    store.randomisedRows[kBassDrum] = true;
    store.randomRank[kAccentRow][0] = 0.5f;
    store.randomRank[kBassDrum][0] = 0.0f;
    store.randomRank[kBassDrum][1] = 0.25f;
    store.randThreshold[kAccentRow] = 0.5f;
    store.randThreshold[kBassDrum] = 0.25f;
    const double idlePulse = engine.triggerPulse().position;
    store.startExtended();
    store.playExtendedStep();
    EXPECT_EQ(listener.rows, std::vector<int>{kBassDrum});
    EXPECT_NEAR(bassDrumVelocity(), 48.0 / 127.0, 1e-6);
    EXPECT_EQ(engine.triggerPulse().position, idlePulse);
    store.advanceStep();
    store.playExtendedStep();  // rank 0.25 reaches the threshold: muted
    EXPECT_EQ(listener.rows, std::vector<int>{kBassDrum});
    // The same cells in a pattern not under randomisation play.
    store.randomised = store.part(1, 0, 0);
    store.playExtendedStep();
    EXPECT_EQ(listener.rows, (std::vector<int>{kBassDrum, kBassDrum}));
}

TEST_F(StepPlaybackTest, WaitingTapIsWrittenAsTappedThenPlayed) {
    store.startExtended();
    store.extTapRows[kAccentRow] = true;
    store.extTapRows[kHandClap] = true;
    store.extTapValue = kCellOn;
    store.playExtendedStep();
    EXPECT_EQ(playing().getCell(kAccentRow, 0), kCellOn);  // not turned into an accent
    EXPECT_EQ(playing().getCell(kHandClap, 0), kCellOn);
    EXPECT_FALSE(store.extTapRows[kAccentRow]);
    EXPECT_EQ(listener.rows, (std::vector<int>{kAccentRow, kHandClap}));
}

TEST_F(StepPlaybackTest, NothingPlaysWithoutAPatternOrAValidStep) {
    playing().setCell(kCellOn, kBassDrum, 0);
    store.playExtendedStep();  // not running
    store.startExtended();
    store.currentStep = 16;
    store.playExtendedStep();
    store.currentStep = 0;
    store.currentPattern = -1;
    store.playExtendedStep();
    store.playSimpleStep();  // no simple pattern
    store.currentSimplePattern = 4;
    store.simplePatterns[4].setCell(kCellOn, kBassDrum, 0);
    store.simpleStep = -1;
    store.playSimpleStep();
    EXPECT_TRUE(listener.rows.empty());
    store.simpleStep = 0;
    store.playSimpleStep();
    EXPECT_EQ(listener.rows, std::vector<int>{kBassDrum});
}

TEST(ArrangementWithoutEngine, PlaysWithoutEngineOrListener) {
    PatternStore store(nullptr, nullptr);
    store.part(0, 0, 0)->setCell(kCellAccented, kBassDrum, 0);
    store.part(0, 0, 0)->setCell(kCellOn, kAccentRow, 0);
    store.startExtended();
    store.playExtendedStep();
    EXPECT_TRUE(store.running);
}

}  // namespace
}  // namespace vorlatek
