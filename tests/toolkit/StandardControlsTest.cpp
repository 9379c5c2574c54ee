// The standard controls' mouse behaviour and film-strip frames, and bad input survived.

#include "ToolkitTestSupport.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CHorizontalSwitch.h"
#include "toolkit/CKickButton.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CVerticalSwitch.h"

namespace vorlatek::toolkit::testing {
namespace {

using StandardControlsTest = ToolkitTest;

TEST_F(StandardControlsTest, KickButtonFollowsThePointerAndAlwaysReportsTheRelease) {
    openFrame();
    auto kick = make<CKickButton>(Rect{10, 10, 30, 30}, &listener, 3, strip(1, 20, 20, 2));
    frame->attach(kick);
    press(20, 20);
    EXPECT_EQ(shownFrame(1, 20, 20), 1);
    move(25, 25);  // still inside: nothing new
    move(50, 50);
    move(40, 40);
    release(40, 40);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(shownFrame(1, 20, 20), 0);

    listener.changes.clear();
    press(20, 20);
    move(50, 50);
    move(20, 20);  // back inside
    release(20, 20);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(listener.begins, 2);
    EXPECT_EQ(listener.ends, 2);

    listener.changes.clear();
    click(20, 20, kRButton);  // only the left button presses it
    EXPECT_TRUE(listener.changes.empty());
}

TEST_F(StandardControlsTest, OnOffButtonTogglesOnEachLeftClick) {
    openFrame();
    auto button = make<COnOffButton>(Rect{10, 10, 30, 30}, &listener, 4, strip(1, 20, 20, 2));
    frame->attach(button);
    click(15, 15);
    click(15, 15);
    click(15, 15, kMButton);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(StandardControlsTest, KnobDragsLinearlyOrAroundItsCentreAndCtrlClickGivesTheDefault) {
    openFrame(300, 300);
    auto knob = make<CAnimKnob>(Rect{100, 100, 140, 140}, &listener, 9, 31, 40, strip(2, 40, 40, 31));
    frame->attach(knob);

    // Linear: 200 pixels cover the range; Shift is ten times finer.
    press(120, 120);
    move(120, 70);
    EXPECT_FLOAT_EQ(knob->value(), 0.25f);
    move(120, 0);
    EXPECT_FLOAT_EQ(knob->value(), 0.6f);
    move(120, 0, kLButton | kShift);  // the finer factor starts from where the pointer is
    move(120, -100, kLButton | kShift);
    EXPECT_FLOAT_EQ(knob->value(), 0.65f);
    move(120, -110);  // Shift let go: linear again from here
    move(120, -400);
    release(120, -400);
    EXPECT_FLOAT_EQ(knob->value(), 1.0f);  // limited to the maximum
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);

    // Circular (Alt swaps from linear): the sweep runs from lower left (0) over the top (0.5).
    press(120, 120, kLButton | kAlt);
    move(120, 60, kLButton | kAlt);
    EXPECT_NEAR(knob->value(), 0.5f, 1e-6);
    move(60, 120, kLButton | kAlt);  // due left: 45° into the sweep
    EXPECT_NEAR(knob->value(), 45.0f / 270.0f, 1e-6);
    move(119, 180, kLButton | kAlt);  // just left of the gap at the bottom: the start
    EXPECT_EQ(knob->value(), 0.0f);
    release(119, 180);
    frame->setKnobMode(KnobMode::Circular);  // the host's choice; Alt now gives linear
    press(120, 120, kLButton | kAlt);
    move(120, 100, kLButton | kAlt);
    release(120, 100);
    EXPECT_FLOAT_EQ(knob->value(), 0.1f);

    listener.changes.clear();
    click(120, 120, kLButton | kControl);
    click(120, 120, kLButton | kControl | kShift);  // Ctrl with another modifier is a drag start
    EXPECT_EQ(listener.changes, (std::vector<std::pair<int, float>>{{9, 0.5f}}));
    EXPECT_EQ(listener.modifierClicks.size(), 4u);  // Alt drags and Ctrl clicks: all offered first

    // The wheel moves one frame per notch.
    window->wheel(120 * 1.0, 120, 3.0f);
    EXPECT_NEAR(knob->value(), 0.6f, 1e-6);
}

TEST_F(StandardControlsTest, ListenerCanTakeModifierClicksBeforeTheControlActs) {
    openFrame();
    auto button = make<COnOffButton>(Rect{10, 10, 30, 30}, &listener, 4, strip(1, 20, 20, 2));
    frame->attach(button);
    listener.claimModifierClicks = true;
    for (unsigned key : {kShift, kControl, kAlt, kCommand}) click(15, 15, kLButton | key);
    EXPECT_EQ(listener.modifierClicks.size(), 4u);
    EXPECT_TRUE(listener.changes.empty());
    click(15, 15);  // a plain click is never offered
    EXPECT_EQ(listener.modifierClicks.size(), 4u);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f}));
}

