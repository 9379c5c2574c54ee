#include "toolkit/CTextEdit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/CFrame.h"
#include "toolkit/DrawContext.h"
#include "toolkit/Utf8.h"

namespace vorlatek::toolkit {

namespace {

constexpr int kPadding = 2;
constexpr Color kSelectionColor{60, 110, 200, 160};

}  // namespace

CTextEdit::CTextEdit(const Rect& size, IControlListener* listener, int tag, std::string_view text,
                     Ref<CBitmap> background)
    : CTextLabel(size, text, std::move(background)) {
    setListener(listener);
    setTag(tag);
    setMouseEnabled(true);
}

bool CTextEdit::isEditing() const {
    const CFrame* f = frame();
    return editing_ && f && f->focusView() == this;
}

void CTextEdit::setText(std::string_view text) {
    if (editing_) {
        cancelling_ = true;
        if (CFrame* f = frame(); f && f->focusView() == this)
            f->setFocusView(nullptr);
        else
            finish(false);
    }
    CTextLabel::setText(text);
}

void CTextEdit::onFocusGained() {
    CFrame* f = frame();
    if (editing_ || !f) return;
    editing_ = true;
    cancelling_ = false;
    scroll_ = 0.0;
    buffer_.setText(text_);
    buffer_.selectAll();
    f->setWantsKeyboard(true);
    setDirty();
    beginEdit();
}

void CTextEdit::onFocusLost() {
    if (editing_) finish(!cancelling_);
}

void CTextEdit::finish(bool keep) {
    editing_ = false;
    cancelling_ = false;
    selecting_ = false;
    if (CFrame* f = frame()) f->setWantsKeyboard(false);
    setDirty();
    if (keep) {
        text_ = buffer_.text();
        reportValue();
    }
    endEdit();
}

double CTextEdit::textOrigin() {
    const CFrame* f = frame();
    if (!f) return rect().left + kPadding;
    const Fonts& fonts = f->fonts();
    const double available = rect().width() - 2.0 * kPadding;
    const double full = fonts.textWidth(buffer_.text(), font());
    if (full <= available) {
        scroll_ = 0.0;
        if (horiAlign() == HorizontalAlign::Center) return rect().left + (rect().width() - full) / 2.0;
        if (horiAlign() == HorizontalAlign::Right) return rect().right - kPadding - full;
        return rect().left + kPadding;
    }
    const double caretX = fonts.textWidth(std::string_view(buffer_.text()).substr(0, buffer_.caret()), font());
    scroll_ = std::clamp(scroll_, caretX - available, caretX);
    scroll_ = std::clamp(scroll_, 0.0, full - available);
    return rect().left + kPadding - scroll_;
}

std::size_t CTextEdit::positionAt(int x) {
    const CFrame* f = frame();
    if (!f) return buffer_.caret();
    const std::string& text = buffer_.text();
    const double origin = textOrigin();
    auto xAt = [&](std::size_t position) {
        return origin + f->fonts().textWidth(std::string_view(text).substr(0, position), font());
    };
    std::vector<std::size_t> boundaries{0};
    for (std::size_t i = 0; i < text.size();) boundaries.push_back(i = utf8::next(text, i));
    // Widths grow with the prefix: find the first boundary at or right of x, then the nearer.
    std::size_t low = 0, high = boundaries.size() - 1;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (xAt(boundaries[middle]) < x)
            low = middle + 1;
        else
            high = middle;
    }
    if (low > 0 && x - xAt(boundaries[low - 1]) < xAt(boundaries[low]) - x) --low;
    return boundaries[low];
}

void CTextEdit::draw(DrawContext& context) {
    if (!isEditing()) {
        CTextLabel::draw(context);
        return;
    }
    drawBackground(context);
    const std::string& text = buffer_.text();
    const double origin = textOrigin();
    const Fonts& fonts = context.fonts();
    auto xAt = [&](std::size_t position) {
        return origin + fonts.textWidth(std::string_view(text).substr(0, position), font());
    };
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_rectangle(cr, rect().left, rect().top, rect().width(), rect().height());
    cairo_clip(cr);
    if (buffer_.hasSelection()) {
        const double left = xAt(buffer_.selectionStart());
        const double right = xAt(buffer_.selectionEnd());
        cairo_set_source_rgba(cr, kSelectionColor.red / 255.0, kSelectionColor.green / 255.0,
                              kSelectionColor.blue / 255.0, kSelectionColor.alpha / 255.0);
        cairo_rectangle(cr, left, rect().top + 1, right - left, rect().height() - 2);
        cairo_fill(cr);
    }
    context.drawTextAt(text, origin, rect(), font(), fontColor());
    const double caret = std::round(xAt(buffer_.caret())) + 0.5;
    const Color c = fontColor();
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, 1.0);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, caret, rect().top + 2);
    cairo_line_to(cr, caret, rect().bottom - 2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

MouseResult CTextEdit::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    CFrame* f = frame();
    if (!f) return MouseResult::Ignored;
    if (!isEditing()) {
        f->setFocusView(this);
        return MouseResult::Handled;
    }
    if (event.clickCount >= 2) {
        buffer_.selectAll();
    } else {
        buffer_.setCaret(positionAt(event.where.x), (event.buttons & kShift) != 0);
        selecting_ = true;
    }
    setDirty();
    return MouseResult::Captured;
}

void CTextEdit::onMouseMoved(const MouseEvent& event) {
    if (!selecting_ || !isEditing()) return;
    buffer_.setCaret(positionAt(event.where.x), true);
    setDirty();
}

void CTextEdit::onMouseUp(const MouseEvent&) { selecting_ = false; }

bool CTextEdit::onKeyDown(const KeyEvent& key) {
    CFrame* f = frame();
    if (!isEditing() || !f) return false;
    const bool shift = (key.modifiers & kShift) != 0;
    const bool command = (key.modifiers & (kControl | kCommand)) != 0;
    switch (key.key) {
        case VirtualKey::Enter:
        case VirtualKey::Tab:
            f->setFocusView(nullptr);
            return true;
        case VirtualKey::Escape:
            cancelling_ = true;
            f->setFocusView(nullptr);
            return true;
        case VirtualKey::Backspace: buffer_.backspace(); break;
        case VirtualKey::Delete: buffer_.deleteForward(); break;
        case VirtualKey::Left: buffer_.left(shift); break;
        case VirtualKey::Right: buffer_.right(shift); break;
        case VirtualKey::Home:
        case VirtualKey::Up: buffer_.home(shift); break;
        case VirtualKey::End:
        case VirtualKey::Down: buffer_.end(shift); break;
        case VirtualKey::PageUp:
        case VirtualKey::PageDown: return true;
        case VirtualKey::None:
            if (command) {
                switch (key.character) {
                    case 'a': case 'A': buffer_.selectAll(); break;
                    case 'c': case 'C':
                        if (buffer_.hasSelection()) f->setClipboardText(buffer_.selectedText());
                        break;
                    case 'x': case 'X':
                        if (buffer_.hasSelection()) f->setClipboardText(buffer_.cut());
                        break;
                    case 'v': case 'V': f->requestClipboardText(*this); break;
                    default: return false;
                }
            } else if (key.character >= 0x20 && key.character != 0x7F && !(key.modifiers & kAlt)) {
                buffer_.insert(utf8::encode(key.character));
            } else {
                return false;
            }
            break;
    }
    setDirty();
    return true;
}

void CTextEdit::onClipboardText(std::string_view text) {
    if (!isEditing()) return;
    buffer_.insert(text);
    setDirty();
}

}  // namespace vorlatek::toolkit
