#pragma once
// A switch of `frames` positions drawn from a film strip: frame value × (frames − 1),
// rounded. While the left button is held the pointer's position along the switch picks the
// frame, floor(position / (extent / frames)), and the value frame / (frames − 1); the extent
// is the bitmap's width for a horizontal switch and one frame's height for a vertical one.
// Ctrl-click sets the default value. CHorizontalSwitch and CVerticalSwitch name the two.

#include "toolkit/CControl.h"
#include "toolkit/FilmStrip.h"

namespace vorlatek::toolkit {

class CSwitch : public CControl {
public:
    enum class Orientation { Horizontal, Vertical };

    CSwitch(Orientation orientation, const Rect& size, IControlListener* listener, int tag, int frames,
            int frameHeight, Ref<CBitmap> bitmap, Point offset);

    int frames() const { return strip_.frames; }
    void draw(DrawContext& context) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    void onMouseCancelled() override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    void follow(Point where);

    Orientation orientation_;
    FilmStrip strip_;
    bool tracking_ = false;
};

}  // namespace vorlatek::toolkit
