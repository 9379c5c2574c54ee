#pragma once
// A view holding child views, drawn in attach order (later children on top) over the
// container's background bitmap. Children can be attached and detached at any time;
// detaching drops only the container's reference, so a view someone else holds survives it
// with its own children and values. A container that goes away releases its children.

#include <vector>

#include "toolkit/CView.h"

namespace vorlatek::toolkit {

class CViewContainer : public CView {
public:
    explicit CViewContainer(const Rect& size);
    ~CViewContainer() override;

    // False (and nothing changes) for a null view, one attached anywhere already, the
    // container itself or one of its ancestors.
    bool attach(Ref<CView> view);
    // False when `view` is not a child of this container.
    bool detach(CView* view);
    void detachAll();
    bool isChild(const CView* view) const;
    const std::vector<Ref<CView>>& children() const { return children_; }

    void draw(DrawContext& context) override;
    CView* hitTest(Point where) override;
    CViewContainer* asContainer() override { return this; }

    // Calls `visit` for this view and every view below it, parents before children.
    template <class Visit>
    void forEachView(Visit&& visit) {
        visit(static_cast<CView&>(*this));
        for (const Ref<CView>& child : children_) {
            if (CViewContainer* c = child->asContainer())
                c->forEachView(visit);
            else
                visit(*child);
        }
    }

protected:
    void drawBackground(DrawContext& context);
    void drawChildren(DrawContext& context);

private:
    std::vector<Ref<CView>> children_;
};

}  // namespace vorlatek::toolkit
