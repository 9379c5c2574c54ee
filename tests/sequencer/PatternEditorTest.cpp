#include "engine/Instrument.h"
#include "sequencer/EditorNotification.h"
#include "sequencer/Arrangement.h"
#include "sequencer/PatternEditor.h"
#include "sequencer/SequencerListener.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace vorlatek {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Modifiers kPlain{};
constexpr Modifiers kControl{false, true, false};
constexpr Modifiers kShift{true, false, false};
constexpr Modifiers kAlt{false, false, true};

class RecordingListener : public SequencerListener {
public:
    void notify(int code) override { codes.push_back(code); }
    void instrumentActivity(int) override {}
    std::vector<int> codes;
};

class PatternEditorTest : public ::testing::Test {
protected:
    PatternEditorTest() { arrangement.setPatterns(store.get(), nullptr); }

    RecordingListener listener;
    RandomThresholds thresholds;
    std::unique_ptr<PatternStore> store = std::make_unique<PatternStore>(&thresholds);
    SequencerSettings settings;
    PatternEdition edition;
    PlaybackSelection playback;
    SequencerRequests requests;
    // Stands for the audio thread: what it plays is what the editor points at or follows.
    Arrangement arrangement{nullptr, nullptr, playback, thresholds};
    PatternEditor editor{*store, settings, edition, playback, arrangement.position(), requests, &listener};

    // Plays extended pattern `pattern`, variation `variation`, from its first step.
    void play(int pattern, int variation) {
        playback.selectPlayPattern(pattern);
        playback.setBasicVariation(variation);
        arrangement.startExtended();
    }

    // Write mode on extended pattern 2, variation B, Part 1, with `rows` selected.
    void startEditing(std::initializer_list<int> rows = {kBassDrum}) {
        settings.intSeqOn = true;
        playback.selectPlayPattern(2);
        playback.setBasicVariation(1);
        editor.setWriteMode(true);
        for (int row = 0; row < kPatternRows; ++row) editor.setSelectedInstrument(row, false);
        for (int row : rows) editor.setSelectedInstrument(row, true);
        listener.codes.clear();
    }
    StepPattern& edited() { return *editor.editedPattern(); }
    std::string row(int r) { return encodeStepString(edited(), r); }
    int onSteps(int r) {
        int n = 0;
        for (int step = 0; step < kPatternSteps; ++step) n += edited().getCell(r, step) & 1;
        return n;
    }
    std::vector<int> selection() {
        std::vector<int> rows;
        for (int r = 0; r < kPatternRows; ++r)
            if (edition.selectedInstrument[static_cast<std::size_t>(r)]) rows.push_back(r);
        return rows;
    }
};

TEST_F(PatternEditorTest, WriteModeIsRefusedWithoutTheSequencerOrInHostModeAndFollowsTheSequencer) {
    EXPECT_FALSE(editor.writeModeButton(1.0f));  // internal sequencer off
    EXPECT_FALSE(edition.writeMode);
    settings.intSeqOn = true;
    settings.hostMode = true;
    EXPECT_FALSE(editor.writeModeButton(1.0f));
    EXPECT_FALSE(edition.writeMode);
    EXPECT_THAT(listener.codes, IsEmpty());

    // Stopped: the start pattern (the intro here) with the basic variation's letter.
    settings.hostMode = false;
    playback.setStartPatternType(1);
    playback.selectPlayPattern(13);
    playback.setBasicVariation(1);
    edition.editedExtendedPart = 1;
    EXPECT_TRUE(editor.writeModeButton(1.0f));
    EXPECT_EQ(edition.editedExtendedPattern, 13);
    EXPECT_EQ(edition.editedExtendedVariation, 1);
    EXPECT_EQ(edition.editedExtendedPart, 0);
    EXPECT_THAT(listener.codes, ElementsAre(kNotifyWriteMode, kNotifyEditedExtendedPattern, kNotifyEditedPart,
                                            kNotifyEditedVariation));

    // Running: pressed again while on, it points at what plays now.
    playback.setStartPatternType(0);
    store->part(4, 0, 0)->setLength(1);
    store->part(4, 0, 1)->setLength(1);
    play(4, 0);
    arrangement.advanceStep();  // into Part 2
    arrangement.startSimple(95);
    listener.codes.clear();
    editor.setWriteMode(true);
    EXPECT_EQ(edition.editedExtendedPattern, 4);
    EXPECT_EQ(edition.editedExtendedVariation, 0);
    EXPECT_EQ(edition.editedExtendedPart, 1);
    EXPECT_EQ(edition.editedSimplePattern, 95);
    EXPECT_EQ(std::count(listener.codes.begin(), listener.codes.end(), kNotifyWriteMode), 0);
}

