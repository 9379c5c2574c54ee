// The arrangement of extended patterns (measures, fill-ins, variations, pattern switches)
// and the step playback that turns cells into drum triggers.

#include "engine/DrumEngine.h"
#include "sequencer/Arrangement.h"
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
    ArrangementTest() {
        arrangement.setPatterns(&library, &thinning);
        selection.selectPlayPattern(kFill);
        // Measures of one 16-step part unless a test says otherwise.
        for (int p = 0; p < kExtendedPatternCount; ++p)
            for (int v = 0; v < 2; ++v) library.part(p, v, 0)->setLength(16);
    }

    using Measure = std::pair<int, int>;  // pattern, variation

    // Starts the sequencer and returns the pattern and variation of each measure played.
    std::vector<Measure> measures(int count) {
        arrangement.startExtended();
        std::vector<Measure> played{{arrangement.currentPattern(), arrangement.currentVariation()}};
        for (int guard = 0; static_cast<int>(played.size()) < count && guard < 100000; ++guard) {
            arrangement.advanceStep();
            if (arrangement.currentStep() == 0 && arrangement.currentPart() == 0)
                played.emplace_back(arrangement.currentPattern(), arrangement.currentVariation());
        }
        return played;
    }

    // Advances until `step` of the current part is the one just played.
    void playUntilStep(int step) {
        for (int guard = 0; arrangement.currentStep() != step && guard < 64; ++guard) arrangement.advanceStep();
    }

    DrumEngine engine;
    RecordingListener listener;
    PatternLibrary library;
    RandomThinning thinning;
    RandomThresholds thresholds;
    PlaybackSelection selection;
    Arrangement arrangement{&engine, &listener, selection, thresholds};
};

TEST_F(ArrangementTest, AutomaticFillInEveryFourMeasuresWithAlternatingVariations) {
    selection.selectPlayPattern(3);
    selection.setBasicVariation(2);  // AB
    selection.setAutoFillIn(4);
    const std::vector<Measure> expected = {{3, 0}, {3, 1}, {3, 0}, {kFill, 0},
                                           {3, 0}, {3, 1}, {3, 0}, {kFill, 0}, {3, 0}};
    EXPECT_EQ(measures(9), expected);
}

TEST_F(ArrangementTest, IntroStartsTheFillInCycleAfterIt) {
    selection.selectPlayPattern(1);
    selection.setBasicVariation(2);
    selection.setIntroFillInVariation(1);
    selection.setStartPatternType(1);
    selection.setAutoFillIn(2);
    // The intro does not flip the basic variation; measures after it do, fill-ins included.
    const std::vector<Measure> expected = {{kFill, 1}, {1, 0}, {kFill, 1}, {1, 0}, {kFill, 1}};
    EXPECT_EQ(measures(5), expected);
}

TEST_F(ArrangementTest, IntroWithManualFillInsKeepsTheFirstVariation) {
    selection.selectPlayPattern(2);
    selection.setBasicVariation(2);
    selection.setStartPatternType(1);
    const std::vector<Measure> expected = {{kFill, 0}, {2, 0}, {2, 0}, {2, 0}};
    EXPECT_EQ(measures(4), expected);
    EXPECT_EQ(arrangement.measureCounter(), -1);
}

TEST_F(ArrangementTest, StartUsesVariationBWhenSelected) {
    selection.selectPlayPattern(5);
    selection.setBasicVariation(1);
    EXPECT_EQ(measures(3), (std::vector<Measure>{{5, 1}, {5, 1}, {5, 1}}));
}

TEST_F(ArrangementTest, ManualFillInInsideTheFirstBeatSwitchesAtTheAlignedStep) {
    selection.selectPlayPattern(0);
    arrangement.startExtended();
    playUntilStep(1);
    selection.requestFillIn();
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), kFill);
    EXPECT_EQ(arrangement.currentStep(), 2);
    EXPECT_FALSE(selection.fillInRequested());
    // The fill-in plays out its measure, then the basic pattern returns.
    playUntilStep(15);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 0);
}

TEST_F(ArrangementTest, ManualFillInAfterTheFirstBeatIsTheNextMeasure) {
    arrangement.startExtended();
    playUntilStep(6);
    selection.requestFillIn();
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 0);
    EXPECT_EQ(arrangement.currentStep(), 7);
    playUntilStep(15);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), kFill);
    EXPECT_EQ(arrangement.currentStep(), 0);
    EXPECT_FALSE(selection.fillInRequested());
}

