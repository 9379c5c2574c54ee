// Attaching, detaching and destroying views; which view a click reaches; what gets repainted.

#include "ToolkitTestSupport.h"
#include "toolkit/CKickButton.h"
#include "toolkit/COnOffButton.h"

namespace vorlatek::toolkit::testing {
namespace {

// Counts live instances, to see destruction happen.
struct CountedView : CView {
    static inline int alive = 0;
    explicit CountedView(const Rect& r) : CView(r) { ++alive; }
    ~CountedView() override { --alive; }
};

struct PressLog : CView {
    explicit PressLog(const Rect& r, std::vector<PressLog*>* log) : CView(r), log_(log) {}
    MouseResult onMouseDown(const MouseEvent&) override {
        log_->push_back(this);
        return MouseResult::Handled;
    }
    std::vector<PressLog*>* log_;
};

using ViewTreeTest = ToolkitTest;

TEST_F(ViewTreeTest, ReferencesKeepViewsAliveUntilTheLastHolderLetsGo) {
    CountedView::alive = 0;
    openFrame();
    {
        auto window = make<CViewContainer>(Rect{10, 10, 110, 110});
        window->attach(make<CountedView>(Rect{0, 0, 10, 10}));
        auto kept = make<CountedView>(Rect{20, 0, 30, 10});
        window->attach(kept);
        EXPECT_EQ(kept->referenceCount(), 2);
        ASSERT_TRUE(frame->attach(window));

        // Detaching keeps a view someone holds, children and all; the frame's reference goes.
        ASSERT_TRUE(frame->detach(window.get()));
        EXPECT_EQ(window->referenceCount(), 1);
        EXPECT_EQ(CountedView::alive, 2);
        EXPECT_EQ(kept->frame(), nullptr);
        ASSERT_TRUE(frame->attach(window));
        EXPECT_EQ(kept->frame(), frame.get());
        EXPECT_EQ(window->children().size(), 2u);

        // Destroying a container releases its children; one held elsewhere survives, orphaned.
        frame->detach(window.get());
        window.reset();
        EXPECT_EQ(CountedView::alive, 1);
        EXPECT_EQ(kept->parent(), nullptr);
    }
    EXPECT_EQ(CountedView::alive, 0);

    // Attach, detach and destroy cycles through the frame leave nothing behind (ASan checks leaks).
    for (int i = 0; i < 100; ++i) {
        auto container = make<CViewContainer>(Rect{0, 0, 50, 50});
        for (int k = 0; k < 5; ++k) container->attach(make<CountedView>(Rect{k, k, k + 5, k + 5}));
        frame->attach(container);
        frame->idle();
        if (i % 2) frame->detach(container.get());
    }
    frame.reset();
    EXPECT_EQ(CountedView::alive, 0);
}

TEST_F(ViewTreeTest, AttachRefusesWhatWouldBreakTheTreeAndDetachOfAStrangerDoesNothing) {
    openFrame();
    auto outer = make<CViewContainer>(Rect{0, 0, 100, 100});
    auto inner = make<CViewContainer>(Rect{0, 0, 50, 50});
    auto view = make<CView>(Rect{0, 0, 5, 5});
    ASSERT_TRUE(outer->attach(inner));
    EXPECT_FALSE(inner->attach(outer));          // a cycle
    EXPECT_FALSE(inner->attach(inner));          // itself
    EXPECT_FALSE(outer->attach(Ref<CView>()));   // nothing
    EXPECT_FALSE(outer->attach(frame));          // a frame is never a child
    ASSERT_TRUE(inner->attach(view));
    EXPECT_FALSE(outer->attach(view));           // already attached elsewhere
    EXPECT_FALSE(outer->detach(view.get()));     // not outer's child
    EXPECT_FALSE(frame->detach(outer.get()));    // never attached
    EXPECT_FALSE(frame->detach(nullptr));
    EXPECT_TRUE(inner->isChild(view.get()));
    EXPECT_FALSE(frame->setModalView(view));     // attached views cannot be modal
}

TEST_F(ViewTreeTest, ClicksReachTheTopmostEnabledViewAndOnlyTheModalViewWhileOneIsShown) {
    openFrame();
    std::vector<PressLog*> log;
    auto bottom = make<PressLog>(Rect{10, 10, 60, 60}, &log);
    auto top = make<PressLog>(Rect{40, 40, 90, 90}, &log);
    auto box = make<CViewContainer>(Rect{100, 0, 200, 100});
    auto inBox = make<PressLog>(Rect{10, 10, 30, 30}, &log);
    box->attach(inBox);
    frame->attach(bottom);
    frame->attach(top);
    frame->attach(box);

    click(45, 45);  // overlap: the later view is on top
    click(15, 15);
    click(115, 15);  // child coordinates are relative to the container
    ASSERT_EQ(log, (std::vector<PressLog*>{top.get(), bottom.get(), inBox.get()}));

    log.clear();
    top->setMouseEnabled(false);  // a disabled view lets the click through to the one below
    click(45, 45);
    top->setMouseableArea(Rect{0, 0, 1, 1});
    top->setMouseEnabled(true);
    click(85, 85);  // outside its own mouseable area: nothing there
    box->setMouseEnabled(false);
    click(115, 15);  // a disabled container hides its children
    EXPECT_EQ(log, (std::vector<PressLog*>{bottom.get()}));

    log.clear();
    auto dialog = make<CViewContainer>(Rect{0, 0, 80, 80});
    auto inDialog = make<PressLog>(Rect{20, 20, 40, 40}, &log);
    dialog->attach(inDialog);
    ASSERT_TRUE(frame->setModalView(dialog));
    click(30, 30);
    click(15, 15);   // inside the dialog but on its background
    click(150, 50);  // outside: ignored
    ASSERT_TRUE(frame->setModalView(nullptr));
    click(15, 15);
    EXPECT_EQ(log, (std::vector<PressLog*>{inDialog.get(), bottom.get()}));
}

TEST_F(ViewTreeTest, IdleRepaintsOnlyWhatChangedAndNothingWhenNothingDid) {
    openFrame(200, 100);
    auto a = make<COnOffButton>(Rect{10, 10, 30, 30}, &listener, 1, strip(1, 20, 20, 2));
    auto b = make<COnOffButton>(Rect{100, 50, 120, 70}, &listener, 2, store.bitmap(1));
    frame->attach(a);
    frame->attach(b);
    frame->idle();
    EXPECT_EQ(window->lastPresented(), (std::vector<Rect>{Rect{0, 0, 200, 100}}));
    const int presents = window->presentCount();
    frame->idle();
    EXPECT_EQ(window->presentCount(), presents);  // nothing dirty, nothing shown

    b->setValue(1.0f);
    frame->idle();
    EXPECT_EQ(window->lastPresented(), (std::vector<Rect>{Rect{100, 50, 120, 70}}));
    b->setValue(1.0f);  // same value: not dirty
    frame->idle();
    EXPECT_EQ(window->presentCount(), presents + 1);

    // Detaching repaints the area the view covered, with what lies below.
    frame->detach(b.get());
    frame->idle();
    EXPECT_EQ(window->lastPresented(), (std::vector<Rect>{Rect{100, 50, 120, 70}}));
    EXPECT_EQ(window->pixel(110, 60), kBlack);
}

TEST_F(ViewTreeTest, ScaleAppliesToDrawingAndInputAlike) {
    for (double scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        openFrame(100, 60, scale);
        EXPECT_EQ(frame->windowWidth(), int(std::ceil(100 * scale)));
        auto button = make<COnOffButton>(Rect{20, 10, 40, 30}, &listener, 7, strip(3, 20, 20, 2));
        frame->attach(button);
        EXPECT_EQ(shownFrame(3, 30, 20), 0);
        window->click(39.9 * scale, 29.9 * scale);  // the last window pixel inside the button
        EXPECT_EQ(button->value(), 1.0f);
        EXPECT_EQ(shownFrame(3, 30, 20), 1);
        window->click(40 * scale, 30 * scale);  // just outside
        EXPECT_EQ(button->value(), 1.0f);
    }
    // Pictures are asked of the source at the scale in use, and 2× pixels are drawn 1:1.
    EXPECT_GT(images->requests(2), 0);
    auto frame2 = make<CFrame>(Rect{0, 0, 10, 10});
    frame2->setScale(std::nan(""));
    EXPECT_EQ(frame2->scale(), 1.0);
    frame2->setScale(100.0);
    EXPECT_EQ(frame2->scale(), 4.0);
}

TEST_F(ViewTreeTest, DetachingAViewDuringItsGestureEndsTheGestureCleanly) {
    openFrame();
    auto kick = make<CKickButton>(Rect{10, 10, 30, 30}, &listener, 5, strip(4, 20, 20, 2));
    frame->attach(kick);
    press(15, 15);
    EXPECT_EQ(listener.begins, 1);
    frame->detach(kick.get());
    EXPECT_EQ(listener.ends, 1);
    move(50, 50);
    release(50, 50);  // goes nowhere
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f}));
    EXPECT_EQ(kick->value(), 0.0f);
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
