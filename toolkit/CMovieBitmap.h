#pragma once
// A film strip that shows a value: frame value × (frames − 1), rounded, the value clamped to
// 0..1 first. It takes no clicks.

#include "toolkit/CControl.h"
#include "toolkit/FilmStrip.h"

namespace vorlatek::toolkit {

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                 Ref<CBitmap> bitmap, Point offset = {});

    int frames() const { return strip_.frames; }
    void draw(DrawContext& context) override;

private:
    FilmStrip strip_;
};

}  // namespace vorlatek::toolkit