TEST_F(PatternEditorTest, ModeButtonsNeedEditingAndRandomAndLengthModeExcludeEachOther) {
    settings.intSeqOn = true;
    EXPECT_FALSE(editor.autoFollowButton(1.0f));
    EXPECT_FALSE(editor.randModeButton(1.0f));
    EXPECT_FALSE(editor.lengthModeButton(1.0f));
    EXPECT_FALSE(edition.autoFollow || edition.randMode || edition.lengthMode);

    startEditing();
    EXPECT_TRUE(editor.lengthModeButton(1.0f));
    EXPECT_TRUE(editor.randModeButton(1.0f));
    EXPECT_TRUE(edition.randMode);
    EXPECT_FALSE(edition.lengthMode);
    EXPECT_TRUE(editor.lengthModeButton(1.0f));
    EXPECT_FALSE(edition.randMode);
    EXPECT_TRUE(editor.autoFollowButton(1.0f));
    EXPECT_THAT(listener.codes, ElementsAre(kNotifyLengthMode, kNotifyLengthMode, kNotifyRandomMode,
                                            kNotifyRandomMode, kNotifyLengthMode, kNotifyAutoFollow));

    listener.codes.clear();
    editor.hostModeChanged();
    EXPECT_FALSE(edition.lengthMode);
    EXPECT_THAT(listener.codes, ElementsAre(kNotifyRandomMode, kNotifyLengthMode));
}

TEST_F(PatternEditorTest, StepButtonsWriteCellsSetTheLengthOrSelectThePlayPattern) {
    settings.intSeqOn = true;
    editor.stepButton(12, 1.0f);  // play mode: button 13 picks the first intro/fill-in
    editor.stepButton(11, 1.0f);
    EXPECT_EQ(playback.introFillInPattern(), 12);
    EXPECT_EQ(playback.basicPattern(), 11);

    startEditing({kBassDrum, kAccent});
    editor.stepButton(0, 0.5f);
    editor.stepButton(1, 1.0f);
    editor.stepButton(2, 0.5f);
    editor.stepButton(2, 0.0f);
    editor.stepButton(16, 1.0f);
    editor.stepButton(-1, 1.0f);
    EXPECT_EQ(row(kBassDrum), "oO..............");
    EXPECT_EQ(row(kAccent), "OO..............");  // the accent row is always accented

    editor.setLengthMode(true);
    editor.stepButton(5, 0.5f);
    EXPECT_EQ(edited().length, 6);
    EXPECT_EQ(row(kBassDrum), "oO....");
}

TEST_F(PatternEditorTest, ShiftRotatesTheSelectedRowsWithinTheLength) {
    startEditing({kBassDrum, kSnareDrum});
    decodeStepString("O...o...", edited(), kBassDrum);
    decodeStepString("o...............", edited(), kSnareDrum);
    edited().setLength(8);
    editor.shiftButton(+1);
    EXPECT_EQ(row(kBassDrum), ".O...o..");
    EXPECT_EQ(edited().getCell(kSnareDrum, 1), 1);
    EXPECT_THAT(listener.codes, ElementsAre(kNotifySelectionEdited));
    editor.shiftButton(-1);
    EXPECT_EQ(row(kBassDrum), "O...o...");

    edited().setLength(1);
    editor.shiftButton(+1);
    EXPECT_EQ(edited().getCell(kBassDrum, 0), 3);
    editor.partButton(1);  // an empty second part: nothing to move
    decodeStepString("o", edited(), kBassDrum);
    editor.shiftButton(+1);
    EXPECT_EQ(edited().getCell(kBassDrum, 0), 1);
}

