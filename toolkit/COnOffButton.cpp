#include "toolkit/COnOffButton.h"

namespace vorlatek::toolkit {

COnOffButton::COnOffButton(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap, Point offset)
    : CControl(size, listener, tag, std::move(bitmap)), strip_{2, size.height(), offset} {}

void COnOffButton::draw(DrawContext& context) {
    strip_.draw(context, bitmap(), rect(), value() > 0.5f ? 1 : 0, bitmapMode());
}

MouseResult COnOffButton::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    beginEdit();
    setValue(value() > 0.5f ? 0.0f : 1.0f);
    reportValue();
    endEdit();
    return MouseResult::Handled;
}

}  // namespace vorlatek::toolkit
