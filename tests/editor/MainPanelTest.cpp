// The main panel as a musician uses it: clicks on the headless window, the plug-in's state
// read back, and the lamps, digits and texts the panel shows afterwards.

#include "EditorTestSupport.h"

#include <cmath>
#include <set>
#include <thread>

#include "engine/ParameterIndex.h"
#include "sequencer/PatternStore.h"
#include "sequencer/PlaybackPosition.h"

namespace vorlatek::editor::testing {
namespace {

using toolkit::kAlt;
using toolkit::kControl;
using toolkit::kShift;

const char* const kRows[18] = {"BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL",
                               "RS", "MA", "CP", "CB", "LG", "CY", "OH", "CH", "AC"};

class MainPanelTest : public PanelTest {
protected:
    std::vector<int> selectedRows() {
        std::vector<int> rows;
        const auto edition = plugin.patternEdition();
        for (int r = 0; r < 18; ++r)
            if (edition->selectedInstrument[std::size_t(r)]) rows.push_back(r);
        return rows;
    }
    std::vector<int> litSelectButtons() {
        std::vector<int> rows;
        for (int r = 0; r < 18; ++r)
            if (value(std::string(kRows[r]) + " Select") > 0.5f) rows.push_back(r);
        return rows;
    }
    StepPattern& editedPattern() { return *plugin.patternEditor()->editedPattern(); }
    std::string nameShown() {
        auto* display = dynamic_cast<toolkit::CBitmapDisplay*>(panel().control("Pattern Name"));
        return display ? display->shownText() : "?";
    }
    float digit(const char* which) { return value(std::string("Pattern Num Digit ") + which); }
};

TEST_F(MainPanelTest, CtrlClickOnBdMuteSetsEveryOtherMuteTheOtherWay) {
    click("SD Mute");
    EXPECT_EQ(plugin.getParameter(param::kFirstMute + 1), 1.0f);
    click("BD Mute", kControl);  // mutes BD: every other instrument is unmuted
    EXPECT_EQ(plugin.getParameter(param::kFirstMute), 1.0f);
    for (int i = 1; i < 17; ++i) EXPECT_EQ(plugin.getParameter(param::kFirstMute + i), 0.0f) << kRows[i];
    EXPECT_EQ(value("SD Mute"), 0.0f);
    click("BD Mute", kControl);  // unmutes BD: every other instrument is muted
    EXPECT_EQ(plugin.getParameter(param::kFirstMute), 0.0f);
    for (int i = 1; i < 17; ++i) EXPECT_EQ(plugin.getParameter(param::kFirstMute + i), 1.0f) << kRows[i];
    EXPECT_EQ(value("CH Mute"), 1.0f);
    click("CP Solo", kControl);  // the same for the solos
    for (int i = 0; i < 17; ++i) EXPECT_EQ(plugin.getParameter(param::kFirstSolo + i), i == 11 ? 1.0f : 0.0f);
}

TEST_F(MainPanelTest, SelectButtonsFollowShiftAltAndCtrlInPanelOrder) {
    plugin.setWriteMode(true);
    click("SD Select");
    EXPECT_EQ(selectedRows(), (std::vector<int>{1}));
    click("HC Select", kShift);  // from SD to HC
    EXPECT_EQ(selectedRows(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(litSelectButtons(), selectedRows());
    click("SD Select");
    click("AC Select", kShift);  // AC stands left of BD on the panel
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1, 17}));
    click("CH Select", kControl);  // Ctrl adds one
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1, 16, 17}));
    click("CH Select", kAlt);  // fewer than all: all
    EXPECT_EQ(selectedRows().size(), 18u);
    click("CH Select", kAlt);  // all: none
    EXPECT_TRUE(selectedRows().empty());
    EXPECT_TRUE(litSelectButtons().empty());
}