TEST_F(PatternEditorTest, RowsPasteBackIntoTheirOwnRowsOrOneRowIntoAllSelected) {
    startEditing({kBassDrum, kSnareDrum});
    decodeStepString("o.o.o.o.", edited(), kBassDrum);
    decodeStepString("..O...O.", edited(), kSnareDrum);
    editor.copyButton(kPlain);
    EXPECT_EQ(editor.rowClipboard().count(), 2);
    editor.selectButton(kClosedHiHat, 1.0f, kPlain);  // two rows wait: the selection stays
    EXPECT_THAT(selection(), ElementsAre(kBassDrum, kSnareDrum));
    editor.partButton(1);
    editor.setSelectedInstrument(kSnareDrum, false);
    editor.setSelectedInstrument(kClosedHiHat, true);
    editor.pasteButton(kPlain);
    EXPECT_EQ(edited().getCell(kBassDrum, 2), 1);
    EXPECT_EQ(edited().getCell(kSnareDrum, 2), 3);
    EXPECT_EQ(edited().getCell(kClosedHiHat, 2), 0);
    EXPECT_FALSE(editor.rowClipboard().held());

    // One row into three.
    editor.partButton(0);
    editor.selectButton(kSnareDrum, 1.0f, kPlain);
    editor.copyButton(kPlain);
    for (int r : {kBassDrum, kLowConga, kAccent}) editor.selectButton(r, 1.0f, r == kBassDrum ? kPlain : kControl);
    editor.pasteButton(kPlain);
    EXPECT_EQ(row(kBassDrum), "..O...O.........");
    EXPECT_EQ(row(kLowConga), "..O...O.........");
    EXPECT_EQ(row(kAccent), "..O...O.........");
    EXPECT_FALSE(editor.rowClipboard().held());
    editor.pasteButton(kPlain);  // empty clipboard: nothing
    EXPECT_EQ(row(kLowConga), "..O...O.........");
}

TEST_F(PatternEditorTest, ClearRemovesRowsPatternsOrTheSecondPart) {
    startEditing({kBassDrum});
    decodeStepString("oooo", edited(), kBassDrum);
    decodeStepString("oooo", edited(), kSnareDrum);
    editor.copyButton(kPlain);
    editor.clearButton(kPlain);  // cancels the copy only
    EXPECT_FALSE(editor.rowClipboard().held());
    EXPECT_EQ(row(kBassDrum).substr(0, 4), "oooo");
    editor.clearButton(kPlain);
    EXPECT_EQ(row(kBassDrum).substr(0, 4), "....");
    EXPECT_EQ(row(kSnareDrum).substr(0, 4), "oooo");
    editor.clearButton(kControl);
    EXPECT_EQ(row(kSnareDrum).substr(0, 4), "....");

    PatternVariation& variation = *editor.editedVariation();
    variation.part2.setLength(8);
    decodeStepString("o", variation.part1, kBassDrum);
    editor.setLengthMode(true);
    editor.clearButton(kPlain);  // Part 1: nothing
    EXPECT_EQ(variation.part1.length, 16);
    EXPECT_EQ(variation.part1.getCell(kBassDrum, 0), 1);
    editor.partButton(1);
    editor.clearButton(kPlain);
    EXPECT_EQ(variation.part2.length, 0);
}

TEST_F(PatternEditorTest, WholePatternClipboardsCopyAndPasteWithControl) {
    startEditing();
    ExtendedPattern& source = *editor.editedExtendedPattern();
    source.setName("Groove");
    source.variationA.part2.setLength(4);
    decodeStepString("O.o.", source.variationB.part1, kHighConga);
    editor.pasteButton(kControl);  // nothing copied yet: the pattern stays
    EXPECT_STREQ(source.name, "Groove");
    editor.copyButton(kControl);
    editor.nextButton();
    editor.pasteButton(kControl);
    const ExtendedPattern& copy = *store->extendedPattern(3);
    EXPECT_STREQ(copy.name, "Groove");
    EXPECT_EQ(copy.variationA.part2.length, 4);
    EXPECT_EQ(encodeStepString(copy.variationB.part1, kHighConga).substr(0, 4), "O.o.");

    settings.hostMode = true;
    decodeStepString("oO", edited(), kMidConga);
    edited().setName("Simple");
    editor.copyButton(kControl);
    editor.nextButton();
    editor.pasteButton(kControl);
    EXPECT_STREQ(store->simplePattern(1)->name, "Simple");
    EXPECT_EQ(store->simplePattern(1)->getCell(kMidConga, 1), 3);
}

