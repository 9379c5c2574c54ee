#pragma once
// A window without a window system: the frame paints into its image as usual, time stands
// still until advanced, events are injected by the caller (in window pixels, as a real
// window would deliver them), and the picture can be read back or written as a PNG. Every
// toolkit and editor test runs on it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Color.h"
#include "toolkit/Events.h"
#include "toolkit/PlatformWindow.h"

namespace vorlatek::toolkit {

class HeadlessWindow : public PlatformWindow {
public:
    explicit HeadlessWindow(std::uint32_t startTicks = 1000) : ticks_(startTicks) {}

    // Opens `frame` on a new headless window and returns the window (owned by the frame).
    static HeadlessWindow& openOn(CFrame& frame, std::uint32_t startTicks = 1000);

    void advance(std::uint32_t milliseconds) { ticks_ += milliseconds; }
    void setTicks(std::uint32_t ticks) { ticks_ = ticks; }

    // Mouse and keys, delivered at once (window pixels).
    void press(double x, double y, unsigned buttons = 1);
    void move(double x, double y, unsigned buttons = 1);
    void release(double x, double y, unsigned buttons = 0);
    // Press and release at one point.
    void click(double x, double y, unsigned buttons = 1);
    void wheel(double x, double y, float notches, unsigned buttons = 0);
    bool key(VirtualKey key, unsigned modifiers = 0);
    bool type(char32_t character, unsigned modifiers = 0);
    // Types every code point of a UTF-8 text.
    void typeText(const std::string& text);

    // The pixel at window coordinates of the last painted picture (opaque black outside).
    Color pixel(int x, int y) const;
    bool writePng(const std::string& path) const;
    // Window rectangles shown by the last present.
    const std::vector<Rect>& lastPresented() const { return presented_; }
    int presentCount() const { return presentCount_; }

    const std::string& clipboard() const { return clipboard_; }
    void setClipboard(std::string text) { clipboard_ = std::move(text); }
    bool keyboardFocused() const { return keyboardFocus_; }

    std::uint32_t ticks() override { return ticks_; }
    void processEvents(CFrame& frame) override;
    bool readyToPresent(std::uint32_t) override { return true; }
    void present(cairo_surface_t* image, const Rect* rects, int count) override;
    void setClipboardText(std::string_view text) override { clipboard_ = std::string(text); }
    void requestClipboardText() override { clipboardRequested_ = true; }
    void setKeyboardFocus(bool textField) override { keyboardFocus_ = textField; }

private:
    CFrame* frame_ = nullptr;
    std::uint32_t ticks_;
    cairo_surface_t* image_ = nullptr;
    std::vector<Rect> presented_;
    int presentCount_ = 0;
    std::string clipboard_;
    bool clipboardRequested_ = false;
    bool keyboardFocus_ = false;
};

}  // namespace vorlatek::toolkit