TEST_F(MainPanelTest, CopiedRowsGoBackToTheirOwnInstrumentsAndHoldTheSelectionMeanwhile) {
    plugin.setWriteMode(true);
    {
        const DrumPlugin::Scope scope(plugin);
        editedPattern().clearRow(-1);
        editedPattern().setCell(kCellOn, 0, 2);
        editedPattern().setCell(kCellAccented, 1, 5);
    }
    click("BD Select");
    click("SD Select", kControl);
    click("Pattern Copy");
    auto* bd = control<toolkit::CNStateButton>("BD Select");
    EXPECT_TRUE(bd->isBlinking());
    EXPECT_FALSE(control<toolkit::CNStateButton>("HC Select")->isBlinking());
    click("HC Select");  // ignored while two rows wait
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1}));
    plugin.setEditedExtendedPattern(3);
    click("Pattern Paste");
    {
        const DrumPlugin::Scope scope(plugin);
        ASSERT_EQ(plugin.patternEdition()->editedExtendedPattern, 3);
        EXPECT_EQ(editedPattern().getCell(0, 2), kCellOn);
        EXPECT_EQ(editedPattern().getCell(1, 5), kCellAccented);
    }
    EXPECT_FALSE(bd->isBlinking());
    click("HC Select");  // the clipboard is empty again
    EXPECT_EQ(selectedRows(), (std::vector<int>{4}));
}

TEST_F(MainPanelTest, PatternPrevAndNextDoNothingWhileAutoFollowIsOn) {
    plugin.setWriteMode(true);
    plugin.setAutoFollow(true);  // the edited pattern is the one the sequencer plays: the first
    click("Pattern Next");
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 0);
    click("Pattern Auto Follow");
    EXPECT_FALSE(plugin.patternEdition()->autoFollow);
    click("Pattern Next");
    click("Pattern Next");
    click("Pattern Prev");
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 1);
    EXPECT_EQ(digit("1"), 3.0f / 12.0f);  // shown as "02"
}

TEST_F(MainPanelTest, InPlayModeStepButtonsChooseTheBasicAndFillInPatterns) {
    click("Step 13");
    EXPECT_EQ(plugin.playbackSelection().introFillInPattern(), 12);
    click("Step 12");
    EXPECT_EQ(plugin.playbackSelection().basicPattern(), 11);
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(value("Step " + std::to_string(k)), k == 12 || k == 13 ? 1.0f : 0.0f) << k;
    // Stopped, the basic pattern will start: its button blinks, and the digits show "12".
    EXPECT_TRUE(control<toolkit::CNStateButton>("Step 12")->isBlinking());
    EXPECT_FALSE(control<toolkit::CNStateButton>("Step 13")->isBlinking());
    EXPECT_EQ(digit("10"), 2.0f / 17.0f);
    EXPECT_EQ(digit("1"), 3.0f / 12.0f);
}

TEST_F(MainPanelTest, TempoDigitsSetTheTempoFromAllFourDigits) {
    plugin.setSyncInternal(1);
    plugin.setWriteMode(true);
    const auto dial = [&](float hundreds, int tens, int units, int tenths) {
        const int digits[3] = {tenths, units, tens};
        for (int d = 0; d < 3; ++d) control(std::string("Tempo Digit ") + (d == 0 ? "01" : d == 1 ? "1" : "10"))
                                        ->setValue(float(digits[d] + 2) / 11.0f);
        auto* knob = control("Tempo Digit 100");
        knob->setValue(hundreds);
        panel().valueChanged(knob);
        const DrumPlugin::Scope scope(plugin);
        return plugin.patternEditor()->editedVariation()->bpm;
    };
    EXPECT_DOUBLE_EQ(dial(0.5f, 2, 0, 5), 120.5);
    EXPECT_FLOAT_EQ(value("Tempo Digit 01"), 7.0f / 11.0f);  // the digits show what was stored
    EXPECT_FLOAT_EQ(value("Tempo"), float((120.5 - 30.0) / 273.0));
    EXPECT_DOUBLE_EQ(dial(1.0f, 9, 9, 9), 303.0);
    EXPECT_DOUBLE_EQ(dial(0.25f, 0, 1, 0), 30.0);
}

TEST_F(MainPanelTest, WithTheInternalSequencerOffEveryPatternLampIsDark) {
    plugin.setWriteMode(true);
    plugin.setSyncInternal(1);
    plugin.setIntSeqOn(false);
    idle();
    for (int k = 1; k <= 16; ++k) {
        EXPECT_EQ(value("Step " + std::to_string(k)), 0.0f) << k;
        EXPECT_EQ(value("Patt Len " + std::to_string(k)), 0.0f) << k;
    }
    for (const char* row : kRows) EXPECT_EQ(value(std::string(row) + " Select"), 0.0f) << row;
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(value("Pattern Prescale " + std::to_string(k)), 0.0f);
    for (const char* d : {"01", "1", "10", "100"}) {
        EXPECT_EQ(digit(d), 0.0f) << d;
        EXPECT_EQ(value(std::string("Tempo Digit ") + d), 0.0f) << d;
    }
    EXPECT_EQ(nameShown(), "");
    EXPECT_EQ(value("Internal Seq State"), 0.0f);
    EXPECT_EQ(value("Pattern Write Mode"), 0.0f);
}

