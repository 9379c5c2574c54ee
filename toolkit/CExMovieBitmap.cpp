#include "toolkit/CExMovieBitmap.h"

#include <algorithm>

namespace vorlatek::toolkit {

CExMovieBitmap::CExMovieBitmap(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                               Ref<CBitmap> bitmap, Point offset)
    : CBlinkingControl(size, listener, tag, std::move(bitmap)), strip_{frames, frameHeight, offset} {}

int CExMovieBitmap::currentFrame() const {
    const float v = std::min(value(), 1.0f);
    if (!(v > 0.0f)) return 0;
    return strip_.roundedFrame(blink_.showsAlternate() ? alternateValue_ : v);
}

void CExMovieBitmap::startBlink(std::uint32_t onTime, std::uint32_t offTime, std::uint32_t duration,
                                float alternateValue) {
    alternateValue_ = alternateValue;
    beginBlink(onTime, offTime, duration);
}

void CExMovieBitmap::draw(DrawContext& context) {
    strip_.draw(context, bitmap(), rect(), currentFrame(), bitmapMode());
}

MouseResult CExMovieBitmap::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & kLButton)) return MouseResult::Ignored;
    reportValue();
    return MouseResult::Handled;
}

}  // namespace vorlatek::toolkit
