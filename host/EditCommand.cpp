// `edit`: opens the plug-in's editor the way a Linux host does: a top-level X11 window of
// the size effEditGetRect gives, handed to effEditOpen, idled from the main thread at a
// steady rate while a second thread processes audio (with the transport playing when asked).
// Clicks arrive through XTest at the times given; screenshots read the window back from the
// X server. The plug-in is closed as a host closes it, and its chunk saved when asked.

#include "host/Commands.h"
#include "host/FileIo.h"
#include "host/HostError.h"
#include "host/OutputFile.h"
#include "host/PluginInstance.h"

#include <cairo.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace vorlatek::host {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kControlL = 0xffe3, kShiftL = 0xffe1, kAltL = 0xffe9;

// One X connection and the top-level window the editor lives in.
class HostWindow {
public:
    HostWindow(int width, int height) : width_(width), height_(height) {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            xcb_disconnect(connection_);
            throw HostError("cannot connect to the X display (is DISPLAY set? try xvfb-run)");
        }
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        window_ = xcb_generate_id(connection_);
        const std::uint32_t values[2] = {screen_->black_pixel,
                                         XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen_->root, 0, 0, std::uint16_t(width),
                          std::uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        static const char kTitle[] = "vorlatek-host edit";
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            sizeof kTitle - 1, kTitle);
        xcb_map_window(connection_, window_);
        xcb_flush(connection_);
        waitUntilMapped();
    }
    ~HostWindow() {
        xcb_destroy_window(connection_, window_);
        xcb_disconnect(connection_);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    xcb_window_t id() const { return window_; }

    // Reads and drops what arrived for the host's own window.
    void drainEvents() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
    }

    // A left click at (x, y) in window pixels, through the XTest extension, with a modifier key held.
    void click(int x, int y, std::uint32_t modifierKeysym, const std::function<void()>& between) {
        xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window_, screen_->root, std::int16_t(x), std::int16_t(y)),
            nullptr);
        if (!at) throw HostError("cannot place a click in the editor window");
        const std::int16_t rootX = at->dst_x, rootY = at->dst_y;
        std::free(at);
        const std::uint8_t key = modifierKeysym ? keycodeOf(modifierKeysym) : 0;
        fake(XCB_MOTION_NOTIFY, 0, rootX, rootY);
        if (key) fake(XCB_KEY_PRESS, key, rootX, rootY);
        fake(XCB_BUTTON_PRESS, 1, rootX, rootY);
        xcb_flush(connection_);
        between();
        fake(XCB_BUTTON_RELEASE, 1, rootX, rootY);
        if (key) fake(XCB_KEY_RELEASE, key, rootX, rootY);
        xcb_flush(connection_);
    }

    // The window's picture as the X server shows it, editor included, as a PNG file.
    void screenshot(const std::string& path) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, 0, 0, std::uint16_t(width_),
                          std::uint16_t(height_), ~0u),
            nullptr);
        if (!image) throw HostError("cannot read the editor window back from the X server (it must lie wholly on the screen)");
        const int length = xcb_get_image_data_length(image);
        const std::uint8_t* data = xcb_get_image_data(image);
        const int stride = height_ > 0 ? length / height_ : 0;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
        const bool fits = image->depth >= 24 && stride >= width_ * 4;
        if (fits) {
            cairo_surface_flush(surface);
            unsigned char* pixels = cairo_image_surface_get_data(surface);
            const int outStride = cairo_image_surface_get_stride(surface);
            for (int row = 0; row < height_; ++row)
                std::memcpy(pixels + std::size_t(row) * outStride, data + std::size_t(row) * stride, std::size_t(width_) * 4);
            cairo_surface_mark_dirty(surface);
        }
        std::free(image);
        if (!fits) {
            cairo_surface_destroy(surface);
            throw HostError("the editor window has a pixel format the screenshot cannot read");
        }
        OutputFile file(path);
        const auto write = [](void* closure, const unsigned char* data, unsigned int length) {
            try {
                static_cast<OutputFile*>(closure)->write(data, length);
                return CAIRO_STATUS_SUCCESS;
            } catch (const HostError&) {
                return CAIRO_STATUS_WRITE_ERROR;
            }
        };
        const cairo_status_t status = cairo_surface_write_to_png_stream(surface, write, &file);
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS) throw HostError("cannot write the screenshot " + path);
        file.commit();
    }

private:
    void waitUntilMapped() {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                std::free(event);
                if (mapped) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::uint8_t keycodeOf(std::uint32_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, std::uint8_t(count)), nullptr);
        if (!map) return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int per = map->keysyms_per_keycode;
        std::uint8_t found = 0;
        for (int k = 0; k < count && !found; ++k)
            for (int s = 0; s < per; ++s)
                if (syms[k * per + s] == keysym) found = std::uint8_t(setup->min_keycode + k);
        std::free(map);
        return found;
    }

    void fake(std::uint8_t type, std::uint8_t detail, std::int16_t x, std::int16_t y) {
        xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, screen_->root, x, y, 0);
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_window_t window_ = 0;
    int width_;
    int height_;
};

