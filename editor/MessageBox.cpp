#include "editor/MessageBox.h"

#include <algorithm>

#include "editor/FileBrowserStyle.h"
#include "toolkit/CFrame.h"
#include "toolkit/DrawContext.h"

namespace vorlatek::editor {

using namespace toolkit;
namespace style = fileBrowserStyle;

namespace {

enum Tag { kAcceptTag = 1, kRejectTag };

constexpr int kWidth = 420;
constexpr int kMargin = 8;
constexpr int kPad = 14;
constexpr int kLineHeight = 18;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 26;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

}  // namespace

Ref<MessageBox> MessageBox::show(CFrame& frame, const std::string& text, std::string accept, std::string reject,
                                 Answer answer) {
    if (dynamic_cast<MessageBox*>(frame.modalView())) return nullptr;
    auto box = make<MessageBox>(frame.rect(), text, std::move(accept), std::move(reject), std::move(answer));
    Ref<CView> previous = frame.modalView();
    if (!frame.setModalView(box)) return nullptr;
    box->previousModal_ = std::move(previous);
    frame.setFocusView(box.get());
    frame.invalidAll();
    return box;
}

MessageBox::MessageBox(const Rect& area, const std::string& text, std::string accept, std::string reject, Answer answer)
    : CViewContainer(area), lines_(splitLines(text)), answer_(std::move(answer)) {
    const int width = std::min(kWidth, std::max(area.width() - 2 * kMargin, 0));
    const int height = 2 * kPad + int(lines_.size()) * kLineHeight + 16 + kButtonHeight;
    box_ = Rect::fromSize((area.width() - width) / 2, (area.height() - height) / 2, width, height);

    const int top = box_.bottom - kPad - kButtonHeight;
    accept_ = make<FileBrowserButton>(Rect::fromSize(box_.right - kPad - kButtonWidth, top, kButtonWidth, kButtonHeight),
                                      this, kAcceptTag, accept);
    attach(accept_);
    if (!reject.empty()) {
        reject_ = make<FileBrowserButton>(
            Rect::fromSize(accept_->rect().left - 8 - kButtonWidth, top, kButtonWidth, kButtonHeight), this, kRejectTag,
            reject);
        attach(reject_);
    }
}

void MessageBox::answer(bool accepted) {
    if (answered_) return;
    answered_ = true;
    // The box lets go of the frame before the answer runs, so that the answer may show
    // another box or window.
    const Ref<MessageBox> self(this);
    if (CFrame* f = frame()) {
        if (f->focusView() == this) f->setFocusView(nullptr);
        if (f->modalView() == this) f->setModalView(previousModal_);
        f->invalidAll();
    }
    previousModal_.reset();
    if (const Answer done = std::exchange(answer_, nullptr)) done(accepted);
}

void MessageBox::valueChanged(CControl* control) {
    if (control) answer(control->tag() == kAcceptTag);
}

bool MessageBox::onKeyDown(const KeyEvent& key) {
    if (key.key == VirtualKey::Enter) {
        answer(true);
        return true;
    }
    if (key.key == VirtualKey::Escape) {
        answer(!reject_);
        return true;
    }
    return false;
}

void MessageBox::draw(DrawContext& context) {
    const Point origin = rect().topLeft();
    const Rect b = box_.offset(origin);
    context.fillRect(rect(), style::kShade);
    context.fillRect(b, style::kPanel);
    context.frameRect(b, style::kBorder);
    int y = b.top + kPad;
    for (const std::string& line : lines_) {
        context.drawText(line, Rect{b.left + kPad, y, b.right - kPad, y + kLineHeight}, style::kTextFont, style::kText,
                         HorizontalAlign::Left, 0);
        y += kLineHeight;
    }
    drawChildren(context);
}

}  // namespace vorlatek::editor
