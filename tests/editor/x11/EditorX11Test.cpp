// The editor on a real (virtual) X display, loaded from the module as a host loads it: it
// opens inside a host window, draws, and closes, many times and several at once, without
// leaving descriptors, threads or X connections behind; it is idled at the rates hosts use,
// from another thread than the one that opened it, and survives its parent window dying
// first. Through vorlatek-host edit: a click on "BD Mute" reaches the saved state, and the
// running light moves along the step row while a pattern plays.

#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "plugin/VstInterface.h"
#include "toolkit/ImageSource.h"

namespace vorlatek {
namespace {

using namespace vst;
using Clock = std::chrono::steady_clock;

int entriesOf(const char* folder) {
    int count = 0;
    if (DIR* dir = opendir(folder)) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}
int openDescriptors() { return entriesOf("/proc/self/fd"); }
int threads() { return entriesOf("/proc/self/task"); }

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

class EditorX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        x = xcb_connect(nullptr, nullptr);
        if (int error = xcb_connection_has_error(x)) GTEST_SKIP() << "no X display (" << error << ")";
        screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
        module = dlopen(VORLATEK_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        entry = reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
    }
    void TearDown() override {
        for (AEffect* e : effects) e->dispatcher(e, effClose, 0, 0, nullptr, 0);
        if (module) dlclose(module);
        if (x) xcb_disconnect(x);
    }

    AEffect* instance() {
        AEffect* e = entry(hostCallback);
        effects.push_back(e);
        return e;
    }
    void close(AEffect* e) {
        e->dispatcher(e, effClose, 0, 0, nullptr, 0);
        effects.erase(std::find(effects.begin(), effects.end(), e));
    }
    static VstIntPtr call(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                          float opt = 0) {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    std::pair<int, int> size(AEffect* e) {
        ERect* r = nullptr;
        call(e, effEditGetRect, 0, 0, &r);
        return r ? std::pair{r->right - r->left, r->bottom - r->top} : std::pair{0, 0};
    }
    xcb_window_t hostWindow(AEffect* e, int left = 0) {
        const auto [w, h] = size(e);
        const xcb_window_t window = xcb_generate_id(x);
        xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, std::int16_t(left), 0, std::uint16_t(w),
                          std::uint16_t(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(x, window);
        xcb_flush(x);
        return window;
    }
    static void* asParent(xcb_window_t window) { return reinterpret_cast<void*>(std::uintptr_t(window)); }
    // How many different colours a window shows in a sample of its pixels: a drawn panel has many.
    int coloursIn(xcb_window_t window, int w, int h) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, std::uint16_t(w), std::uint16_t(h), ~0u), nullptr);
        if (!image) return 0;
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
        const int count = xcb_get_image_data_length(image) / 4;
        std::vector<std::uint32_t> seen;
        for (int i = 0; i < count; i += 97)
            if (std::find(seen.begin(), seen.end(), pixels[i] & 0xffffff) == seen.end()) seen.push_back(pixels[i] & 0xffffff);
        std::free(image);
        return int(seen.size());
    }
    // Idles until the window shows a drawn panel (at most five seconds).
    bool drawn(AEffect* e, xcb_window_t parent) {
        const auto [w, h] = size(e);
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            call(e, effEditIdle);
            if (coloursIn(parent, w, h) > 50) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    xcb_connection_t* x = nullptr;
    xcb_screen_t* screen = nullptr;
    void* module = nullptr;
    VstPluginMainProc entry = nullptr;
    std::vector<AEffect*> effects;
};

TEST_F(EditorX11Test, OpensDrawsAndClosesFiftyTimesLeavingNothingBehind) {
    AEffect* e = instance();
    const xcb_window_t parent = hostWindow(e);
    ASSERT_EQ(call(e, effEditOpen, 0, 0, asParent(parent)), 1);
    ASSERT_TRUE(drawn(e, parent));
    call(e, effEditClose);
    const int descriptors = openDescriptors(), tasks = threads();
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(call(e, effEditOpen, 0, 0, asParent(parent)), 1);
        call(e, effEditIdle);
        if (i % 10 == 0) {
            EXPECT_TRUE(drawn(e, parent)) << "open " << i;
        }
        call(e, effEditClose);
    }
    EXPECT_EQ(openDescriptors(), descriptors);  // each open has an X connection of its own
    EXPECT_EQ(threads(), tasks);
}