// Processes blocks in real time on a thread of its own, with the transport playing or not.
class AudioThread {
public:
    AudioThread(PluginInstance& plugin, const EditOptions& o) : plugin_(plugin), options_(o) {
        thread_ = std::thread([this] { run(); });
    }
    ~AudioThread() { stop(); }
    void stop() {
        running_.store(false);
        if (thread_.joinable()) thread_.join();
    }

private:
    void run() {
        const int pins = std::max(plugin_.effect().numOutputs, 0);
        const int inputs = std::max(plugin_.effect().numInputs, 0);
        const int frames = options_.blockSize;
        const auto length = static_cast<std::size_t>(frames);
        std::vector<std::vector<float>> out(static_cast<std::size_t>(pins), std::vector<float>(length));
        std::vector<std::vector<float>> in(static_cast<std::size_t>(inputs), std::vector<float>(length));
        std::vector<float*> outPtr, inPtr;
        for (auto& b : out) outPtr.push_back(b.data());
        for (auto& b : in) inPtr.push_back(b.data());
        vst::VstTimeInfo& time = plugin_.hostState().timeInfo;
        const double rate = options_.sampleRate;
        const auto blockTime = std::chrono::duration<double>(frames / rate);
        auto next = Clock::now();
        while (running_.load()) {
            time.sampleRate = rate;
            time.tempo = options_.tempo;
            time.timeSigNumerator = 4;
            time.timeSigDenominator = 4;
            time.flags = vst::kVstTempoValid | vst::kVstPpqPosValid | vst::kVstTimeSigValid |
                         (options_.play ? vst::kVstTransportPlaying : 0);
            for (auto& b : out) std::fill(b.begin(), b.end(), 0.0f);
            plugin_.process(inPtr.data(), outPtr.data(), frames);
            if (options_.play) {
                time.samplePos += frames;
                time.ppqPos = time.samplePos / rate * options_.tempo / 60.0;
            }
            next += std::chrono::duration_cast<Clock::duration>(blockTime);
            std::this_thread::sleep_until(next);
        }
    }

    PluginInstance& plugin_;
    const EditOptions& options_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

std::uint32_t keysymOf(ClickSpec::Modifier m) {
    return m == ClickSpec::Control ? kControlL : m == ClickSpec::Shift ? kShiftL : m == ClickSpec::Alt ? kAltL : 0;
}

}  // namespace

void runEdit(const EditOptions& o, std::FILE* out) {
    std::vector<char> chunk;
    if (o.chunkFile) chunk = readWholeFile(*o.chunkFile, kMaxChunkBytes);

    PluginInstance plugin(o.plugin);
    if (!plugin.hasFlag(vst::effFlagsHasEditor)) throw HostError("the plug-in has no editor");
    HostState& host = plugin.hostState();
    host.sampleRate = o.sampleRate;
    host.blockSize = o.blockSize;
    plugin.open();
    plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(host.sampleRate));
    plugin.dispatch(vst::effSetBlockSize, 0, host.blockSize);
    if (o.chunkFile) plugin.setChunk(chunk, false);
    if (o.program) {
        if (*o.program >= plugin.effect().numPrograms) throw HostError("bad program number: the plug-in has fewer programs");
        plugin.dispatch(vst::effSetProgram, 0, *o.program);
    }
    plugin.resume();

    vst::ERect* rect = nullptr;
    plugin.dispatch(vst::effEditGetRect, 0, 0, &rect);
    if (!rect || rect->right - rect->left <= 0 || rect->bottom - rect->top <= 0 || rect->right - rect->left > 8192 ||
        rect->bottom - rect->top > 8192)
        throw HostError("the plug-in gave no usable editor size");
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;

    HostWindow window(width, height);
    AudioThread audio(plugin, o);
    plugin.dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(window.id())));

    std::vector<ClickSpec> clicks = o.clicks;
    std::stable_sort(clicks.begin(), clicks.end(), [](const ClickSpec& a, const ClickSpec& b) { return a.at < b.at; });
    std::vector<ScreenshotSpec> timed, atEnd;
    for (const ScreenshotSpec& s : o.screenshots) (s.at ? timed : atEnd).push_back(s);
    std::stable_sort(timed.begin(), timed.end(), [](const ScreenshotSpec& a, const ScreenshotSpec& b) { return *a.at < *b.at; });

    const auto idle = [&] {
        window.drainEvents();
        plugin.dispatch(vst::effEditIdle);
    };
    const auto start = Clock::now();
    const auto period = std::chrono::duration<double>(1.0 / o.idleHz);
    auto next = start;
    std::size_t click = 0, shot = 0;
    while (true) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (elapsed >= o.seconds) break;
        idle();
        for (; click < clicks.size() && clicks[click].at <= elapsed; ++click)
            window.click(clicks[click].x, clicks[click].y, keysymOf(clicks[click].modifier), idle);
        for (; shot < timed.size() && *timed[shot].at <= elapsed; ++shot) window.screenshot(timed[shot].file);
        next += std::chrono::duration_cast<Clock::duration>(period);
        std::this_thread::sleep_until(next);
    }
    idle();
    for (const ScreenshotSpec& s : atEnd) window.screenshot(s.file);
    plugin.dispatch(vst::effEditClose);
    audio.stop();
    plugin.suspend();
    std::vector<char> saved;
    if (o.saveChunk) saved = plugin.getChunk(false);
    plugin.close();
    if (o.saveChunk) {
        writeWholeFile(*o.saveChunk, saved);
        std::fprintf(out, "wrote %s: %zu bytes (bank chunk)\n", o.saveChunk->c_str(), saved.size());
    }
    std::fprintf(out, "edited for %.2f s at %d idle calls per second: %zu clicks, %zu screenshots\n", o.seconds,
                 o.idleHz, clicks.size(), o.screenshots.size());
}

}  // namespace vorlatek::host
