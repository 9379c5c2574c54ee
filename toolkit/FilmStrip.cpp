#include "toolkit/FilmStrip.h"

#include <algorithm>
#include <cmath>

namespace vorlatek::toolkit {

namespace {

double unit(float value) { return std::isnan(value) ? 0.0 : std::clamp(double(value), 0.0, 1.0); }

}  // namespace

int FilmStrip::truncatedFrame(float value) const {
    if (frames <= 1) return 0;
    return std::min(int(unit(value) * (frames - 1)), frames - 1);
}

int FilmStrip::roundedFrame(float value) const {
    if (frames <= 1) return 0;
    return std::min(int(std::lround(unit(value) * (frames - 1))), frames - 1);
}

void FilmStrip::draw(DrawContext& context, CBitmap* bitmap, const Rect& destination, int frame,
                     CBitmap::Mode mode) const {
    if (!bitmap || frame < 0) return;
    bitmap->draw(context, destination, {offset.x, offset.y + frame * frameHeight}, mode);
}

}  // namespace vorlatek::toolkit
