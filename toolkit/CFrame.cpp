#include "toolkit/CFrame.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

#include "toolkit/DrawContext.h"

namespace vorlatek::toolkit {

namespace {

constexpr std::uint32_t kDoubleClickMs = 400;
constexpr int kDoubleClickDistance = 4;
// Above this many separate rectangles one covering rectangle paints faster.
constexpr int kMaxPaintRects = 16;

std::uint32_t steadyTicks() {
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

CFrame::CFrame(const Rect& size) : CViewContainer(size) {}

CFrame::~CFrame() {
    capture_.reset();
    focus_.reset();
    clipboardRequester_.reset();
    if (modal_) modal_->parent_ = nullptr;
    if (popup_) popup_->parent_ = nullptr;
    window_.reset();
    if (image_) cairo_surface_destroy(image_);
}

void CFrame::setScale(double scale) {
    if (!std::isfinite(scale)) scale = 1.0;
    scale_ = std::clamp(scale, 1.0, 4.0);
}

int CFrame::windowWidth() const { return int(std::ceil(std::max(width(), 0) * scale_)); }
int CFrame::windowHeight() const { return int(std::ceil(std::max(height(), 0) * scale_)); }

void CFrame::open(std::unique_ptr<PlatformWindow> window) {
    close();
    if (!window) return;
    window_ = std::move(window);
    image_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(windowWidth(), 1), std::max(windowHeight(), 1));
    invalidAll();
}

void CFrame::close() {
    if (capture_) {
        const Ref<CView> gesture = std::move(capture_);
        gesture->onMouseCancelled();
    }
    closePopup();
    setFocusView(nullptr);
    clipboardRequester_.reset();
    window_.reset();
    if (image_) cairo_surface_destroy(image_);
    image_ = nullptr;
    damage_.clear();
}

std::uint32_t CFrame::ticks() const { return window_ ? window_->ticks() : steadyTicks(); }

void CFrame::invalidAll() { invalidRect(rect()); }

void CFrame::invalidRect(const Rect& r) {
    const Rect clipped = r.intersect(rect());
    if (clipped.isEmpty() || !image_) return;
    // While nothing can be shown (a window that is gone) the list must not grow without end.
    if (damage_.size() >= 256) {
        Rect all = clipped;
        for (const Rect& d : damage_) all = all.unite(d);
        damage_.assign(1, all);
        return;
    }
    damage_.push_back(clipped);
}

// ---- views in the frame ---------------------------------------------------------------

bool CFrame::contains(const CView& ancestor, const CView* view) const {
    for (; view; view = view->parent_)
        if (view == &ancestor) return true;
    return false;
}

bool CFrame::setModalView(Ref<CView> view) {
    if (view == modal_) return true;
    if (view && (view->parent_ || view->asFrame())) return false;
    if (modal_) {
        dropInteraction(*modal_);
        invalidRect(modal_->frameRect());
        modal_->parent_ = nullptr;
        modal_.reset();
    }
    if (view) {
        view->parent_ = this;
        view->setDirty();
        modal_ = std::move(view);
    }
    return true;
}

void CFrame::setFocusView(CView* view) {
    if (focus_.get() == view) return;
    const Ref<CView> old = std::move(focus_);
    focus_ = view;
    if (old) old->onFocusLost();
    if (view && focus_.get() == view) view->onFocusGained();
}

void CFrame::openPopup(Ref<CView> popup, CView* owner) {
    closePopup();
    if (!popup || popup->parent_) return;
    popup->parent_ = this;
    popup->setDirty();
    popup_ = std::move(popup);
    popupOwner_ = owner;
    if (owner) owner->setDirty();
}

void CFrame::closePopup() {
    if (!popup_) return;
    const Ref<CView> popup = std::move(popup_);
    const Ref<CView> owner = std::move(popupOwner_);
    if (capture_ == popup) capture_.reset();
    invalidRect(popup->frameRect());
    popup->parent_ = nullptr;
    if (owner) owner->setDirty();
}

void CFrame::dropInteraction(CView& leaving) {
    if (capture_ && contains(leaving, capture_.get())) {
        const Ref<CView> gesture = std::move(capture_);
        gesture->onMouseCancelled();
    }
    if (focus_ && contains(leaving, focus_.get())) setFocusView(nullptr);
    if (popupOwner_ && contains(leaving, popupOwner_.get())) closePopup();
    if (clipboardRequester_ && contains(leaving, clipboardRequester_.get())) clipboardRequester_.reset();
}

void CFrame::viewDetaching(CView& view) {
    dropInteraction(view);
    invalidRect(view.frameRect());
}

// ---- drawing ---------------------------------------------------------------------------

void CFrame::draw(DrawContext& context) {
    if (!background() || background()->width() < width() || background()->height() < height())
        context.fillRect(rect(), kBlack);
    CViewContainer::draw(context);
    if (modal_ && context.isVisible(modal_->rect())) modal_->draw(context);
    if (popup_ && context.isVisible(popup_->rect())) popup_->draw(context);
}

CView* CFrame::hitTest(Point where) {
    if (modal_) return modal_->hitTest(where);
    return CViewContainer::hitTest(where);
}

void CFrame::collectDirty(CView& view, const Rect& clip, Point origin) {
    const Rect area = view.rect_.offset(origin);
    if (view.isDirty()) {
        painted_.push_back(&view);
        const Rect visible = area.intersect(clip);
        if (!visible.isEmpty()) damage_.push_back(visible);
    }
    if (CViewContainer* container = view.asContainer()) {
        const Rect inner = clip.intersect(area);
        const Point childOrigin = origin + view.rect_.topLeft();
        for (const Ref<CView>& child : container->children()) collectDirty(*child, inner, childOrigin);
    }
}

void CFrame::paint() {
    painted_.clear();
    collectDirty(*this, rect(), {});
    if (modal_) collectDirty(*modal_, rect(), {});
    if (popup_) collectDirty(*popup_, rect(), {});
    if (damage_.empty()) {
        for (CView* view : painted_) view->markDrawn();
        return;
    }

    cairo_region_t* region = cairo_region_create();
    const cairo_rectangle_int_t bounds{0, 0, windowWidth(), windowHeight()};
    for (const Rect& r : damage_) {
        const int left = int(std::floor(r.left * scale_));
        const int top = int(std::floor(r.top * scale_));
        const cairo_rectangle_int_t device{left, top, int(std::ceil(r.right * scale_)) - left,
                                           int(std::ceil(r.bottom * scale_)) - top};
        cairo_region_union_rectangle(region, &device);
    }
    cairo_region_intersect_rectangle(region, &bounds);
    damage_.clear();
    int count = cairo_region_num_rectangles(region);
    if (count > kMaxPaintRects) {
        cairo_rectangle_int_t extents;
        cairo_region_get_extents(region, &extents);
        cairo_region_destroy(region);
        region = cairo_region_create_rectangle(&extents);
        count = 1;
    }

    std::vector<Rect> windowRects;
    windowRects.reserve(std::size_t(count));
    cairo_t* cr = cairo_create(image_);
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t d;
        cairo_region_get_rectangle(region, i, &d);
        windowRects.push_back(Rect::fromSize(d.x, d.y, d.width, d.height));
        const Rect logical{int(std::floor(d.x / scale_)), int(std::floor(d.y / scale_)),
                           int(std::ceil((d.x + d.width) / scale_)), int(std::ceil((d.y + d.height) / scale_))};
        cairo_save(cr);
        cairo_rectangle(cr, d.x, d.y, d.width, d.height);
        cairo_clip(cr);
        cairo_scale(cr, scale_, scale_);
        DrawContext context(cr, fonts_, scale_, logical);
        draw(context);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    cairo_region_destroy(region);
    cairo_surface_flush(image_);
    for (CView* view : painted_) view->markDrawn();
    painted_.clear();
    window_->present(image_, windowRects.data(), int(windowRects.size()));
}

void CFrame::idle() {
    if (!window_) return;
    window_->processEvents(*this);
    drainHostKeys();
    if (window_ && window_->readyToPresent(ticks())) paint();
}

// ---- events ----------------------------------------------------------------------------

Point CFrame::toLogical(double x, double y) const {
    return {int(std::floor(x / scale_)), int(std::floor(y / scale_))};
}

MouseEvent CFrame::eventFor(const CView& view, Point where, unsigned buttons, int clickCount) const {
    return MouseEvent{where - view.parentOrigin(), buttons, clickCount};
}

void CFrame::windowMouseDown(double x, double y, unsigned buttons) {
    buttons_ = buttons;
    const Point where = toLogical(x, y);
    const std::uint32_t now = ticks();
    const bool repeated = now - lastPressTime_ <= kDoubleClickMs &&
                          std::abs(where.x - lastPressPoint_.x) <= kDoubleClickDistance &&
                          std::abs(where.y - lastPressPoint_.y) <= kDoubleClickDistance;
    clickCount_ = repeated ? clickCount_ + 1 : 1;
    lastPressTime_ = now;
    lastPressPoint_ = where;
    if (capture_) return;  // another button during a gesture

    if (popup_) {
        const Ref<CView> popup = popup_;
        if (!popup->rect().contains(where)) {
            closePopup();
        } else if (popup->onMouseDown(eventFor(*popup, where, buttons, clickCount_)) == MouseResult::Captured &&
                   popup_ == popup) {
            capture_ = popup;
        }
        return;
    }

    const Ref<CView> target = hitTest(where);
    if (focus_ && focus_ != target) setFocusView(nullptr);
    if (!target || target->frame() != this) return;
    if (target->onMouseDown(eventFor(*target, where, buttons, clickCount_)) == MouseResult::Captured &&
        target->frame() == this)
        capture_ = target;
}

void CFrame::windowMouseMoved(double x, double y, unsigned buttons) {
    buttons_ = buttons;
    const Point where = toLogical(x, y);
    if (capture_) {
        const Ref<CView> gesture = capture_;
        gesture->onMouseMoved(eventFor(*gesture, where, buttons));
    } else if (popup_) {
        const Ref<CView> popup = popup_;
        popup->onMouseMoved(eventFor(*popup, where, buttons));
    }
}

void CFrame::windowMouseUp(double x, double y, unsigned buttons) {
    buttons_ = buttons;
    const Point where = toLogical(x, y);
    if (capture_) {
        const Ref<CView> gesture = std::move(capture_);
        gesture->onMouseUp(eventFor(*gesture, where, buttons));
    } else if (popup_) {
        const Ref<CView> popup = popup_;
        popup->onMouseUp(eventFor(*popup, where, buttons));
    }
}

void CFrame::windowMouseWheel(double x, double y, float notches, unsigned buttons) {
    buttons_ = buttons;
    const Point where = toLogical(x, y);
    if (capture_ || !std::isfinite(notches)) return;
    Ref<CView> target = popup_ ? popup_ : Ref<CView>(hitTest(where));
    if (target) target->onMouseWheel(eventFor(*target, where, buttons), notches);
}

bool CFrame::windowKeyDown(const KeyEvent& key) {
    buttons_ = (buttons_ & kMouseButtons) | (key.modifiers & kModifierKeys);
    if (popup_) {
        const Ref<CView> popup = popup_;
        return popup->onKeyDown(key);
    }
    if (focus_) {
        const Ref<CView> focus = focus_;
        return focus->onKeyDown(key);
    }
    return false;
}

void CFrame::windowExposed(const Rect& r) {
    invalidRect({int(std::floor(r.left / scale_)), int(std::floor(r.top / scale_)), int(std::ceil(r.right / scale_)),
                 int(std::ceil(r.bottom / scale_))});
}

// ---- clipboard and keyboard ------------------------------------------------------------

void CFrame::setClipboardText(std::string_view text) {
    if (window_) window_->setClipboardText(text);
}

void CFrame::requestClipboardText(CView& requester) {
    if (!window_) return;
    clipboardRequester_ = &requester;
    window_->requestClipboardText();
}

void CFrame::clipboardTextArrived(std::string_view text) {
    const Ref<CView> requester = std::move(clipboardRequester_);
    if (requester && requester->frame() == this) requester->onClipboardText(text);
}

void CFrame::setWantsKeyboard(bool wants) {
    wantsKeyboard_.store(wants, std::memory_order_release);
    if (window_) window_->setKeyboardFocus(wants);
}

bool CFrame::postHostKey(const KeyEvent& key) {
    if (!wantsKeyboard()) return false;
    const unsigned tail = hostKeyTail_.load(std::memory_order_relaxed);
    if (tail - hostKeyHead_.load(std::memory_order_acquire) < kHostKeyCapacity) {
        hostKeys_[tail % kHostKeyCapacity] = key;
        hostKeyTail_.store(tail + 1, std::memory_order_release);
    }
    return true;
}

void CFrame::drainHostKeys() {
    unsigned head = hostKeyHead_.load(std::memory_order_relaxed);
    while (head != hostKeyTail_.load(std::memory_order_acquire)) {
        const KeyEvent key = hostKeys_[head % kHostKeyCapacity];
        hostKeyHead_.store(++head, std::memory_order_release);
        windowKeyDown(key);
    }
}

}  // namespace vorlatek::toolkit
