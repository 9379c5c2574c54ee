#include "toolkit/CMenuPopup.h"

#include <algorithm>
#include <cmath>

#include "toolkit/CFrame.h"
#include "toolkit/DrawContext.h"
#include "toolkit/Utf8.h"

namespace vorlatek::toolkit {

namespace {

constexpr int kRowPadding = 6;
constexpr int kTextPadding = 8;
constexpr Color kListColor{34, 34, 38, 255};
constexpr Color kBorderColor{110, 110, 118, 255};
constexpr Color kTextColor{230, 230, 230, 255};
constexpr Color kHighlightColor{200, 64, 48, 255};

}  // namespace

CMenuPopup::CMenuPopup(COptionMenu& menu)
    : CView({}), menu_(&menu), rowHeight_(int(std::ceil(Fonts::pixelSize(menu.font()))) + kRowPadding) {
    const CFrame* f = menu.frame();
    const Rect window = f ? f->rect() : Rect{};
    const int count = menu.entryCount();
    int textWidth = 0;
    if (f)
        for (int i = 0; i < count; ++i)
            textWidth = std::max(textWidth, int(std::ceil(f->fonts().textWidth(utf8::sanitize(menu.entry(i)), menu.font()))));
    const int width = std::min(std::max(menu.width(), textWidth + 2 * kTextPadding), window.width());
    rows_ = std::clamp((window.height() - 2) / std::max(rowHeight_, 1), 0, count);
    const int height = rows_ * rowHeight_ + 2;

    const Rect anchor = menu.frameRect();
    int top = anchor.bottom;
    if (top + height > window.bottom) top = anchor.top - height;
    top = std::clamp(top, window.top, std::max(window.top, window.bottom - height));
    const int left = std::clamp(anchor.left, window.left, std::max(window.left, window.right - width));
    setRect(Rect::fromSize(left, top, width, height));
    if (menu.lastResult() >= 0) {
        highlighted_ = menu.lastResult();
        scrollTo(highlighted_ - rows_ / 2);
    }
}

void CMenuPopup::draw(DrawContext& context) {
    context.fillRect(rect(), kListColor);
    context.frameRect(rect(), kBorderColor);
    for (int r = 0; r < rows_; ++r) {
        const int index = first_ + r;
        const Rect row = Rect::fromSize(rect().left + 1, rect().top + 1 + r * rowHeight_, rect().width() - 2, rowHeight_);
        if (index == highlighted_) context.fillRect(row, kHighlightColor);
        context.drawText(menu_->entry(index), row, menu_->font(), kTextColor, HorizontalAlign::Left, kTextPadding);
    }
}

int CMenuPopup::rowAt(Point where) const {
    if (!rect().contains(where)) return -1;
    const int r = (where.y - rect().top - 1) / std::max(rowHeight_, 1);
    return r >= 0 && r < rows_ ? first_ + r : -1;
}

void CMenuPopup::highlight(int row) {
    if (row == highlighted_) return;
    highlighted_ = row;
    setDirty();
}

void CMenuPopup::scrollTo(int first) {
    first = std::clamp(first, 0, std::max(0, menu_->entryCount() - rows_));
    if (first == first_) return;
    first_ = first;
    setDirty();
}

void CMenuPopup::choose(int row) {
    const Ref<COptionMenu> menu = menu_;
    if (CFrame* f = frame()) f->closePopup();
    menu->choose(row);
}

MouseResult CMenuPopup::onMouseDown(const MouseEvent& event) {
    armed_ = true;
    highlight(rowAt(event.where));
    return MouseResult::Captured;
}

void CMenuPopup::onMouseMoved(const MouseEvent& event) {
    const int row = rowAt(event.where);
    if (row >= 0) armed_ = true;
    highlight(row);
}

void CMenuPopup::onMouseUp(const MouseEvent& event) {
    const int row = rowAt(event.where);
    if (armed_ && row >= 0) choose(row);
}

bool CMenuPopup::onMouseWheel(const MouseEvent&, float notches) {
    scrollTo(first_ - int(std::lround(notches)));
    return true;
}

bool CMenuPopup::onKeyDown(const KeyEvent& key) {
    const int count = menu_->entryCount();
    int row = highlighted_;
    switch (key.key) {
        case VirtualKey::Escape:
            if (CFrame* f = frame()) f->closePopup();
            return true;
        case VirtualKey::Enter:
            if (row >= 0) choose(row);
            return true;
        case VirtualKey::Up: row = row < 0 ? count - 1 : std::max(row - 1, 0); break;
        case VirtualKey::Down: row = std::min(row + 1, count - 1); break;
        case VirtualKey::Home: row = 0; break;
        case VirtualKey::End: row = count - 1; break;
        case VirtualKey::PageUp: row = std::max(row - rows_, 0); break;
        case VirtualKey::PageDown: row = std::min(row + rows_, count - 1); break;
        default: return true;
    }
    highlight(row);
    if (row < first_) scrollTo(row);
    if (row >= first_ + rows_) scrollTo(row - rows_ + 1);
    return true;
}

}  // namespace vorlatek::toolkit
