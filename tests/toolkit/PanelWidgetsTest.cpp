// The panel's own widgets: N-state buttons, blinking movie bitmaps, the bitmap-font display.

#include "ToolkitTestSupport.h"
#include "toolkit/CBitmapDisplay.h"
#include "toolkit/CExMovieBitmap.h"
#include "toolkit/CNStateButton.h"

namespace vorlatek::toolkit::testing {
namespace {

using Mode = CNStateButton::PressMode;

class PanelWidgetsTest : public ToolkitTest {
protected:
    // A button at (10, 10) of 20 × 20 whose strip holds `images` frames.
    Ref<CNStateButton> button(int states, Mode mode, bool real, int images) {
        auto b = make<CNStateButton>(Rect{10, 10, 30, 30}, &listener, 1100, strip(7, 20, 20, images), 20, Point{},
                                     states, mode, real);
        frame->attach(b);
        return b;
    }
};

TEST_F(PanelWidgetsTest, NStateButtonDrawsStateAndPressedImages) {
    openFrame();
    auto step = button(3, Mode::OnPress, true, 6);
    step->setValue(0.5f);
    EXPECT_EQ(step->state(), 1);
    EXPECT_EQ(shownFrame(7, 20, 20), 2);
    step->setNextStateMap(std::vector<int>{1, 1, 1}.data(), 3);  // stays at state 1 while pressed
    press(20, 20);
    EXPECT_EQ(shownFrame(7, 20, 20), 3);
    release(20, 20);
    EXPECT_EQ(shownFrame(7, 20, 20), 2);

    step->setForcedImage(0);
    EXPECT_EQ(shownFrame(7, 20, 20), 0);
    step->setForcedImage(-1);

    // An LED of one image per state; the state is the value over the step, rounded.
    auto led = make<CNStateButton>(Rect{50, 10, 70, 30}, &listener, 59, store.bitmap(7), 20, Point{}, 2,
                                   Mode::OnPress, false);
    frame->attach(led);
    led->setValue(0.6f);
    EXPECT_EQ(shownFrame(7, 60, 20), 1);
}

TEST_F(PanelWidgetsTest, NextStateMapDecidesWhereClicksGo) {
    openFrame();
    auto b = button(3, Mode::OnPress, false, 3);
    for (int i = 0; i < 4; ++i) click(20, 20);  // default map: round the states
    EXPECT_EQ(listener.values(), (std::vector<float>{0.5f, 1.0f, 0.0f, 0.5f}));

    listener.changes.clear();
    b->setValue(1.0f);
    const int toOff[] = {0, 0, 0};
    b->setNextStateMap(toOff, 3);
    click(20, 20);
    b->setAdvanceEnabled(false);
    b->setValue(1.0f);
    click(20, 20);  // reported, value kept
    const int wild[] = {7, -1, 99};  // states out of range count as 0
    b->setAdvanceEnabled(true);
    b->setNextStateMap(wild, 3);
    click(20, 20);
    EXPECT_EQ(listener.values(), (std::vector<float>{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(listener.begins, 7);
    EXPECT_EQ(listener.ends, 7);
}

TEST_F(PanelWidgetsTest, OnReleaseButtonsActOnlyWhenReleasedOverThem) {
    openFrame();
    auto b = button(2, Mode::OnRelease, true, 4);
    press(20, 20);
    EXPECT_EQ(shownFrame(7, 20, 20), 1);  // pressed look while inside
    move(60, 60);
    EXPECT_EQ(shownFrame(7, 20, 20), 0);
    release(60, 60);
    EXPECT_TRUE(listener.changes.empty());

    press(20, 20);
    move(60, 60);
    move(21, 21);
    EXPECT_TRUE(listener.changes.empty());
    release(21, 21);
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f}));
    EXPECT_EQ(shownFrame(7, 20, 20), 2);
}

TEST_F(PanelWidgetsTest, BlinkAlternatesWithTheClockAndStopsAfterItsDuration) {
    openFrame();
    window->setTicks(10000);
    auto led = button(2, Mode::OnPress, false, 2);
    led->setValue(1.0f);
    led->startBlink(100, 100, Blink::kForever, 0);
    auto phaseAt = [&](std::uint32_t now) {
        window->setTicks(now);
        led->advanceBlink();
        return shownFrame(7, 20, 20);
    };
    EXPECT_EQ(phaseAt(10000), 1);  // 10000 mod 200 = 0: normal phase
    EXPECT_EQ(phaseAt(10150), 0);  // alternate
    EXPECT_EQ(phaseAt(10199), 0);
    EXPECT_EQ(phaseAt(10200), 1);
    EXPECT_EQ(phaseAt(10000 + 40u * 24 * 3600 * 1000 + 150), 0);  // forever means forever
    EXPECT_TRUE(led->isBlinking());
    led->setBlinkForced(true, true);
    EXPECT_EQ(phaseAt(10150), 1);
    led->setBlinkForced(false, true);

    window->setTicks(20150);
    led->startBlink(100, 100, 600, 0);  // starting advances once: the start time is taken
    EXPECT_TRUE(led->isBlinking());
    EXPECT_EQ(phaseAt(20750), 0);
    EXPECT_TRUE(led->isBlinking());
    EXPECT_EQ(phaseAt(20751), 1);  // more than 600 ms after the start: stopped, normal picture
    EXPECT_FALSE(led->isBlinking());

    // A blink that has no on or off time does not divide by zero; a detached widget stays put.
    led->startBlink(0, 0, Blink::kForever, 0);
    EXPECT_EQ(phaseAt(30001), 1);
    frame->detach(led.get());
    led->startBlink(100, 100, 10, 0);
    window->setTicks(40000);
    led->advanceBlink();
    EXPECT_TRUE(led->isBlinking());
}

TEST_F(PanelWidgetsTest, ExMovieBitmapShowsTheAlternateValueOnlyWhileLitAndReportsClicks) {
    openFrame();
    auto digit = make<CExMovieBitmap>(Rect{10, 10, 30, 30}, &listener, 1063, 11, 20, strip(8, 20, 20, 11));
    frame->attach(digit);
    window->setTicks(1150);  // alternate phase of a 100/100 blink
    digit->setValue(0.3f);
    digit->startBlink(100, 100, Blink::kForever, 1.0f);
    EXPECT_EQ(shownFrame(8, 20, 20), 10);
    digit->setValue(0.0f);
    EXPECT_EQ(shownFrame(8, 20, 20), 0);  // value 0 shows frame 0 even while blinking
    digit->stopBlink();
    digit->setValue(0.55f);
    EXPECT_EQ(shownFrame(8, 20, 20), 6);  // 5.5 rounds up

    click(20, 20);
    click(20, 20, kRButton);
    EXPECT_EQ(listener.changes, (std::vector<std::pair<int, float>>{{1063, 0.55f}}));
    EXPECT_EQ(digit->value(), 0.55f);
}

TEST_F(PanelWidgetsTest, BitmapDisplayShowsGlyphsForItsTextAndItsAlternate) {
    openFrame(300, 100);
    images->addStrip(9, 7, 10, 96);  // glyph k is character 32 + k
    auto name = make<CBitmapDisplay>(Rect{20, 40, 132, 50}, store.bitmap(9), 16, 96, &listener, 1067);
    frame->attach(name);
    ASSERT_EQ(name->cellCount(), 16);
    auto glyphs = [&] {
        std::vector<int> shown;
        for (int k = 0; k < 16; ++k) shown.push_back(shownFrame(9, 20 + k * 7 + 3, 45, 96));
        return shown;
    };
    name->setText("AB");
    std::vector<int> expected(16, 0);
    expected[0] = 33;
    expected[1] = 34;
    EXPECT_EQ(glyphs(), expected);

    name->setText("0123456789abcdefghij");
    EXPECT_EQ(glyphs()[15], 'f' - 32);
    name->setText(std::string("\x01\x7f\xff\0z", 5));  // controls as space, beyond the font as its last glyph
    const std::vector<int> odd = glyphs();
    EXPECT_EQ(std::vector<int>(odd.begin(), odd.begin() + 5), (std::vector<int>{0, 95, 95, 0, 'z' - 32}));
    name->setText(std::string(500, 'x'));
    EXPECT_EQ(name->text().size(), CBitmapDisplay::kMaxText);

    name->setText("Rock");
    window->setTicks(600);  // 600 mod 1200 > 600? no: normal phase
    name->showAlternate("Set len.", 600, 600, Blink::kForever);
    EXPECT_EQ(glyphs()[0], 'R' - 32);
    window->setTicks(700);
    name->advance();
    EXPECT_EQ(glyphs()[0], 'S' - 32);
    name->stopAlternate();
    EXPECT_EQ(glyphs()[0], 'R' - 32);
    name->showAlternate(std::nullopt);
    window->setTicks(900);
    name->advance();
    EXPECT_EQ(glyphs()[0], 0);

    // Clicks a little outside the text still reach a cell, reported with the display's tag.
    click(18, 37);
    click(140, 45);  // beyond the enlarged area: nothing
    EXPECT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].first, 1067);

    // No glyphs, no cells, no font: nothing to divide by.
    auto broken = make<CBitmapDisplay>(Rect{0, 0, 10, 10}, nullptr, -4, 0, nullptr, 1);
    auto noGlyphs = make<CBitmapDisplay>(Rect{0, 0, 10, 10}, store.bitmap(9), 1000, 0, nullptr, 1);
    frame->attach(broken);
    frame->attach(noGlyphs);
    noGlyphs->setText("x");
    frame->idle();
    EXPECT_EQ(broken->cellCount(), 0);
    EXPECT_EQ(noGlyphs->cellCount(), CBitmapDisplay::kMaxCells);
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