TEST_F(EditorX11Test, FourInstancesDrawSideBySide) {
    const int descriptors = openDescriptors();
    std::vector<std::pair<AEffect*, xcb_window_t>> open;
    for (int i = 0; i < 4; ++i) {
        AEffect* e = instance();
        const xcb_window_t parent = hostWindow(e, 40 * i);
        ASSERT_EQ(call(e, effEditOpen, 0, 0, asParent(parent)), 1);
        open.emplace_back(e, parent);
    }
    for (auto [e, parent] : open) EXPECT_TRUE(drawn(e, parent));
    for (auto [e, parent] : open) call(e, effEditClose);
    for (auto [e, parent] : open) close(e);
    EXPECT_LE(openDescriptors(), descriptors);
}

TEST_F(EditorX11Test, IdlesAt15And60HzAndTakesKeysFromAnotherThread) {
    AEffect* e = instance();
    const xcb_window_t parent = hostWindow(e);
    ASSERT_EQ(call(e, effEditOpen, 0, 0, asParent(parent)), 1);
    std::thread host([&] {
        for (int hz : {15, 60}) {
            const auto stop = Clock::now() + std::chrono::milliseconds(400);
            while (Clock::now() < stop) {
                call(e, effEditIdle);
                EXPECT_EQ(call(e, effEditKeyDown, 'a'), 0);  // no text field edits
                std::this_thread::sleep_for(std::chrono::milliseconds(1000 / hz));
            }
        }
    });
    host.join();
    EXPECT_TRUE(drawn(e, parent));
    call(e, effEditClose);
}

TEST_F(EditorX11Test, SurvivesTheHostWindowDyingBeforeClose) {
    AEffect* e = instance();
    const xcb_window_t parent = hostWindow(e);
    ASSERT_EQ(call(e, effEditOpen, 0, 0, asParent(parent)), 1);
    ASSERT_TRUE(drawn(e, parent));
    xcb_destroy_window(x, parent);
    xcb_flush(x);
    for (int i = 0; i < 10; ++i) {
        call(e, effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    call(e, effEditClose);
    call(e, effEditClose);
}

// vorlatek-host edit -----------------------------------------------------------------------

std::string scratch(const std::string& name) {
    return (std::string(::testing::TempDir()) + "vorlatek-edit-" + std::to_string(getpid()) + "-" + name);
}

int runHost(const std::string& arguments) {
    const std::string command = std::string(VORLATEK_HOST_PATH) + " edit " + VORLATEK_PLUGIN_PATH + " " + arguments;
    return std::system(command.c_str());
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(EditorX11Test, AClickOnBdMuteThroughTheHostIsInTheSavedState) {
    const std::string chunk = scratch("mute.xml");
    // "BD Mute" lies at (81, 80) with a size of 19 x 17.
    ASSERT_EQ(runHost("--seconds 1.2 --idle-hz 30 --click 90,88@0.5 --save-chunk " + chunk + " > /dev/null"), 0);
    const std::string state = fileText(chunk);
    EXPECT_NE(state.find("<param name=\"BD Mute\" value=\"1.000000\"/>"), std::string::npos);
    EXPECT_NE(state.find("<param name=\"SD Mute\" value=\"0.000000\"/>"), std::string::npos);
    std::remove(chunk.c_str());
}

TEST_F(EditorX11Test, TheRunningLightMovesAlongTheStepRowWhileAPatternPlays) {
    std::string shots;
    std::vector<std::string> files;
    for (int i = 0; i < 5; ++i) {
        files.push_back(scratch("shot" + std::to_string(i) + ".png"));
        shots += " --screenshot " + files.back() + "@" + std::to_string(0.6 + 0.19 * i);
    }
    ASSERT_EQ(runHost("--play --tempo 120 --idle-hz 60 --seconds 1.7" + shots + " > /dev/null"), 0);
    // The step row: y 497..539 of the panel.
    std::vector<std::vector<std::uint32_t>> rows;
    for (const std::string& file : files) {
        const std::string png = fileText(file);
        cairo_surface_t* image = toolkit::decodePng(reinterpret_cast<const unsigned char*>(png.data()), png.size());
        ASSERT_NE(image, nullptr) << file;
        const unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        std::vector<std::uint32_t> row;
        for (int y = 497; y < 539; ++y)
            for (int xPixel = 110; xPixel < 790; ++xPixel)
                row.push_back(*reinterpret_cast<const std::uint32_t*>(data + y * stride + 4 * xPixel));
        rows.push_back(row);
        cairo_surface_destroy(image);
        std::remove(file.c_str());
    }
    int different = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) different += rows[i] != rows[0];
    EXPECT_GE(different, 1) << "the step row looks the same in every screenshot";
}

}  // namespace
}  // namespace vorlatek