TEST_F(ArrangementTest, NewBasicPatternSwitchesInsideTheFirstBeatElseAtTheMeasureEnd) {
    selection.selectPlayPattern(0);
    arrangement.startExtended();
    playUntilStep(2);
    selection.selectPlayPattern(4);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 4);
    EXPECT_EQ(arrangement.currentStep(), 3);

    playUntilStep(5);
    selection.selectPlayPattern(7);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 4);
    EXPECT_EQ(arrangement.currentStep(), 6);
    playUntilStep(15);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 7);
    EXPECT_EQ(arrangement.currentStep(), 0);
}

TEST_F(ArrangementTest, NewIntroFillInPatternSwitchesWhileAFillInPlays) {
    selection.setStartPatternType(1);
    arrangement.startExtended();
    selection.selectPlayPattern(15);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 15);
    EXPECT_EQ(arrangement.currentStep(), 1);
}

TEST_F(ArrangementTest, SwitchesOnlyWhereTheStepGridsMeet) {
    StepPattern four, eight, three, shortEight;
    eight.setStepsPerBeat(8);
    three.setStepsPerBeat(3);
    shortEight.setStepsPerBeat(8);
    shortEight.setLength(2);
    EXPECT_EQ(Arrangement::switchAllowed(&four, 2, &four), 2);
    EXPECT_EQ(Arrangement::switchAllowed(&four, 0, &eight), 1);  // continues at step 2
    EXPECT_EQ(Arrangement::switchAllowed(&four, 0, &three), -1);  // 0.75 of a step
    EXPECT_EQ(Arrangement::switchAllowed(&four, 3, &three), 2);
    EXPECT_EQ(Arrangement::switchAllowed(&four, 4, &four), -1);  // past the first beat
    EXPECT_EQ(Arrangement::switchAllowed(&four, 0, &shortEight), -1);  // target too short
    EXPECT_EQ(Arrangement::switchAllowed(&four, -1, &four), -1);
    EXPECT_EQ(Arrangement::switchAllowed(nullptr, 0, &four), -1);
}

TEST_F(ArrangementTest, FourToEightStepsPerBeatContinuesAtStepTwo) {
    selection.selectPlayPattern(0);
    library.part(6, 0, 0)->setStepsPerBeat(8);
    arrangement.startExtended();
    selection.selectPlayPattern(6);
    arrangement.advanceStep();
    EXPECT_EQ(arrangement.currentPattern(), 6);
    EXPECT_EQ(arrangement.currentStep(), 2);
}

TEST_F(ArrangementTest, SecondPartCompletesTheMeasure) {
    selection.selectPlayPattern(0);
    selection.setBasicVariation(2);
    library.part(0, 0, 0)->setLength(4);
    library.part(0, 0, 1)->setLength(3);
    library.part(0, 1, 0)->setLength(2);  // B has no second part
    arrangement.startExtended();
    std::vector<std::pair<int, int>> steps{{arrangement.currentPart(), arrangement.currentStep()}};
    for (int i = 0; i < 9; ++i) {
        arrangement.advanceStep();
        steps.emplace_back(arrangement.currentPart() * 10 + arrangement.currentVariation(), arrangement.currentStep());
    }
    const std::vector<std::pair<int, int>> expected = {{0, 0},  {0, 1},  {0, 2},  {0, 3}, {10, 0},
                                                       {10, 1}, {10, 2}, {1, 0},  {1, 1}, {0, 0}};
    EXPECT_EQ(steps, expected);
}

TEST_F(ArrangementTest, ModeSettersIgnoreInvalidValues) {
    selection.selectPlayPattern(16);
    selection.selectPlayPattern(-1);
    EXPECT_EQ(selection.basicPattern(), 0);
    EXPECT_EQ(selection.introFillInPattern(), kFill);
    selection.setAutoFillIn(8);
    selection.setAutoFillIn(3);
    EXPECT_EQ(selection.autoFillIn(), 8);
    selection.toggleStartPatternType();
    EXPECT_EQ(selection.startPatternType(), 1);
    selection.toggleStartPatternType();
    EXPECT_EQ(selection.startPatternType(), 0);
}

// Step playback -------------------------------------------------------------------------------

class StepPlaybackTest : public ArrangementTest {
protected:
    StepPattern& playing() { return *library.part(0, 0, 0); }
    double bassDrumVelocity() { return engine.bassDrum().amplitude / 4.17; }
};

