#include "toolkit/CKickButton.h"

namespace vorlatek::toolkit {

CKickButton::CKickButton(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap, Point offset)
    : CControl(size, listener, tag, std::move(bitmap)), strip_{2, size.height(), offset} {}

void CKickButton::draw(DrawContext& context) {
    strip_.draw(context, bitmap(), rect(), value() >= 0.5f ? 1 : 0, bitmapMode());
}

void CKickButton::show(float v) {
    if (v == value()) return;
    setValue(v);
    reportValue();
}

MouseResult CKickButton::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    beginEdit();
    tracking_ = true;
    valueBeforePress_ = value();
    show(1.0f);
    return MouseResult::Captured;
}

void CKickButton::onMouseMoved(const MouseEvent& event) {
    if (tracking_) show(rect().contains(event.where) ? 1.0f : valueBeforePress_);
}

void CKickButton::onMouseUp(const MouseEvent&) {
    if (!tracking_) return;
    tracking_ = false;
    setValue(0.0f);
    reportValue();
    endEdit();
}

void CKickButton::onMouseCancelled() {
    if (!tracking_) return;
    tracking_ = false;
    setValue(0.0f);
    endEdit();
}

}  // namespace vorlatek::toolkit
