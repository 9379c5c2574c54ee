#pragma once
// A momentary button: 1 while pressed with the pointer over it, back to its old value when
// the pointer leaves, 0 at release. Every change is reported, the release always. Two images:
// value 0 on top, value 1 below.

#include "toolkit/CControl.h"
#include "toolkit/FilmStrip.h"

namespace vorlatek::toolkit {

class CKickButton : public CControl {
public:
    CKickButton(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap, Point offset = {});

    void draw(DrawContext& context) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    void onMouseCancelled() override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    void show(float value);

    FilmStrip strip_;
    float valueBeforePress_ = 0.0f;
    bool tracking_ = false;
};

}  // namespace vorlatek::toolkit
