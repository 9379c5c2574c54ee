#include "engine/Instrument.h"
#include "plugin/DrumPlugin.h"
#include "sequencer/PatternEditor.h"
#include "sequencer/PatternFiles.h"
#include "sequencer/PatternStore.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorlatek {
namespace {

using test::RecordingHost;
using test::ScratchDirectory;

constexpr Modifiers kPlain{};
constexpr Modifiers kControl{false, true, false};

void expectSamePattern(const StepPattern& a, const StepPattern& b) {
    EXPECT_STREQ(a.name, b.name);
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.stepsPerBeat, b.stepsPerBeat);
    for (int row = 0; row < kPatternRows; ++row)
        for (int step = 0; step < a.length; ++step)
            EXPECT_EQ(a.getCell(row, step), b.getCell(row, step)) << "row " << row << " step " << step;
}

class PatternEditingTest : public ::testing::Test {
protected:
    ScratchDirectory dir;
    RecordingHost host;
    DrumPlugin plugin{&host, dir.path()};
    PatternEditor& editor = *plugin.patternEditor();
    PatternStore& store = *plugin.patternStore();

    // Builds extended pattern 0 (variation A) and simple pattern 5 with the editing controls.
    void editPatterns() {
        plugin.setSyncInternal(1);
        ASSERT_TRUE(editor.writeModeButton(1.0f));
        ASSERT_EQ(plugin.patternEdition()->editedExtendedPattern, 0);
        editor.clearButton(kControl);
        editor.selectButton(kBassDrum, 1.0f, kPlain);
        editor.selectButton(kAccent, 1.0f, kControl);
        for (int step : {0, 4, 8, 12}) editor.stepButton(step, step == 8 ? 1.0f : 0.5f);
        editor.selectButton(kOpenHiHat, 1.0f, kPlain);
        editor.stepButton(2, 1.0f);
        editor.shiftButton(+1);
        editor.resolutionButton(4);
        editor.tempoKnob(0.5f);
        editor.shuffleKnob(0.5f);
        editor.setPatternName("Edited & <saved>");
        editor.lengthModeButton(1.0f);
        editor.stepButton(11, 0.0f);
        editor.partButton(1);
        editor.stepButton(3, 0.0f);
        editor.lengthModeButton(0.0f);
        editor.stepButton(1, 0.5f);

        plugin.setHostMode(true);
        editor.nextButton();
        for (int i = 0; i < 4; ++i) editor.nextButton();
        editor.clearButton(kControl);
        editor.selectButton(kSnareDrum, 1.0f, kPlain);
        editor.stepButton(7, 1.0f);
        editor.tempoKnob(0.0f);
        editor.setPatternName("Host groove");
        plugin.setHostMode(false);
    }
};

TEST_F(PatternEditingTest, EditedPatternsSurviveTheStateChunk) {
    editPatterns();
    const ExtendedPattern& edited = *store.extendedPattern(0);
    EXPECT_EQ(encodeStepString(edited.variationA.part1, kBassDrum), "o...o...O...");
    EXPECT_EQ(encodeStepString(edited.variationA.part1, kAccent), "O...O...O...");
    EXPECT_EQ(encodeStepString(edited.variationA.part1, kOpenHiHat), "...O........");
    EXPECT_EQ(edited.variationA.part2.length, 4);
    EXPECT_EQ(store.simplePattern(5)->getCell(kSnareDrum, 7), 3);

    const std::string chunk = plugin.getChunk(false);
    ScratchDirectory otherDir;
    RecordingHost otherHost;
    DrumPlugin other(&otherHost, otherDir.path());
    other.setChunk(chunk.data(), chunk.size(), false);
    const ExtendedPattern& restored = *other.patternStore()->extendedPattern(0);
    EXPECT_STREQ(restored.name, "Edited & <saved>");
    expectSamePattern(restored.variationA.part1, edited.variationA.part1);
    expectSamePattern(restored.variationA.part2, edited.variationA.part2);
    EXPECT_EQ(restored.variationA.part1.stepsPerBeat, 8);
    EXPECT_DOUBLE_EQ(restored.variationA.bpm, 166.5);
    EXPECT_NEAR(restored.variationA.shuffle, 0.5, 1e-6);  // stored with six decimals
    expectSamePattern(*other.patternStore()->simplePattern(5), *store.simplePattern(5));
    EXPECT_DOUBLE_EQ(other.patternStore()->simplePattern(5)->bpm, 30.0);
    EXPECT_EQ(other.patternEdition()->editedSimplePattern, 5);
    EXPECT_EQ(other.patternEdition()->selectedInstrument, plugin.patternEdition()->selectedInstrument);
}