TEST_F(StepPlaybackTest, TriggersOnCellsWithTheirAccentAndTheAccentRow) {
    engine.setParameter(param::kAccentLevel, 1.0f);
    engine.setTriggerOutputInstrument(kAccentRow);
    playing().setCell(kCellAccented, kBassDrum, 0);
    playing().setCell(kCellOn, kSnareDrum, 0);
    playing().setCell(kCellAccentOnly, kLowConga, 0);  // accent without on: silent
    playing().setCell(kCellOn, kAccentRow, 0);
    arrangement.startExtended();
    arrangement.playExtendedStep();
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
    thinning.active = true;
    thinning.pattern = PatternRef::extended(0, 0, 0);
    thinning.rows[kAccentRow] = true;
    thinning.rows[kBassDrum] = true;
    thinning.rank[kAccentRow][0] = 0.5f;
    thinning.rank[kBassDrum][0] = 0.0f;
    thinning.rank[kBassDrum][1] = 0.25f;
    thresholds.set(kAccentRow, 0.5f);
    thresholds.set(kBassDrum, 0.25f);
    const double idlePulse = engine.triggerPulse().position;
    arrangement.startExtended();
    arrangement.playExtendedStep();
    EXPECT_EQ(listener.rows, std::vector<int>{kBassDrum});
    EXPECT_NEAR(bassDrumVelocity(), 48.0 / 127.0, 1e-6);
    EXPECT_EQ(engine.triggerPulse().position, idlePulse);
    arrangement.advanceStep();
    arrangement.playExtendedStep();  // rank 0.25 reaches the threshold: muted
    EXPECT_EQ(listener.rows, std::vector<int>{kBassDrum});
    // The same cells in a pattern not under randomisation play.
    thinning.pattern = PatternRef::extended(1, 0, 0);
    arrangement.playExtendedStep();
    EXPECT_EQ(listener.rows, (std::vector<int>{kBassDrum, kBassDrum}));
}

TEST_F(StepPlaybackTest, WaitingTapIsWrittenAsTappedThenPlayedAndJournaled) {
    arrangement.startExtended();
    TapMailbox::Tap tap;
    tap.rows[kAccentRow] = tap.rows[kHandClap] = true;
    tap.value = kCellOn;
    arrangement.holdExtendedTap(tap);
    arrangement.playExtendedStep();
    EXPECT_EQ(playing().getCell(kAccentRow, 0), kCellOn);  // not turned into an accent
    EXPECT_EQ(playing().getCell(kHandClap, 0), kCellOn);
    EXPECT_EQ(listener.rows, (std::vector<int>{kAccentRow, kHandClap}));

    // The tap was written once, and its record reaches the editor's side.
    playing().setCell(kCellOff, kHandClap, 0);
    arrangement.playExtendedStep();
    EXPECT_EQ(playing().getCell(kHandClap, 0), kCellOff);
    std::vector<TapRecord> records;
    arrangement.tapJournal().drain([&](const TapRecord& r) { records.push_back(r); });
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pattern, PatternRef::extended(0, 0, 0));
    EXPECT_EQ(records[0].rows, (1u << kAccentRow) | (1u << kHandClap));
}

TEST_F(StepPlaybackTest, NothingPlaysWithoutAPatternOrAValidStep) {
    playing().setCell(kCellOn, kBassDrum, 0);
    arrangement.playExtendedStep();  // not running
    arrangement.playSimpleStep();    // no simple pattern
    arrangement.setPatterns(nullptr, nullptr);
    arrangement.startExtended();
    arrangement.playExtendedStep();  // no patterns at all
    arrangement.advanceStep();
    EXPECT_TRUE(listener.rows.empty());
    arrangement.setPatterns(&library, &thinning);
    library.simplePatterns[4].setCell(kCellOn, kBassDrum, 0);
    arrangement.startSimple(4);
    arrangement.playSimpleStep();
    EXPECT_EQ(listener.rows, std::vector<int>{kBassDrum});
}

TEST(ArrangementWithoutEngine, PlaysWithoutEngineOrListener) {
    PatternLibrary library;
    RandomThresholds thresholds;
    PlaybackSelection selection;
    Arrangement arrangement(nullptr, nullptr, selection, thresholds);
    arrangement.setPatterns(&library, nullptr);
    library.part(0, 0, 0)->setCell(kCellAccented, kBassDrum, 0);
    library.part(0, 0, 0)->setCell(kCellOn, kAccentRow, 0);
    arrangement.startExtended();
    arrangement.playExtendedStep();
    EXPECT_TRUE(arrangement.running());
}

}  // namespace
}  // namespace vorlatek
