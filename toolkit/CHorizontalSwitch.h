#pragma once
// A switch whose positions run from left to right (CSwitch).

#include "toolkit/CSwitch.h"

namespace vorlatek::toolkit {

class CHorizontalSwitch : public CSwitch {
public:
    CHorizontalSwitch(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                      Ref<CBitmap> bitmap, Point offset = {})
        : CSwitch(Orientation::Horizontal, size, listener, tag, frames, frameHeight, std::move(bitmap), offset) {}
};

}  // namespace vorlatek::toolkit