TEST_F(MainPanelTest, HostModeNamesTheSimplePatternByItsNote) {
    click("Free Mode");
    ASSERT_TRUE(plugin.sequencerSettings()->hostMode);
    plugin.setEditedSimplePattern(13);  // C sharp, octave 1
    idle();
    EXPECT_EQ(digit("100"), 1.0f);
    EXPECT_EQ(digit("10"), 11.0f / 17.0f);
    EXPECT_EQ(digit("1"), 11.0f / 12.0f);
    EXPECT_EQ(digit("01"), 3.0f / 10.0f);
}

TEST_F(MainPanelTest, LearnDescriptionClearsFiveSecondsAfterATouchAndOneAfterALearnedController) {
    click("Midi Learn State");
    ASSERT_TRUE(plugin.learnActive());
    auto* knob = control("BD Tone");
    knob->setValue(0.3f);
    panel().valueChanged(knob);
    auto* description = control<toolkit::CTextLabel>("Midi Learn Desc");
    EXPECT_EQ(description->text(), "BD Tone - ...");
    idle(4900);
    EXPECT_EQ(description->text(), "BD Tone - ...");
    idle(200);
    EXPECT_EQ(description->text(), "");
    EXPECT_EQ(plugin.learnTarget(), -1);

    panel().valueChanged(knob);
    plugin.handleController(20, 64);  // the controller the musician moves next is learned
    idle();
    EXPECT_EQ(description->text(), "BD Tone - 020");
    idle(900);
    EXPECT_EQ(description->text(), "BD Tone - 020");
    idle(200);
    EXPECT_EQ(description->text(), "");
}

TEST_F(MainPanelTest, ActivityLampLightsForEightyMillisecondsAfterATrigger) {
    play(0.03);  // step 1 of the first basic pattern plays the bass drum
    EXPECT_EQ(value("BD Activity"), 1.0f);
    EXPECT_EQ(value("HT Activity"), 0.0f);
    idle(40);
    EXPECT_EQ(value("BD Activity"), 1.0f);
    idle(30);
    EXPECT_EQ(value("BD Activity"), 0.0f);
}

TEST_F(MainPanelTest, InLengthModeOnPartTwoTheNameAlternatesWithBlanksEvery600Ms) {
    plugin.setWriteMode(true);
    plugin.setEditedExtendedPart(1);
    click("Pattern Last Step");
    ASSERT_TRUE(plugin.patternEdition()->lengthMode);
    std::set<std::string> shown;
    for (std::uint32_t t : {1200u * 10 + 100, 1200u * 10 + 700, 1200u * 11 + 300, 1200u * 11 + 1100}) {
        window->setTicks(t);
        idle();
        shown.insert(nameShown());
    }
    EXPECT_EQ(shown, (std::set<std::string>{"Set len. / Clear", "                "}));
    // A step sets the length; every step lamp is lit and the length lamps follow.
    click("Step 5");
    EXPECT_EQ(plugin.patternEditor()->editedPattern()->length, 5);
    EXPECT_EQ(value("Patt Len 5"), 1.0f);
    EXPECT_EQ(value("Patt Len 6"), 0.0f);
    EXPECT_EQ(value("Step 9"), 1.0f);
}

TEST_F(MainPanelTest, RunningLightFollowsThePlayingStepOnTheFirstAndThirdQuarterOfEachBeat) {
    std::set<int> lit;
    for (int i = 0; i < 40; ++i) {
        play(0.05);
        const int step = plugin.playbackPosition().currentStep();
        const double beat = plugin.playbackPosition().extendedBeat();
        for (int k = 0; k < 16; ++k) {
            const int forced = control<toolkit::CNStateButton>("Step " + std::to_string(k + 1))->forcedImage();
            const bool expected = k == step && long(std::floor(4.0 * beat)) % 2 == 0;
            EXPECT_EQ(forced != -1, expected) << "step " << k << " at beat " << beat;
            if (forced != -1) lit.insert(k);
        }
    }
    EXPECT_GE(lit.size(), 4u);  // two seconds at 120 bpm cross four beats
}

