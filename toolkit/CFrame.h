#pragma once
// The editor window: the top container, the size of its background bitmap. It holds at most
// one modal view (drawn above everything; while it is shown, clicks elsewhere are ignored),
// the focus view that receives keys, the view following a mouse gesture, and an open popup.
// It paints into an image of its own at a scale factor and lets a PlatformWindow show it.
//
// Everything here runs on the thread that opened the editor, except postHostKey() and
// wantsKeyboard(), which any thread may call.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/CViewContainer.h"
#include "toolkit/Fonts.h"
#include "toolkit/PlatformWindow.h"

namespace vorlatek::toolkit {

enum class KnobMode { Circular, Linear };

class CFrame : public CViewContainer {
public:
    // `size` in logical pixels, normally (0, 0, background width, background height).
    explicit CFrame(const Rect& size);
    ~CFrame() override;

    // Scale from logical to window pixels: 1 by default; values outside 1..4 are clamped and
    // anything that is not a number counts as 1. Takes effect at the next open().
    void setScale(double scale);
    double scale() const { return scale_; }
    int windowWidth() const;
    int windowHeight() const;

    // Shows the frame through `window` (sized windowWidth() × windowHeight()); the frame owns
    // it until close(). Closing destroys the window and keeps the views.
    void open(std::unique_ptr<PlatformWindow> window);
    void close();
    bool isOpen() const { return window_ != nullptr; }
    PlatformWindow* window() const { return window_.get(); }

    // Handles window events and host keys, then paints what is dirty and shows it.
    void idle();
    // Repaints everything at the next idle.
    void invalidAll();
    void invalidRect(const Rect& frameRect);

    std::uint32_t ticks() const;
    KnobMode knobMode() const { return knobMode_; }
    void setKnobMode(KnobMode mode) { knobMode_ = mode; }
    // The buttons and modifiers of the latest mouse or key event.
    unsigned buttons() const { return buttons_; }

    // Shows `view` above everything (frame coordinates) and keeps a reference; null hides the
    // modal view. False when the view is attached anywhere.
    bool setModalView(Ref<CView> view);
    CView* modalView() const { return modal_.get(); }

    // The view that receives keys; the old one is told it lost the focus first.
    void setFocusView(CView* view);
    CView* focusView() const { return focus_.get(); }

    // A popup (frame coordinates) drawn above the modal view that sees every mouse event and
    // key until it is closed; a press outside it closes it and goes no further.
    // `owner` is the view that opened it; the popup closes when the owner leaves the frame.
    void openPopup(Ref<CView> popup, CView* owner);
    void closePopup();
    CView* popup() const { return popup_.get(); }
    CView* popupOwner() const { return popupOwner_.get(); }

    // The clipboard of the window system (nothing while closed).
    void setClipboardText(std::string_view text);
    void requestClipboardText(CView& requester);

    const Fonts& fonts() const { return fonts_; }
    // The frame's picture in window pixels (nullptr while closed).
    cairo_surface_t* image() const { return image_; }

    // Entry points for the platform window; positions in window pixels.
    void windowMouseDown(double x, double y, unsigned buttons);
    void windowMouseMoved(double x, double y, unsigned buttons);
    void windowMouseUp(double x, double y, unsigned buttons);
    void windowMouseWheel(double x, double y, float notches, unsigned buttons);
    bool windowKeyDown(const KeyEvent& key);
    void windowExposed(const Rect& windowRect);
    void clipboardTextArrived(std::string_view text);

    // Keys from the host (any thread): taken, and true, only while a view that edits text
    // has the focus; they are handled at the next idle.
    bool postHostKey(const KeyEvent& key);
    bool wantsKeyboard() const { return wantsKeyboard_.load(std::memory_order_acquire); }
    // A view that edits text says so when it starts and stops.
    void setWantsKeyboard(bool wants);

    // Called by a container before it lets `view` go.
    void viewDetaching(CView& view);

    void draw(DrawContext& context) override;
    CView* hitTest(Point where) override;
    CFrame* asFrame() override { return this; }

private:
    Point toLogical(double x, double y) const;
    MouseEvent eventFor(const CView& view, Point where, unsigned buttons, int clickCount = 1) const;
    bool contains(const CView& ancestor, const CView* view) const;
    void collectDirty(CView& view, const Rect& clip, Point origin);
    void paint();
    void drainHostKeys();
    void dropInteraction(CView& leaving);

    double scale_ = 1.0;
    std::unique_ptr<PlatformWindow> window_;
    cairo_surface_t* image_ = nullptr;
    Fonts fonts_;
    KnobMode knobMode_ = KnobMode::Linear;
    unsigned buttons_ = 0;

    Ref<CView> modal_;
    Ref<CView> popup_;
    Ref<CView> popupOwner_;
    Ref<CView> focus_;
    Ref<CView> capture_;
    Ref<CView> clipboardRequester_;

    std::vector<Rect> damage_;
    std::vector<CView*> painted_;

    std::uint32_t lastPressTime_ = 0;
    Point lastPressPoint_{-1000, -1000};
    int clickCount_ = 0;

    // Host keys: one producer (the host's thread), one consumer (idle).
    static constexpr unsigned kHostKeyCapacity = 64;
    KeyEvent hostKeys_[kHostKeyCapacity];
    std::atomic<unsigned> hostKeyHead_{0};
    std::atomic<unsigned> hostKeyTail_{0};
    std::atomic<bool> wantsKeyboard_{false};
};

}  // namespace vorlatek::toolkit
