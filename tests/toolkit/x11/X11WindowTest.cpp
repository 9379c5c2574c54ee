// The X11 back end on a real (virtual) display: a frame opened as a child of a plain window
// draws, takes clicks and keys sent through XTest, shares the clipboard with another frame,
// survives its parent being destroyed first, and closes without leaving anything behind.

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "toolkit/CFrame.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/ImageStore.h"
#include "toolkit/TestImageSource.h"
#include "toolkit/X11Window.h"

namespace vorlatek::toolkit {
namespace {

constexpr int kButtonId = 1;
constexpr std::uint8_t kKeycodeA = 38;  // the X server's default keymap
constexpr std::uint8_t kKeycodeReturn = 36;

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

// Shared memory segments this process created that still exist.
int sharedSegments() {
    std::ifstream table("/proc/sysvipc/shm");
    std::string line;
    std::getline(table, line);
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        long key, id, perms, size, cpid;
        if (fields >> key >> id >> perms >> size >> cpid && cpid == getpid()) ++count;
    }
    return count;
}

template <class Done>
bool waitFor(Done done, CFrame* a = nullptr, CFrame* b = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (a) a->idle();
        if (b) b->idle();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        x = xcb_connect(nullptr, nullptr);
        if (int error = xcb_connection_has_error(x)) GTEST_SKIP() << "no X display (" << error << ")";
        screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
        images->addStrip(kButtonId, 40, 40, 2);
    }
    void TearDown() override { xcb_disconnect(x); }

    xcb_window_t makeParent(int left = 0, int top = 0) {
        const xcb_window_t w = xcb_generate_id(x);
        const std::uint32_t values[] = {screen->white_pixel, 1};
        xcb_create_window(x, XCB_COPY_FROM_PARENT, w, screen->root, std::int16_t(left), std::int16_t(top), 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(x, w);
        std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));  // round trip: mapped
        return w;
    }

    Ref<CFrame> openFrame(xcb_window_t parent, X11Window::Upload upload = X11Window::Upload::Auto) {
        auto frame = make<CFrame>(Rect{0, 0, 200, 100});
        auto window = X11Window::open(parent, frame->windowWidth(), frame->windowHeight(), upload);
        if (!window) return nullptr;
        sharedMemory = window->usesSharedMemory();
        childWindow = window->windowId();
        frame->open(std::move(window));
        return frame;
    }

    // The colour the server shows at (px, py) of window `w`.
    Color pixelOf(xcb_window_t w, int px, int py) {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, w, std::int16_t(px), std::int16_t(py), 1, 1, ~0u), nullptr);
        Color c{0, 0, 0, 0};
        if (reply && xcb_get_image_data_length(reply) >= 4) {
            const std::uint8_t* d = xcb_get_image_data(reply);
            c = Color{d[2], d[1], d[0], 255};
        }
        std::free(reply);
        return c;
    }

    void fake(std::uint8_t type, std::uint8_t detail, int rootX = 0, int rootY = 0) {
        xcb_test_fake_input(x, type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? screen->root : XCB_NONE,
                            std::int16_t(rootX), std::int16_t(rootY), 0);
        xcb_flush(x);
    }
    void clickAt(int rootX, int rootY) {
        fake(XCB_MOTION_NOTIFY, 0, rootX, rootY);
        fake(XCB_BUTTON_PRESS, 1);
        fake(XCB_BUTTON_RELEASE, 1);
    }
    void tap(std::uint8_t keycode) {
        fake(XCB_KEY_PRESS, keycode);
        fake(XCB_KEY_RELEASE, keycode);
    }

    xcb_connection_t* x = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t childWindow = 0;
    bool sharedMemory = false;
    std::shared_ptr<TestImageSource> images = std::make_shared<TestImageSource>();
    ImageStore store{images};
};

