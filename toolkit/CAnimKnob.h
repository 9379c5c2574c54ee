#pragma once
// A knob drawn from a film strip: frame floor(value × (frames − 1)). Dragging follows the
// frame's knob mode: linear, where 200 pixels of vertical travel cover the whole range (ten
// times finer with Shift), or circular, where the pointer's angle around the centre sets the
// value over a 270° sweep from lower left to lower right. Alt swaps the two modes for a drag;
// Ctrl-click sets the default value; the wheel moves one frame per notch.

#include "toolkit/CControl.h"
#include "toolkit/FilmStrip.h"

namespace vorlatek::toolkit {

class CAnimKnob : public CControl {
public:
    static constexpr double kLinearTravel = 200.0;
    static constexpr double kFineFactor = 10.0;

    CAnimKnob(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
              Ref<CBitmap> bitmap, Point offset = {});

    int frames() const { return strip_.frames; }
    void draw(DrawContext& context) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    void onMouseCancelled() override;
    bool onMouseWheel(const MouseEvent& event, float notches) override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    float valueAtAngle(Point where) const;

    FilmStrip strip_;
    bool tracking_ = false;
    bool linear_ = true;
    bool fine_ = false;
    float dragStartValue_ = 0.0f;
    int dragStartY_ = 0;
};

}  // namespace vorlatek::toolkit
