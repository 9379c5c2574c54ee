#include "toolkit/CViewContainer.h"

#include <algorithm>

#include "toolkit/CFrame.h"
#include "toolkit/DrawContext.h"

namespace vorlatek::toolkit {

CViewContainer::CViewContainer(const Rect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    for (const Ref<CView>& child : children_) child->parent_ = nullptr;
}

bool CViewContainer::attach(Ref<CView> view) {
    if (!view || view->parent_ || view->asFrame()) return false;
    for (const CView* ancestor = this; ancestor; ancestor = ancestor->parent_)
        if (ancestor == view.get()) return false;
    view->parent_ = this;
    view->setDirty();
    children_.push_back(std::move(view));
    return true;
}

bool CViewContainer::detach(CView* view) {
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [view](const Ref<CView>& child) { return child.get() == view; });
    if (!view || found == children_.end()) return false;
    const Ref<CView> keep = *found;  // alive until the frame has let go of it
    if (CFrame* f = frame()) f->viewDetaching(*view);
    children_.erase(found);
    view->parent_ = nullptr;
    return true;
}

void CViewContainer::detachAll() {
    while (!children_.empty()) detach(children_.back().get());
}

bool CViewContainer::isChild(const CView* view) const {
    return view && view->parent() == this;
}

void CViewContainer::drawBackground(DrawContext& context) { CView::draw(context); }

void CViewContainer::drawChildren(DrawContext& context) {
    DrawContext::Scope scope(context, rect().topLeft(), rect());
    for (const Ref<CView>& child : children_)
        if (context.isVisible(child->rect())) child->draw(context);
}

void CViewContainer::draw(DrawContext& context) {
    drawBackground(context);
    drawChildren(context);
}

CView* CViewContainer::hitTest(Point where) {
    if (!mouseEnabled() || !mouseableArea().contains(where)) return nullptr;
    const Point local = where - rect().topLeft();
    for (auto child = children_.rbegin(); child != children_.rend(); ++child)
        if (CView* hit = (*child)->hitTest(local)) return hit;
    return this;
}

}  // namespace vorlatek::toolkit
