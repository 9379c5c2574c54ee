#pragma once
// What the frame needs from a window system: a clock, a way to show the pixels it painted,
// the window's events, the clipboard and the keyboard focus. X11Window is the real one;
// HeadlessWindow draws nowhere but into the frame's image and takes synthetic events.

#include <cairo.h>

#include <cstdint>
#include <string_view>

#include "toolkit/Geometry.h"

namespace vorlatek::toolkit {

class CFrame;

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Milliseconds of a monotonic clock (wrapping at 2^32).
    virtual std::uint32_t ticks() = 0;
    // Hands every event that arrived since the last call to the frame's window* entry points.
    virtual void processEvents(CFrame& frame) = 0;
    // Whether painted pixels may be shown now (the window paces its uploads).
    virtual bool readyToPresent(std::uint32_t now) = 0;
    // Shows the rectangles (window pixels) of `image`, the frame's whole picture.
    virtual void present(cairo_surface_t* image, const Rect* rects, int count) = 0;
    virtual void setClipboardText(std::string_view text) = 0;
    // Asks for the clipboard's text; it arrives later through CFrame::clipboardTextArrived.
    virtual void requestClipboardText() = 0;
    // A text field took (true) or gave back (false) the keyboard.
    virtual void setKeyboardFocus(bool textField) = 0;
};

}  // namespace vorlatek::toolkit
