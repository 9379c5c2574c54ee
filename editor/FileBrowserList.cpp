#include "editor/FileBrowserList.h"

#include <algorithm>
#include <cmath>

#include "editor/FileBrowserStyle.h"
#include "toolkit/CFrame.h"
#include "toolkit/DrawContext.h"

namespace vorlatek::editor {

using namespace toolkit;
namespace style = fileBrowserStyle;

namespace {

constexpr int kIconLeft = 6;
constexpr int kTextLeft = 24;

void drawFolderIcon(DrawContext& context, int x, int y) {
    context.fillRect(Rect::fromSize(x, y + 2, 6, 2), style::kFolderIcon);
    context.fillRect(Rect::fromSize(x, y + 4, 13, 8), style::kFolderIcon);
}

void drawFileIcon(DrawContext& context, int x, int y) {
    context.frameRect(Rect::fromSize(x + 2, y + 1, 10, 12), style::kDimText);
    context.fillRect(Rect::fromSize(x + 4, y + 5, 6, 1), style::kDimText);
    context.fillRect(Rect::fromSize(x + 4, y + 8, 6, 1), style::kDimText);
}

}  // namespace

FileBrowserList::FileBrowserList(const Rect& size, Owner& owner) : CView(size), owner_(owner) {}

void FileBrowserList::setEntries(std::vector<FileBrowserEntry> entries, std::string emptyText) {
    entries_ = std::move(entries);
    emptyText_ = std::move(emptyText);
    selected_ = -1;
    first_ = 0;
    dragOffset_ = -1;
    setDirty();
}

Rect FileBrowserList::rowsArea() const {
    Rect area = rect().inset(1, 1);
    if (scrolls()) area.right -= kScrollBarWidth;
    return area;
}

int FileBrowserList::visibleRows() const { return std::max(1, (rect().height() - 2) / kRowHeight); }

Rect FileBrowserList::rowRect(int index) const {
    const int row = index - first_;
    if (index < 0 || index >= int(entries_.size()) || row < 0 || row >= visibleRows()) return {};
    const Rect area = rowsArea();
    return Rect{area.left, area.top + row * kRowHeight, area.right, area.top + (row + 1) * kRowHeight};
}

Rect FileBrowserList::scrollTrack() const {
    const Rect inner = rect().inset(1, 1);
    return Rect{inner.right - kScrollBarWidth, inner.top, inner.right, inner.bottom};
}

Rect FileBrowserList::scrollThumb() const {
    const Rect track = scrollTrack();
    const int count = int(entries_.size());
    const int rows = visibleRows();
    if (count <= rows) return track;
    const int length = std::max(12, track.height() * rows / count);
    const int travel = track.height() - length;
    const int top = track.top + int(std::lround(double(travel) * first_ / (count - rows)));
    return Rect{track.left + 2, top, track.right - 2, top + length};
}

void FileBrowserList::draw(DrawContext& context) {
    context.fillRect(rect(), style::kField);
    const CFrame* f = frame();
    const bool focused = f && f->focusView() == this;
    context.frameRect(rect(), focused ? style::kHighlight : style::kBorder);
    DrawContext::Scope clip(context, {}, rect().inset(1, 1));
    if (entries_.empty()) {
        context.drawText(emptyText_, rowsArea(), style::kSmallFont, style::kDimText, HorizontalAlign::Center);
        return;
    }
    const int last = std::min(int(entries_.size()), first_ + visibleRows());
    for (int index = first_; index < last; ++index) {
        const Rect row = rowRect(index);
        if (index == selected_) context.fillRect(row, style::kHighlight);
        const int iconTop = row.top + (kRowHeight - 14) / 2;
        if (entries_[std::size_t(index)].folder)
            drawFolderIcon(context, row.left + kIconLeft, iconTop);
        else
            drawFileIcon(context, row.left + kIconLeft, iconTop);
        const Rect text{row.left + kTextLeft, row.top, row.right - 4, row.bottom};
        context.drawText(entries_[std::size_t(index)].name, text, style::kTextFont, style::kText, HorizontalAlign::Left, 0);
    }
    if (scrolls()) {
        context.fillRect(scrollTrack(), style::kPanel);
        context.fillRect(scrollThumb(), style::kBorder);
    }
}

int FileBrowserList::rowAt(Point where) const {
    const Rect area = rowsArea();
    if (!area.contains(where)) return -1;
    const int index = first_ + (where.y - area.top) / kRowHeight;
    return index < int(entries_.size()) ? index : -1;
}

void FileBrowserList::scrollTo(int first) {
    first = std::clamp(first, 0, std::max(0, int(entries_.size()) - visibleRows()));
    if (first == first_) return;
    first_ = first;
    setDirty();
}

void FileBrowserList::select(int index) {
    if (index < -1 || index >= int(entries_.size())) index = -1;
    if (index != selected_) {
        selected_ = index;
        setDirty();
    }
    if (index >= 0 && index < first_) scrollTo(index);
    if (index >= first_ + visibleRows()) scrollTo(index - visibleRows() + 1);
}

void FileBrowserList::moveSelection(int index) {
    if (entries_.empty()) return;
    index = std::clamp(index, 0, int(entries_.size()) - 1);
    select(index);
    owner_.entrySelected(index);
}

void FileBrowserList::dragThumb(int y) {
    const Rect track = scrollTrack();
    const Rect thumb = scrollThumb();
    const int travel = track.height() - thumb.height();
    const int count = int(entries_.size()) - visibleRows();
    if (travel <= 0 || count <= 0) return;
    scrollTo(int(std::lround(double(y - dragOffset_ - track.top) * count / travel)));
}

MouseResult FileBrowserList::onMouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    if (CFrame* f = frame()) f->setFocusView(this);
    if (scrolls() && scrollTrack().contains(event.where)) {
        const Rect thumb = scrollThumb();
        if (event.where.y < thumb.top) {
            scrollTo(first_ - visibleRows());
        } else if (event.where.y >= thumb.bottom) {
            scrollTo(first_ + visibleRows());
        } else {
            dragOffset_ = event.where.y - thumb.top;
            return MouseResult::Captured;
        }
        return MouseResult::Handled;
    }
    const int index = rowAt(event.where);
    if (index < 0) return MouseResult::Handled;
    // The owner may replace the entries on either call: nothing of this view is used after.
    if (event.clickCount >= 2 && index == selected_) {
        owner_.entryActivated(index);
    } else {
        select(index);
        owner_.entrySelected(index);
    }
    return MouseResult::Handled;
}

