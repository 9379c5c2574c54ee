#include "toolkit/CAnimKnob.h"

#include <cmath>
#include <numbers>

#include "toolkit/CFrame.h"

namespace vorlatek::toolkit {

namespace {

constexpr double kSweepStartDegrees = 225.0;  // lower left, value 0
constexpr double kSweepDegrees = 270.0;       // clockwise to lower right, value 1

}  // namespace

CAnimKnob::CAnimKnob(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                     Ref<CBitmap> bitmap, Point offset)
    : CControl(size, listener, tag, std::move(bitmap)), strip_{frames, frameHeight, offset} {}

void CAnimKnob::draw(DrawContext& context) {
    strip_.draw(context, bitmap(), rect(), strip_.truncatedFrame(value()), bitmapMode());
}

MouseResult CAnimKnob::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    if (event.onlyModifier(kControl)) {
        beginEdit();
        setValue(defaultValue());
        reportValue();
        endEdit();
        return MouseResult::Handled;
    }
    const CFrame* f = frame();
    const bool linearMode = !f || f->knobMode() == KnobMode::Linear;
    linear_ = linearMode != ((event.buttons & kAlt) != 0);
    fine_ = (event.buttons & kShift) != 0;
    dragStartValue_ = value();
    dragStartY_ = event.where.y;
    tracking_ = true;
    beginEdit();
    return MouseResult::Captured;
}

float CAnimKnob::valueAtAngle(Point where) const {
    const double dx = where.x - (rect().left + rect().width() / 2.0);
    const double dy = (rect().top + rect().height() / 2.0) - where.y;
    if (dx == 0.0 && dy == 0.0) return value();
    const double degrees = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    double along = std::fmod(kSweepStartDegrees - degrees + 720.0, 360.0);
    if (along > kSweepDegrees) along = along > kSweepDegrees + (360.0 - kSweepDegrees) / 2.0 ? 0.0 : kSweepDegrees;
    return float(minimum() + along / kSweepDegrees * (maximum() - minimum()));
}

void CAnimKnob::onMouseMoved(const MouseEvent& event) {
    if (!tracking_) return;
    if (!linear_) {
        changeValue(valueAtAngle(event.where));
        return;
    }
    const bool fine = (event.buttons & kShift) != 0;
    if (fine != fine_) {  // start again from here so the knob does not jump
        fine_ = fine;
        dragStartValue_ = value();
        dragStartY_ = event.where.y;
    }
    const double travel = kLinearTravel * (fine_ ? kFineFactor : 1.0);
    changeValue(float(dragStartValue_ + (dragStartY_ - event.where.y) * (maximum() - minimum()) / travel));
}

void CAnimKnob::onMouseUp(const MouseEvent&) {
    if (!tracking_) return;
    tracking_ = false;
    endEdit();
}

void CAnimKnob::onMouseCancelled() { onMouseUp({}); }

bool CAnimKnob::onMouseWheel(const MouseEvent& event, float notches) {
    if (!(mouseEnabled())) return false;
    const double step = (strip_.frames > 1 ? 1.0 / (strip_.frames - 1) : 0.01) * (maximum() - minimum());
    const double fine = (event.buttons & kShift) ? 1.0 / kFineFactor : 1.0;
    beginEdit();
    changeValue(float(value() + notches * step * fine));
    endEdit();
    return true;
}

}  // namespace vorlatek::toolkit
