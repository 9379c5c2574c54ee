#pragma once
// The base of everything on screen: a rectangle relative to the parent, the area that takes
// clicks (by default the rectangle itself), flags for mouse, transparency and dirtiness, and
// an optional background bitmap. Views are reference-counted (Ref.h): whoever holds a Ref
// keeps the view alive, and a container holds one for each child.

#include "toolkit/CBitmap.h"
#include "toolkit/Events.h"
#include "toolkit/Geometry.h"
#include "toolkit/Ref.h"

namespace vorlatek::toolkit {

class CFrame;
class CViewContainer;
class DrawContext;

class CView : public ReferenceCounted {
public:
    explicit CView(const Rect& size);
    ~CView() override;

    const Rect& rect() const { return rect_; }
    int width() const { return rect_.width(); }
    int height() const { return rect_.height(); }
    // Moves or resizes the view; the mouseable area follows unless one was set.
    void setRect(const Rect& r);

    Rect mouseableArea() const { return customMouseArea_ ? mouseArea_ : rect_; }
    void setMouseableArea(const Rect& area);

    bool mouseEnabled() const { return mouseEnabled_; }
    void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }

    bool transparent() const { return transparent_; }
    void setTransparency(bool transparent);

    // A dirty view is repainted at the frame's next idle.
    virtual bool isDirty() const { return dirty_; }
    virtual void setDirty(bool dirty = true) { dirty_ = dirty; }
    // Called once the view has been painted as it now is.
    virtual void markDrawn() { dirty_ = false; }

    CBitmap* background() const { return background_.get(); }
    void setBackground(Ref<CBitmap> bitmap);

    CViewContainer* parent() const { return parent_; }
    // The frame the view is shown in, or nullptr while it is not attached to one.
    CFrame* frame() const;
    // The view's rectangle in frame coordinates.
    Rect frameRect() const;
    // Frame coordinates of the parent's top-left corner (the origin of rect()).
    Point parentOrigin() const;

    virtual void draw(DrawContext& context);

    // The deepest view under `where` (parent coordinates) that takes clicks, or nullptr.
    virtual CView* hitTest(Point where);

    virtual MouseResult onMouseDown(const MouseEvent&) { return MouseResult::Ignored; }
    // Only a view that captured the press receives these.
    virtual void onMouseMoved(const MouseEvent&) {}
    virtual void onMouseUp(const MouseEvent&) {}
    // The gesture ends without a release (the view was detached, the frame closed).
    virtual void onMouseCancelled() {}
    // One wheel notch is ±1; true when used.
    virtual bool onMouseWheel(const MouseEvent&, float) { return false; }
    // Keys reach the focus view only.
    virtual bool onKeyDown(const KeyEvent&) { return false; }
    virtual void onFocusGained() {}
    virtual void onFocusLost() {}
    // Text the clipboard delivered after this view asked the frame for it.
    virtual void onClipboardText(std::string_view) {}

    virtual CFrame* asFrame() { return nullptr; }
    virtual CViewContainer* asContainer() { return nullptr; }

protected:
    // Asks the frame to repaint the view's area now covered, when the view is shown.
    void invalidate();

private:
    friend class CViewContainer;
    friend class CFrame;

    Rect rect_;
    Rect mouseArea_;
    bool customMouseArea_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
    bool dirty_ = true;
    Ref<CBitmap> background_;
    CViewContainer* parent_ = nullptr;
};

}  // namespace vorlatek::toolkit