void FileBrowserList::onMouseMoved(const MouseEvent& event) {
    if (dragOffset_ >= 0) dragThumb(event.where.y);
}

void FileBrowserList::onMouseUp(const MouseEvent&) { dragOffset_ = -1; }

bool FileBrowserList::onMouseWheel(const MouseEvent&, float notches) {
    scrollTo(first_ - 3 * int(std::lround(notches)));
    return true;
}

bool FileBrowserList::onKeyDown(const KeyEvent& key) {
    const int rows = visibleRows();
    switch (key.key) {
        case VirtualKey::Up: moveSelection(selected_ < 0 ? int(entries_.size()) - 1 : selected_ - 1); return true;
        case VirtualKey::Down: moveSelection(selected_ + 1); return true;
        case VirtualKey::Home: moveSelection(0); return true;
        case VirtualKey::End: moveSelection(int(entries_.size()) - 1); return true;
        case VirtualKey::PageUp: moveSelection(std::max(selected_, 0) - rows); return true;
        case VirtualKey::PageDown: moveSelection(selected_ + rows); return true;
        case VirtualKey::Enter:
            if (selected_ >= 0) {
                owner_.entryActivated(selected_);
                return true;
            }
            break;
        default: break;
    }
    return owner_.listKeyDown(key);
}

}  // namespace vorlatek::editor
