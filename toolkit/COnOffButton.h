#pragma once
// A switch with two images (off on top, on below); a left click toggles 0 and 1 and reports.

#include "toolkit/CControl.h"
#include "toolkit/FilmStrip.h"

namespace vorlatek::toolkit {

class COnOffButton : public CControl {
public:
    COnOffButton(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap, Point offset = {});

    void draw(DrawContext& context) override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    FilmStrip strip_;
};

}  // namespace vorlatek::toolkit