TEST_F(X11WindowTest, OpensDrawsTakesAClickAndClosesFiftyTimesWithoutLeaking) {
    const xcb_window_t parent = makeParent();
    const Color off = TestImageSource::frameColor(kButtonId, 0);
    const Color on = TestImageSource::frameColor(kButtonId, 1);
    // The first connection loads what a connection loads once per process; count after it.
    openFrame(parent);
    const int descriptors = openDescriptors();
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        // Shared memory (which the local server offers) and plain requests in turn.
        Ref<CFrame> frame = openFrame(parent, round % 2 ? X11Window::Upload::PutImage : X11Window::Upload::Auto);
        ASSERT_TRUE(frame);
        EXPECT_EQ(sharedMemory, round % 2 == 0);
        auto button = make<COnOffButton>(Rect{50, 30, 90, 70}, nullptr, 1, store.bitmap(kButtonId));
        frame->attach(button);
        ASSERT_TRUE(waitFor([&] { return pixelOf(childWindow, 60, 40) == off; }, frame.get()));
        clickAt(60, 40);
        ASSERT_TRUE(waitFor([&] { return button->value() == 1.0f; }, frame.get()));
        ASSERT_TRUE(waitFor([&] { return pixelOf(childWindow, 60, 40) == on; }, frame.get()));
        frame->close();
        EXPECT_EQ(openDescriptors(), descriptors);
    }
    EXPECT_EQ(sharedSegments(), 0);
}

TEST_F(X11WindowTest, KeysReachAFocusedTextFieldThroughXkb) {
    const xcb_window_t parent = makeParent();
    Ref<CFrame> frame = openFrame(parent);
    ASSERT_TRUE(frame);
    auto edit = make<CTextEdit>(Rect{10, 10, 150, 30}, nullptr, 2, "old");
    frame->attach(edit);
    frame->idle();
    clickAt(50, 20);
    ASSERT_TRUE(waitFor([&] { return edit->isEditing(); }, frame.get()));
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    tap(kKeycodeA);
    fake(XCB_KEY_PRESS, 50);  // left Shift
    tap(kKeycodeA);
    fake(XCB_KEY_RELEASE, 50);
    tap(kKeycodeReturn);
    ASSERT_TRUE(waitFor([&] { return !edit->isEditing(); }, frame.get()));
    EXPECT_EQ(edit->text(), "aA");
}

TEST_F(X11WindowTest, ClipboardTextTravelsBetweenTwoEditors) {
    const xcb_window_t first = makeParent(0, 0);
    const xcb_window_t second = makeParent(320, 0);
    Ref<CFrame> a = openFrame(first);
    Ref<CFrame> b = openFrame(second);
    ASSERT_TRUE(a && b);
    auto source = make<CTextEdit>(Rect{10, 10, 150, 30}, nullptr, 1, "Fill Toms ✓");
    auto target = make<CTextEdit>(Rect{10, 10, 150, 30}, nullptr, 2, "");
    a->attach(source);
    b->attach(target);
    a->setFocusView(source.get());
    a->windowKeyDown({VirtualKey::None, 'c', kControl});
    b->setFocusView(target.get());
    b->windowKeyDown({VirtualKey::None, 'v', kControl});
    ASSERT_TRUE(waitFor([&] { return target->buffer().text() == "Fill Toms ✓"; }, a.get(), b.get()));
}

TEST_F(X11WindowTest, SurvivesTheHostDestroyingItsWindowFirst) {
    const xcb_window_t parent = makeParent();
    Ref<CFrame> frame = openFrame(parent);
    ASSERT_TRUE(frame);
    auto* window = static_cast<X11Window*>(frame->window());
    frame->idle();
    xcb_destroy_window(x, parent);
    xcb_flush(x);
    ASSERT_TRUE(waitFor([&] { return window->parentDestroyed(); }, frame.get()));
    frame->attach(make<CTextEdit>(Rect{0, 0, 50, 20}, nullptr, 1, "x"));
    frame->invalidAll();
    for (int i = 0; i < 10; ++i) frame->idle();
    frame->setClipboardText("still fine");
    frame->close();
    frame->idle();  // idles after close are harmless
}

TEST_F(X11WindowTest, RefusesWindowsThatCannotBeMade) {
    EXPECT_FALSE(X11Window::open(0, 100, 100));
    EXPECT_FALSE(X11Window::open(screen->root, 0, 100));
    EXPECT_FALSE(X11Window::open(0x7FFFFFF, 100, 100));  // no such window
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", ":4711", 1);
    EXPECT_FALSE(X11Window::open(screen->root, 100, 100));
    EXPECT_EQ(X11Window::desktopScale(), 1.0);
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_GE(X11Window::desktopScale(), 1.0);
}

}  // namespace
}  // namespace vorlatek::toolkit
