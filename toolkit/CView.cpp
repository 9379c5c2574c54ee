#include "toolkit/CView.h"

#include "toolkit/CFrame.h"
#include "toolkit/CViewContainer.h"
#include "toolkit/DrawContext.h"

namespace vorlatek::toolkit {

CView::CView(const Rect& size) : rect_(size), mouseArea_(size) {}

CView::~CView() = default;

void CView::setRect(const Rect& r) {
    if (r == rect_) return;
    invalidate();
    rect_ = r;
    setDirty();
}

void CView::setMouseableArea(const Rect& area) {
    mouseArea_ = area;
    customMouseArea_ = true;
}

void CView::setTransparency(bool transparent) {
    if (transparent_ == transparent) return;
    transparent_ = transparent;
    setDirty();
}

void CView::setBackground(Ref<CBitmap> bitmap) {
    background_ = std::move(bitmap);
    setDirty();
}

CFrame* CView::frame() const {
    const CView* view = this;
    while (view->parent_) view = view->parent_;
    return const_cast<CView*>(view)->asFrame();
}

Point CView::parentOrigin() const {
    Point origin;
    for (const CView* p = parent_; p; p = p->parent_) origin = origin + p->rect_.topLeft();
    return origin;
}

Rect CView::frameRect() const { return rect_.offset(parentOrigin()); }

void CView::invalidate() {
    if (CFrame* f = frame()) f->invalidRect(frameRect());
}

void CView::draw(DrawContext& context) {
    if (background_) background_->draw(context, rect_, {}, transparent_ ? CBitmap::Mode::Transparent : CBitmap::Mode::Opaque);
}

CView* CView::hitTest(Point where) {
    return mouseEnabled_ && mouseableArea().contains(where) ? this : nullptr;
}

}  // namespace vorlatek::toolkit
