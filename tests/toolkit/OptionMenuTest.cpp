// Option menus: the popup list inside the window, choosing, closing.

#include "ToolkitTestSupport.h"
#include "toolkit/CMenuPopup.h"
#include "toolkit/COptionMenu.h"

namespace vorlatek::toolkit::testing {
namespace {

class OptionMenuTest : public ToolkitTest {
protected:
    Ref<COptionMenu> menuAt(const Rect& r, int entries) {
        auto menu = make<COptionMenu>(r, &listener, 1217, strip(20, r.width(), r.height(), 1),
                                      strip(21, r.width(), r.height(), 1), COptionMenu::kNoTextStyle);
        for (int i = 0; i < entries; ++i) menu->addEntry("Entry " + std::to_string(i));
        frame->attach(menu);
        return menu;
    }
    CMenuPopup* popup() const { return static_cast<CMenuPopup*>(frame->popup()); }
    // Logical centre of row `row` of the open popup.
    Point rowCentre(int row) const {
        const Rect r = popup()->rect();
        return {r.left + r.width() / 2, r.top + 1 + row * popup()->rowHeight() + popup()->rowHeight() / 2};
    }
};

TEST_F(OptionMenuTest, ClickingAnEntryChoosesItAndReportsItsIndex) {
    openFrame(300, 200);
    auto menu = menuAt(Rect{20, 20, 60, 40}, 3);
    EXPECT_EQ(menu->lastResult(), -1);
    EXPECT_EQ(shownFrame(20, 40, 30, 1), 0);
    click(40, 30);
    ASSERT_TRUE(menu->isOpen());
    EXPECT_EQ(popup()->rect().top, 40);  // right below the menu
    EXPECT_EQ(shownFrame(21, 40, 30, 1), 0);  // the second bitmap while open
    const Point second = rowCentre(1);
    move(second.x, second.y, 0);
    EXPECT_EQ(popup()->highlighted(), 1);
    click(second.x, second.y);
    EXPECT_FALSE(menu->isOpen());
    EXPECT_EQ(menu->lastResult(), 1);
    EXPECT_EQ(listener.changes, (std::vector<std::pair<int, float>>{{1217, 1.0f}}));
    EXPECT_EQ(shownFrame(20, 40, 30, 1), 0);

    // Press on the menu, drag to an entry, release: chosen in one gesture. Right clicks open it too.
    press(40, 30, kRButton);
    const Point third = rowCentre(2);
    move(third.x, third.y, kRButton);
    release(third.x, third.y);
    EXPECT_EQ(menu->lastResult(), 2);
}

TEST_F(OptionMenuTest, EscapeOrAClickOutsideClosesWithoutChoosingAndTheClickGoesNoFurther) {
    openFrame(300, 200);
    auto menu = menuAt(Rect{20, 20, 60, 40}, 3);
    auto other = menuAt(Rect{200, 20, 240, 40}, 2);
    click(40, 30);
    release(40, 30);  // the release over the menu button chooses nothing
    EXPECT_TRUE(menu->isOpen());
    EXPECT_TRUE(window->key(VirtualKey::Escape));
    EXPECT_FALSE(menu->isOpen());
    click(40, 30);
    click(220, 30);  // closes the list, does not open the other menu
    EXPECT_FALSE(menu->isOpen());
    EXPECT_FALSE(other->isOpen());
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(menu->lastResult(), -1);

    // The keyboard chooses too.
    click(40, 30);
    window->key(VirtualKey::Down);
    window->key(VirtualKey::Down);
    window->key(VirtualKey::Up);
    window->key(VirtualKey::Enter);
    EXPECT_EQ(menu->lastResult(), 0);

    // Detaching the menu closes its list; an empty menu does not open.
    click(40, 30);
    frame->detach(menu.get());
    EXPECT_EQ(frame->popup(), nullptr);
    other->removeAllEntries();
    click(220, 30);
    EXPECT_EQ(frame->popup(), nullptr);
}

TEST_F(OptionMenuTest, PopupStaysInsideTheWindow) {
    openFrame(200, 120);
    // Near the bottom: the list opens above the menu.
    auto low = menuAt(Rect{10, 100, 50, 118}, 3);
    click(30, 110);
    EXPECT_EQ(popup()->rect().bottom, 100);
    window->key(VirtualKey::Escape);

    // Near the right edge and with more entries than fit: moved left, shortened, scrollable.
    auto wide = menuAt(Rect{180, 0, 200, 10}, 40);
    click(190, 5);
    const Rect r = popup()->rect();
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 200);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 120);
    EXPECT_LT(popup()->visibleRows(), 40);
    window->key(VirtualKey::End);
    EXPECT_EQ(popup()->highlighted(), 39);
    EXPECT_EQ(popup()->firstVisible() + popup()->visibleRows(), 40);
    window->wheel(r.left * 1.0 + 5, r.top * 1.0 + 5, 100.0f);
    EXPECT_EQ(popup()->firstVisible(), 0);
    const int rows = popup()->visibleRows();
    const Point last = rowCentre(rows - 1);
    frame->idle();
    click(last.x, last.y);
    EXPECT_EQ(frame->popup(), nullptr);
    EXPECT_EQ(wide->lastResult(), rows - 1);

    // A modal view does not keep a menu inside it from opening its list above everything.
    auto dialog = make<CViewContainer>(Rect{0, 0, 200, 120});
    frame->detach(low.get());
    dialog->attach(low);
    frame->setModalView(dialog);
    click(30, 110);
    EXPECT_TRUE(low->isOpen());
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
