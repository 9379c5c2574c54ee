#include "editor/FileBrowserButton.h"

#include "editor/FileBrowserStyle.h"
#include "toolkit/DrawContext.h"

namespace vorlatek::editor {

using namespace toolkit;
namespace style = fileBrowserStyle;

FileBrowserButton::FileBrowserButton(const Rect& size, IControlListener* listener, int tag, std::string_view caption)
    : CControl(size, listener, tag), caption_(caption) {}

void FileBrowserButton::setCaption(std::string_view caption) {
    caption_ = caption;
    setDirty();
}

void FileBrowserButton::draw(DrawContext& context) {
    context.fillRect(rect(), value() >= 0.5f ? style::kButtonPressed : style::kButton);
    context.frameRect(rect(), style::kBorder);
    context.drawText(caption_, rect(), style::kTextFont, style::kText, HorizontalAlign::Center);
}

MouseResult FileBrowserButton::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    tracking_ = true;
    setValue(1.0f);
    return MouseResult::Captured;
}

void FileBrowserButton::onMouseMoved(const MouseEvent& event) {
    if (tracking_) setValue(rect().contains(event.where) ? 1.0f : 0.0f);
}

void FileBrowserButton::onMouseUp(const MouseEvent& event) {
    if (!tracking_) return;
    tracking_ = false;
    setValue(0.0f);
    if (rect().contains(event.where)) reportValue();
}

void FileBrowserButton::onMouseCancelled() {
    tracking_ = false;
    setValue(0.0f);
}

}  // namespace vorlatek::editor
