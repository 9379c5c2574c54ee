#include "toolkit/CNStateButton.h"

#include <algorithm>
#include <cmath>

namespace vorlatek::toolkit {

CNStateButton::CNStateButton(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap,
                             int imageHeight, Point offset, int states, PressMode mode, bool realButton)
    : CBlinkingControl(size, listener, tag, std::move(bitmap)),
      imageHeight_(imageHeight),
      offset_(offset),
      states_(std::clamp(states, 1, kMaxStates)),
      step_(states_ > 1 ? 1.0f / float(states_ - 1) : 0.0f),
      mode_(mode),
      realButton_(realButton) {
    for (int i = 0; i < states_; ++i) nextState_[i] = (i + 1) % states_;
}

int CNStateButton::state() const {
    if (step_ == 0.0f) return 0;
    return std::clamp(int(std::lround(value() / step_)), 0, states_ - 1);
}

void CNStateButton::setNextStateMap(const int* map, int count) {
    if (!map) return;
    for (int i = 0; i < std::min(count, states_); ++i) nextState_[i] = map[i];
}

int CNStateButton::nextState(int s) const {
    const int next = nextState_[std::clamp(s, 0, states_ - 1)];
    return next >= 0 && next < states_ ? next : 0;
}

void CNStateButton::setForcedImage(int s) {
    if (s == forcedImage_) return;
    forcedImage_ = s;
    setDirty();
}

void CNStateButton::startBlink(std::uint32_t onTime, std::uint32_t offTime, std::uint32_t duration, int alternate) {
    alternateState_ = alternate;
    beginBlink(onTime, offTime, duration);
}

int CNStateButton::imageIndex() const {
    if (value() < 0.0f) return 0;
    const bool pressedLook = pressed_ && (mode_ == PressMode::OnPress || inside_);
    const int p = pressedLook ? 1 : 0;
    if (forcedImage_ != -1) return realButton_ ? 2 * forcedImage_ + p : forcedImage_;
    if (blink_.active && !pressedLook) {
        const int shown = blink_.phase ? state() : alternateState_;
        return realButton_ ? 2 * shown : shown;
    }
    return realButton_ ? 2 * state() + p : state();
}

void CNStateButton::draw(DrawContext& context) {
    const int index = imageIndex();
    if (!bitmap() || index < 0) return;
    bitmap()->draw(context, rect(), {offset_.x, offset_.y + index * imageHeight_}, bitmapMode());
}

void CNStateButton::advanceAndReport() {
    if (advanceEnabled_) setValue(step_ * float(nextState(state())));
    reportValue();
}

MouseResult CNStateButton::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    beginEdit();
    pressed_ = true;
    inside_ = true;
    setDirty();
    if (mode_ == PressMode::OnPress) advanceAndReport();
    return MouseResult::Captured;
}

void CNStateButton::onMouseMoved(const MouseEvent& event) {
    if (!pressed_) return;
    const bool inside = rect().contains(event.where);
    if (inside != inside_ && mode_ == PressMode::OnRelease) setDirty();
    inside_ = inside;
}

void CNStateButton::onMouseUp(const MouseEvent& event) {
    if (!pressed_) return;
    pressed_ = false;
    inside_ = rect().contains(event.where);
    if (mode_ == PressMode::OnRelease && inside_) advanceAndReport();
    inside_ = false;
    setDirty();
    endEdit();
}

void CNStateButton::onMouseCancelled() {
    if (!pressed_) return;
    pressed_ = false;
    inside_ = false;
    setDirty();
    endEdit();
}

}  // namespace vorlatek::toolkit