TEST_F(PatternEditorTest, SelectionClicksWithModifiers) {
    startEditing({kSnareDrum});
    editor.selectButton(kHighConga, 1.0f, kShift);
    EXPECT_THAT(selection(), ElementsAre(kSnareDrum, kLowConga, kMidConga, kHighConga));
    editor.selectButton(kSnareDrum, 1.0f, kPlain);
    editor.selectButton(kAccent, 1.0f, kShift);  // the accent button sits left of BD
    EXPECT_THAT(selection(), ElementsAre(kBassDrum, kSnareDrum, kAccent));
    editor.selectButton(kClosedHiHat, 1.0f, kShift);  // several selected: a plain click
    EXPECT_THAT(selection(), ElementsAre(kClosedHiHat));
    editor.selectButton(kBassDrum, 1.0f, kControl);
    editor.selectButton(kClosedHiHat, 0.0f, kControl);
    EXPECT_THAT(selection(), ElementsAre(kBassDrum));
    editor.selectButton(kSnareDrum, 1.0f, kAlt);
    EXPECT_EQ(editor.selectedCount(), 18);
    editor.selectButton(kSnareDrum, 1.0f, kAlt);
    EXPECT_EQ(editor.selectedCount(), 0);
    editor.activityLampClicked(kMidConga);
    EXPECT_THAT(selection(), ElementsAre(kMidConga));
    editor.selectButton(kPatternRows, 1.0f, kPlain);
    EXPECT_THAT(selection(), ElementsAre(kMidConga));

    edition.writeMode = false;  // editing not allowed: clicks change nothing
    editor.selectButton(kBassDrum, 1.0f, kPlain);
    EXPECT_THAT(selection(), ElementsAre(kMidConga));
}

TEST_F(PatternEditorTest, TempoShuffleResolutionAndName) {
    startEditing();
    PatternVariation& variation = *editor.editedVariation();
    editor.tempoKnob(0.5f);  // external sync: the host's tempo rules
    EXPECT_EQ(variation.bpm, 120.0);
    settings.syncInternal = 1;
    editor.tempoKnob(0.0f);
    EXPECT_DOUBLE_EQ(variation.bpm, 30.0);
    editor.tempoKnob(1.0f);
    EXPECT_DOUBLE_EQ(variation.bpm, 303.0);
    editor.tempoKnob(0.5f);
    EXPECT_DOUBLE_EQ(variation.bpm, 166.5);
    editor.tempoKnob(7.0f);
    EXPECT_DOUBLE_EQ(variation.bpm, 303.0);
    editor.shuffleKnob(0.25f);
    EXPECT_EQ(variation.shuffle, 0.25);
    editor.shuffleKnob(-3.0f);
    EXPECT_EQ(variation.shuffle, 0.0);

    const int expected[] = {3, 6, 4, 8};
    for (int button = 1; button <= 4; ++button) {
        editor.resolutionButton(button);
        EXPECT_EQ(edited().stepsPerBeat, expected[button - 1]);
    }
    editor.resolutionButton(5);
    EXPECT_EQ(edited().stepsPerBeat, 8);

    editor.setPatternName("A name far longer than sixteen");
    EXPECT_STREQ(editor.editedExtendedPattern()->name, "A name far longe");

    settings.hostMode = true;
    editor.tempoKnob(0.0f);
    editor.shuffleKnob(1.0f);
    editor.setPatternName("Host");
    EXPECT_DOUBLE_EQ(store->simplePattern(0)->bpm, 30.0);
    EXPECT_EQ(store->simplePattern(0)->shuffle, 1.0);
    EXPECT_STREQ(store->simplePattern(0)->name, "Host");
}

TEST_F(PatternEditorTest, PreviousAndNextMoveTheEditedPatternUnlessFollowing) {
    startEditing();
    editor.previousButton();
    editor.previousButton();
    editor.previousButton();
    EXPECT_EQ(edition.editedExtendedPattern, 0);
    for (int i = 0; i < 20; ++i) editor.nextButton();
    EXPECT_EQ(edition.editedExtendedPattern, 15);
    editor.setAutoFollow(true);
    editor.previousButton();
    EXPECT_EQ(edition.editedExtendedPattern, 15);
    editor.setAutoFollow(false);
    settings.hostMode = true;
    editor.nextButton();
    EXPECT_EQ(edition.editedSimplePattern, 1);
    EXPECT_EQ(edition.editedExtendedPattern, 15);
}

