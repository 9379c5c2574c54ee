#include "toolkit/CSwitch.h"

#include <algorithm>
#include <cmath>

namespace vorlatek::toolkit {

CSwitch::CSwitch(Orientation orientation, const Rect& size, IControlListener* listener, int tag, int frames,
                 int frameHeight, Ref<CBitmap> bitmap, Point offset)
    : CControl(size, listener, tag, std::move(bitmap)), orientation_(orientation), strip_{frames, frameHeight, offset} {}

void CSwitch::draw(DrawContext& context) {
    strip_.draw(context, bitmap(), rect(), strip_.roundedFrame(value()), bitmapMode());
}

MouseResult CSwitch::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    beginEdit();
    if (event.onlyModifier(kControl)) {
        setValue(defaultValue());
        reportValue();
        endEdit();
        return MouseResult::Handled;
    }
    tracking_ = true;
    follow(event.where);
    return MouseResult::Captured;
}

void CSwitch::follow(Point where) {
    if (strip_.frames < 1) return;
    int extent;
    int position;
    if (orientation_ == Orientation::Horizontal) {
        extent = bitmap() && bitmap()->width() > 0 ? bitmap()->width() : width();
        position = where.x - rect().left;
    } else {
        extent = strip_.frameHeight > 0 ? strip_.frameHeight : height();
        position = where.y - rect().top;
    }
    if (extent <= 0) return;
    const double frame = std::floor(position / (double(extent) / strip_.frames));
    const double v = strip_.frames > 1 ? frame / (strip_.frames - 1) : 0.0;
    changeValue(float(std::clamp(v, 0.0, 1.0)));
}

void CSwitch::onMouseMoved(const MouseEvent& event) {
    if (tracking_) follow(event.where);
}

void CSwitch::onMouseUp(const MouseEvent&) {
    if (!tracking_) return;
    tracking_ = false;
    endEdit();
}

void CSwitch::onMouseCancelled() { onMouseUp({}); }

}  // namespace vorlatek::toolkit