TEST_F(StandardControlsTest, SwitchesPickTheFrameUnderThePointer) {
    openFrame();
    auto horizontal = make<CHorizontalSwitch>(Rect{0, 0, 60, 20}, &listener, 1, 3, 20, strip(1, 60, 20, 3));
    auto vertical = make<CVerticalSwitch>(Rect{100, 0, 120, 40}, &listener, 2, 4, 40, strip(2, 20, 40, 4));
    frame->attach(horizontal);
    frame->attach(vertical);

    click(59, 10);
    click(30, 10);
    click(5, 10);
    click(5, 10);  // no change, no report
    press(5, 10);
    move(45, 10);  // dragging keeps selecting
    move(200, 10);  // beyond the end: clamped to the last frame, already shown
    release(200, 10);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.5f, 0.0f, 1.0f}));
    EXPECT_EQ(shownFrame(1, 30, 10), 2);

    listener.changes.clear();
    click(110, 15);  // second quarter of the height
    EXPECT_EQ(shownFrame(2, 110, 5), 1);
    click(110, 15, kLButton | kControl);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f / 3.0f, 0.5f}));
    EXPECT_EQ(shownFrame(2, 110, 5), 2);  // 0.5 × 3 = 1.5 rounds to frame 2
}

// value, frames → frame drawn by a knob (truncated) and a movie bitmap (rounded).
struct FrameCase {
    float value;
    int frames;
    int knobFrame;
    int movieFrame;
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << "value " << c.value << " of " << c.frames << " frames"; }

class FilmStripTest : public ToolkitTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FilmStripTest, DrawsTheFrameTheValueSelects) {
    const FrameCase c = GetParam();
    for (double scale : {1.0, 2.0}) {
        openFrame(100, 40, scale);
        const int frames = std::max(c.frames, 1);
        auto bitmap = strip(5, 20, 20, frames);
        auto knob = make<CAnimKnob>(Rect{0, 0, 20, 20}, nullptr, 1, c.frames, 20, bitmap);
        auto movie = make<CMovieBitmap>(Rect{40, 0, 60, 20}, nullptr, 2, c.frames, 20, bitmap);
        knob->setMinimum(-10.0f);  // let values outside 0..1 through to drawing
        knob->setMaximum(10.0f);
        movie->setMinimum(-10.0f);
        movie->setMaximum(10.0f);
        knob->setValue(c.value);
        movie->setValue(c.value);
        frame->attach(knob);
        frame->attach(movie);
        EXPECT_EQ(shownFrame(5, 10, 10), c.knobFrame) << "knob at scale " << scale;
        EXPECT_EQ(shownFrame(5, 50, 10), c.movieFrame) << "movie at scale " << scale;
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, FilmStripTest,
                         ::testing::Values(FrameCase{0.0f, 31, 0, 0}, FrameCase{1.0f, 31, 30, 30},
                                           FrameCase{0.5f, 31, 15, 15}, FrameCase{0.49f, 31, 14, 15},
                                           FrameCase{0.1f, 11, 1, 1}, FrameCase{0.99f, 2, 0, 1},
                                           FrameCase{1.5f, 4, 3, 3}, FrameCase{-2.0f, 4, 0, 0},
                                           FrameCase{0.7f, 1, 0, 0}, FrameCase{0.7f, 0, 0, 0},
                                           FrameCase{0.7f, -3, 0, 0}));

TEST_F(StandardControlsTest, BadInputIsSurvived) {
    openFrame();
    // Unknown bitmaps draw nothing; empty and inverted rectangles draw and take nothing.
    EXPECT_FALSE(store.bitmap(4242));
    auto noBitmap = make<CAnimKnob>(Rect{0, 0, 20, 20}, &listener, 1, 31, 20, store.bitmap(4242));
    auto inverted = make<CKickButton>(Rect{50, 50, 40, 40}, &listener, 2, strip(1, 20, 20, 2));
    auto empty = make<COnOffButton>(Rect{60, 60, 60, 60}, &listener, 3, store.bitmap(1));
    auto zeroFrames = make<CHorizontalSwitch>(Rect{100, 0, 140, 20}, &listener, 4, 0, 20, store.bitmap(1));
    auto zeroHeight = make<CVerticalSwitch>(Rect{100, 40, 140, 60}, &listener, 5, 3, 0, nullptr);
    for (const Ref<CControl>& control : std::vector<Ref<CControl>>{noBitmap, inverted, empty, zeroFrames, zeroHeight}) {
        frame->attach(control);
        control->setValue(std::nanf(""));
        EXPECT_EQ(control->value(), 0.0f);
        control->setValue(1e30f);
        EXPECT_EQ(control->value(), 1.0f);
        control->setValue(-1e30f);
        EXPECT_EQ(control->value(), 0.0f);
    }
    noBitmap->setMinimum(std::nanf(""));
    noBitmap->setMaximum(-1.0f);  // below the minimum: the minimum follows
    EXPECT_EQ(noBitmap->minimum(), -1.0f);
    frame->idle();
    EXPECT_EQ(window->pixel(10, 10), kBlack);
    click(45, 45);
    click(60, 60);
    click(120, 10);
    click(120, 50);
    EXPECT_EQ(zeroFrames->value(), 0.0f);
    EXPECT_TRUE(listener.changes.empty() || listener.changes.back().first == 5);
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