TEST_F(PatternEditorTest, RandomModeGeneratesAcceptsAndRestores) {
    startEditing({kBassDrum, kAccent});
    for (int row = 0; row < kPatternRows; ++row) thresholds.set(row, 0.25f);
    decodeStepString("O.o.O.o.", edited(), kBassDrum);
    const StepPattern before = edited();
    editor.setRandMode(true);
    EXPECT_TRUE(store->randomActive());
    editor.nextButton();
    ASSERT_TRUE(editor.randomPending());
    EXPECT_EQ(editor.randomTarget(), kBassDrum);  // the manual row moves to a randomised row
    EXPECT_EQ(edition.editedExtendedPattern, 2);

    int shown = 0;
    for (int step = 0; step < kPatternSteps; ++step) shown += editor.displayCell(kBassDrum, step) & 1;
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(onSteps(kBassDrum), 16);

    // Pending: the steps write only into a manual row that was not randomised.
    editor.stepButton(3, 0.5f);
    EXPECT_EQ(edited().getCell(kClosedHiHat, 3), 0);
    editor.selectButton(kClosedHiHat, 1.0f, kPlain);
    EXPECT_THAT(selection(), ElementsAre(kBassDrum, kAccent));
    editor.stepButton(3, 0.5f);
    EXPECT_EQ(edited().getCell(kClosedHiHat, 3), 1);
    EXPECT_FALSE(editor.variationButton(0));
    EXPECT_FALSE(editor.partButton(1));
    editor.clearButton(kControl);
    EXPECT_EQ(onSteps(kBassDrum), 16);

    // Leaving random mode restores the rows; the manual write stays.
    editor.setRandMode(false);
    EXPECT_EQ(encodeStepString(edited(), kBassDrum), encodeStepString(before, kBassDrum));
    EXPECT_EQ(encodeStepString(edited(), kAccent), encodeStepString(before, kAccent));
    EXPECT_EQ(edited().getCell(kClosedHiHat, 3), 1);
    EXPECT_FALSE(store->randomActive());

    // Tap accepts the thinned result and nothing is pending afterwards.
    editor.setRandMode(true);
    editor.nextButton();
    editor.tapButton(kPlain);
    EXPECT_FALSE(store->randomPending());
    EXPECT_EQ(onSteps(kBassDrum), 4);
    EXPECT_FALSE(requests.tap.pending());
    editor.nextButton();
    editor.randUndoButton();
    EXPECT_EQ(onSteps(kBassDrum), 4);
}

TEST_F(PatternEditorTest, APendingResultIsFinishedOnItsOwnPatternAfterTheEditedOneMoved) {
    startEditing({kBassDrum});
    decodeStepString("o...o...", edited(), kBassDrum);
    StepPattern& randomised = edited();
    editor.setRandMode(true);
    editor.nextButton();
    // Write mode pressed again while the sequencer plays another pattern.
    play(9, 0);
    editor.setWriteMode(true);
    ASSERT_NE(&edited(), &randomised);
    decodeStepString("oooo", edited(), kBassDrum);
    editor.randUndoButton();
    EXPECT_EQ(encodeStepString(randomised, kBassDrum), "o...o...........");
    EXPECT_EQ(row(kBassDrum).substr(0, 4), "oooo");
}

TEST_F(PatternEditorTest, TapHandsTheSelectedRowsToTheClockOrActsOnPlayback) {
    settings.intSeqOn = true;
    editor.tapButton(kPlain);  // play mode, stopped: the start pattern type flips
    EXPECT_EQ(playback.startPatternType(), 1);
    EXPECT_THAT(listener.codes, ElementsAre(kNotifyStartPatternType));
    arrangement.startExtended();
    editor.tapButton(kPlain);
    EXPECT_TRUE(playback.fillInRequested());

    startEditing({kSnareDrum, kAccent});
    editor.tapButton(kControl);
    TapMailbox::Tap tap;
    ASSERT_TRUE(requests.tap.take(tap));
    EXPECT_EQ(tap.value, 3);
    EXPECT_TRUE(tap.rows[kSnareDrum] && tap.rows[kAccent]);
    EXPECT_FALSE(tap.rows[kBassDrum]);
    editor.tapButton(kPlain);
    ASSERT_TRUE(requests.tap.take(tap));
    EXPECT_EQ(tap.value, 1);
}

TEST_F(PatternEditorTest, AnAbsentEditedPatternMakesEveryOperationANoOp) {
    startEditing({kBassDrum});
    edition.editedExtendedPattern = 40;
    ASSERT_EQ(editor.editedPattern(), nullptr);
    for (int step = 0; step < kPatternSteps; ++step) editor.stepButton(step, 1.0f);
    editor.shiftButton(1);
    editor.copyButton(kPlain);
    editor.copyButton(kControl);
    editor.pasteButton(kControl);
    editor.clearButton(kControl);
    editor.tempoKnob(1.0f);
    editor.shuffleKnob(1.0f);
    editor.resolutionButton(1);
    editor.setPatternName("x");
    editor.setRandMode(true);
    editor.nextButton();
    EXPECT_FALSE(store->randomPending());
    EXPECT_EQ(editor.displayCell(kBassDrum, 0), 0);
    EXPECT_FALSE(editor.rowClipboard().held());
}

}  // namespace
}  // namespace vorlatek
