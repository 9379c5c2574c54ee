#include "toolkit/CMovieBitmap.h"

namespace vorlatek::toolkit {

CMovieBitmap::CMovieBitmap(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                           Ref<CBitmap> bitmap, Point offset)
    : CControl(size, listener, tag, std::move(bitmap)), strip_{frames, frameHeight, offset} {}

void CMovieBitmap::draw(DrawContext& context) {
    strip_.draw(context, bitmap(), rect(), strip_.roundedFrame(value()), bitmapMode());
}

}  // namespace vorlatek::toolkit
