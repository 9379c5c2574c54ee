#include "toolkit/CControl.h"

#include <cmath>

namespace vorlatek::toolkit {

CControl::CControl(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap)
    : CView(size), tag_(tag), listener_(listener), bitmap_(std::move(bitmap)) {}

void CControl::setValue(float value) {
    if (std::isnan(value)) return;
    value_ = std::max(minimum_, std::min(value, maximum_));
}

void CControl::setMinimum(float minimum) {
    if (std::isnan(minimum)) return;
    minimum_ = minimum;
    if (maximum_ < minimum_) maximum_ = minimum_;
}

void CControl::setMaximum(float maximum) {
    if (std::isnan(maximum)) return;
    maximum_ = maximum;
    if (minimum_ > maximum_) minimum_ = maximum_;
}

void CControl::setDefaultValue(float value) {
    if (!std::isnan(value)) defaultValue_ = value;
}

void CControl::setBitmap(Ref<CBitmap> bitmap) {
    bitmap_ = std::move(bitmap);
    setDirty();
}

void CControl::markDrawn() {
    CView::markDrawn();
    lastDrawnValue_ = value_;
}

void CControl::beginEdit() {
    if (listener_) listener_->controlBeginEdit(this);
}

void CControl::endEdit() {
    if (listener_) listener_->controlEndEdit(this);
}

void CControl::reportValue() {
    if (listener_) listener_->valueChanged(this);
}

void CControl::changeValue(float value) {
    const float before = value_;
    setValue(value);
    if (value_ != before) reportValue();
}

MouseResult CControl::onMouseDown(const MouseEvent& event) {
    if (event.modifiers() && listener_ && listener_->controlModifierClicked(this, event.buttons))
        return MouseResult::Handled;
    return mouseDown(event);
}

}  // namespace vorlatek::toolkit
