#pragma once
// The editor's window on X11: one child window directly under the window the host gives,
// on an xcb connection of its own that lives from open to close (no shared X state, no
// global error handler: X errors are read and dropped). Events are read only when the frame
// idles. The frame's picture is uploaded rectangle by rectangle through MIT-SHM when the
// server shares memory with us, else with plain put-image requests, at most every 16 ms.
// If the host destroys its window first, the child goes with it and everything after is
// harmless.

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/PlatformWindow.h"
#include "toolkit/X11Keyboard.h"

namespace vorlatek::toolkit {

class X11Window : public PlatformWindow {
public:
    static constexpr std::uint32_t kPresentInterval = 16;

    // How pixels reach the server: shared memory when it can be had, or always plain requests.
    enum class Upload { Auto, PutImage };

    // A window of width × height window pixels under `parent` on the display named by
    // $DISPLAY; nullptr when the display cannot be reached or the parent is no window.
    static std::unique_ptr<X11Window> open(std::uint32_t parent, int width, int height, Upload upload = Upload::Auto);
    ~X11Window() override;

    // The scale the desktop asks for (Xft.dpi), read over a short connection of its own.
    static double desktopScale();

    std::uint32_t windowId() const { return window_; }
    bool usesSharedMemory() const { return shmData_ != nullptr; }
    // The host's window (and with it ours) has been destroyed.
    bool parentDestroyed() const { return parentDestroyed_; }

    std::uint32_t ticks() override;
    void processEvents(CFrame& frame) override;
    bool readyToPresent(std::uint32_t now) override;
    void present(cairo_surface_t* image, const Rect* rects, int count) override;
    void setClipboardText(std::string_view text) override;
    void requestClipboardText() override;
    void setKeyboardFocus(bool textField) override;

private:
    X11Window() = default;
    bool create(std::uint32_t parent, int width, int height, Upload upload);
    bool setUpSharedMemory();
    void releaseSharedMemory();
    void putRect(const unsigned char* pixels, int stride, const Rect& r);
    void handle(CFrame& frame, xcb_generic_event_t* event);
    void answerSelectionRequest(const xcb_selection_request_event_t& request);
    void readSelection(CFrame& frame, const xcb_selection_notify_event_t& notify);
    bool usable() const;

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = 0;
    xcb_window_t parent_ = 0;
    xcb_gcontext_t gc_ = 0;
    xcb_colormap_t colormap_ = 0;
    bool ownColormap_ = false;
    std::uint8_t depth_ = 24;
    int width_ = 0;
    int height_ = 0;
    bool parentDestroyed_ = false;
    std::uint32_t maxRequestBytes_ = 0;

    // Shared memory: a buffer the size of the window; one upload in flight at a time.
    std::uint8_t shmCompletionEvent_ = 0;
    std::uint32_t shmSegment_ = 0;
    int shmId_ = -1;
    unsigned char* shmData_ = nullptr;
    bool uploadPending_ = false;
    std::uint32_t lastPresent_ = 0;
    bool presentedOnce_ = false;

    X11Keyboard keyboard_;

    // Clipboard.
    xcb_atom_t clipboardAtom_ = 0;
    xcb_atom_t utf8Atom_ = 0;
    xcb_atom_t targetsAtom_ = 0;
    xcb_atom_t textAtom_ = 0;
    xcb_atom_t transferAtom_ = 0;
    xcb_atom_t incrAtom_ = 0;
    std::string clipboardText_;
    bool ownsClipboard_ = false;
    bool ownTextRequested_ = false;
    bool askedForString_ = false;
    xcb_timestamp_t lastEventTime_ = XCB_CURRENT_TIME;
};

}  // namespace vorlatek::toolkit