TEST_F(PatternEditingTest, EditedPatternsSurviveThePatternFiles) {
    editPatterns();
    ASSERT_TRUE(savePatternFile(dir.file("mine.veb"), store, 5, 0, nullptr));
    ASSERT_TRUE(savePatternFile(dir.file("mine.vsb"), store, 5, 0, nullptr));
    auto copy = std::make_unique<PatternStore>();
    ASSERT_TRUE(loadPatternBankFile(dir.file("mine.veb"), *copy));
    ASSERT_TRUE(loadPatternBankFile(dir.file("mine.vsb"), *copy));
    expectSamePattern(copy->extendedPattern(0)->variationA.part1, store.extendedPattern(0)->variationA.part1);
    expectSamePattern(copy->extendedPattern(0)->variationA.part2, store.extendedPattern(0)->variationA.part2);
    EXPECT_DOUBLE_EQ(copy->variation(0, 0)->bpm, 166.5);
    expectSamePattern(*copy->simplePattern(5), *store.simplePattern(5));
}

TEST_F(PatternEditingTest, HostModeRefusesWriteModeAndEndsRandomAndLengthEditing) {
    ASSERT_TRUE(plugin.sequencerSettings()->intSeqOn);
    plugin.setHostMode(true);
    plugin.setWriteMode(true);
    EXPECT_FALSE(plugin.patternEdition()->writeMode);
    EXPECT_FALSE(editor.writeModeButton(1.0f));

    // A pending random result on a simple pattern is undone when host mode ends.
    plugin.setRandMode(true);
    StepPattern& simple = *store.simplePattern(0);
    simple.clearRow(kBassDrum);
    editor.selectButton(kBassDrum, 1.0f, kPlain);
    editor.nextButton();
    ASSERT_TRUE(store.randomPending());
    host.clear();
    plugin.setHostMode(false);
    EXPECT_EQ(encodeStepString(simple, kBassDrum), "................");
    EXPECT_FALSE(plugin.patternEdition()->randMode);
    EXPECT_FALSE(store.randomPending());
    EXPECT_EQ(host.count(kNotifyHostMode), 1);
    EXPECT_EQ(host.count(kNotifyRandomMode), 1);

    // Switching the internal sequencer off ends random editing the same way.
    plugin.setHostMode(true);
    plugin.setRandMode(true);
    editor.nextButton();
    plugin.setIntSeqOn(false);
    EXPECT_EQ(encodeStepString(simple, kBassDrum), "................");
    EXPECT_FALSE(store.randomActive());
}

TEST_F(PatternEditingTest, ReplacingThePatternsDropsAPendingRandomResult) {
    ASSERT_TRUE(editor.writeModeButton(1.0f));
    plugin.setRandMode(true);
    editor.selectButton(kBassDrum, 1.0f, kPlain);
    StepPattern& part = *editor.editedPattern();
    part.setLength(16);
    decodeStepString("oooooooooooooooo", part, kBassDrum);
    const std::string chunk = plugin.getChunk(false);
    ASSERT_TRUE(plugin.savePatternFile(dir.file("saved.veb")));

    for (int load = 0; load < 2; ++load) {
        part.clearRow(kBassDrum);
        editor.nextButton();
        ASSERT_TRUE(store.randomPending());
        if (load == 0) plugin.setChunk(chunk.data(), chunk.size(), false);
        else ASSERT_TRUE(plugin.loadPatternBankFile(dir.file("saved.veb")));
        EXPECT_FALSE(store.randomPending());
        EXPECT_EQ(store.randomised(), nullptr);
        editor.tapButton(kPlain);  // nothing to accept: it must not thin the loaded row
        editor.randUndoButton();
        EXPECT_EQ(encodeStepString(part, kBassDrum), "oooooooooooooooo");
    }
}

}  // namespace
}  // namespace vorlatek