TEST_F(MainPanelTest, ParameterChangesFromOtherThreadsMoveTheKnobsAtTheNextIdle) {
    const float before = value("BD Tone");
    std::thread host([&] {
        plugin.setParameter(param::kBassDrumTone, 0.125f);
        plugin.setParameter(param::kFirstSolo + 2, 1.0f);
        plugin.setIntSeqOn(false);
    });
    host.join();
    EXPECT_EQ(value("BD Tone"), before);  // nothing is drawn from the host's thread
    idle();
    EXPECT_EQ(value("BD Tone"), 0.125f);
    EXPECT_EQ(value("LC Solo"), 1.0f);
    EXPECT_EQ(value("Internal Seq State"), 0.0f);
}

TEST_F(MainPanelTest, KnobGestureReachesTheHostAsOneAutomationPass) {
    const toolkit::Rect r = panel().control("SD Decay")->frameRect();
    const double x = (r.left + r.right) / 2.0, y = (r.top + r.bottom) / 2.0;
    window->press(x, y);
    window->move(x, y - 20);
    window->move(x, y - 40);
    window->release(x, y - 40);
    ASSERT_GE(host.edits.size(), 2u);
    EXPECT_EQ(host.edits.front(), std::make_pair('b', int(param::kSnareDrumDecay)));
    EXPECT_EQ(host.edits.back(), std::make_pair('e', int(param::kSnareDrumDecay)));
    ASSERT_FALSE(host.automated.empty());
    EXPECT_EQ(host.automated.back().first, param::kSnareDrumDecay);
    EXPECT_EQ(plugin.getParameter(param::kSnareDrumDecay), value("SD Decay"));
}

TEST_F(MainPanelTest, PatternNameEditorRenamesTheEditedPatternAndEscapeLeavesItAlone) {
    plugin.setWriteMode(true);
    const auto name = [&] { return std::string(patternName(plugin.patternStore()->extendedPattern(0)->name)); };
    const std::string before = name();
    click("Pattern Name");
    ASSERT_NE(editor.frame()->focusView(), nullptr);
    window->typeText("Shuffle Funk");
    window->key(toolkit::VirtualKey::Escape);
    editor.idle();
    EXPECT_EQ(name(), before);
    EXPECT_EQ(editor.frame()->focusView(), nullptr);
    click("Pattern Name");
    window->typeText("Shuffle Funk");
    window->key(toolkit::VirtualKey::Enter);
    editor.idle();
    EXPECT_EQ(name(), "Shuffle Funk");
    EXPECT_EQ(nameShown(), "Shuffle Funk");
    EXPECT_EQ(editor.frame()->focusView(), nullptr);
}

TEST_F(MainPanelTest, PresetButtonsBrowseProgramsAndTheNameFieldRenamesTheCurrentOne) {
    click("Next Preset");
    EXPECT_EQ(plugin.currentProgram(), 1);
    char name[24] = {};
    plugin.getProgramName(name);
    EXPECT_EQ(control<toolkit::CTextEdit>("Preset Name")->text(), name);
    click("Prev Preset");
    click("Prev Preset");  // nothing before the first program
    EXPECT_EQ(plugin.currentProgram(), 0);
    click("Preset Name");
    window->typeText("Dry Room Kit With A Very Long Name");
    window->key(toolkit::VirtualKey::Enter);
    editor.idle();
    plugin.getProgramName(name);
    EXPECT_EQ(std::string(name), "Dry Room Kit With A Ver");
}

TEST_F(MainPanelTest, OutputNumbersAndSwitchesReachThePlugin) {
    auto* out = control("CB Out Num");
    out->setValue(4.0f / 16.0f + 0.01f);
    panel().valueChanged(out);
    EXPECT_EQ(plugin.outAssign(kCowBell), 4);
    EXPECT_FLOAT_EQ(out->value(), 4 * 0.0625f + 0.03125f);
    auto* fill = control("Measures Auto Fill In");
    fill->setValue(0.6f);
    panel().valueChanged(fill);
    EXPECT_EQ(plugin.playbackSelection().autoFillIn(), 8);
    auto* basic = control("Basic Variation");
    basic->setValue(0.5f);
    panel().valueChanged(basic);
    EXPECT_EQ(plugin.playbackSelection().basicVariation(), PlaybackSelection::kAlternateAB);
}

}  // namespace
}  // namespace vorlatek::editor::testing
