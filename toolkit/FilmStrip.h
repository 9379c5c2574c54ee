#pragma once
// A film strip: frames of equal height stacked vertically in one bitmap, with the strip's
// origin at `offset` in the bitmap. Values are clamped to 0..1 before they pick a frame, and
// a strip with no frames shows frame 0, so no value can reach outside the strip.

#include "toolkit/CBitmap.h"

namespace vorlatek::toolkit {

struct FilmStrip {
    int frames = 1;
    int frameHeight = 0;
    Point offset;

    // floor(value × (frames − 1)): knobs.
    int truncatedFrame(float value) const;
    // value × (frames − 1) rounded to the nearest frame: movie bitmaps and switches.
    int roundedFrame(float value) const;
    // Draws frame `frame` of `bitmap` into `destination`.
    void draw(DrawContext& context, CBitmap* bitmap, const Rect& destination, int frame, CBitmap::Mode mode) const;
};

}  // namespace vorlatek::toolkit
