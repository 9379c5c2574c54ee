#pragma once
// A switch whose positions run from top to bottom (CSwitch).

#include "toolkit/CSwitch.h"

namespace vorlatek::toolkit {

class CVerticalSwitch : public CSwitch {
public:
    CVerticalSwitch(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                    Ref<CBitmap> bitmap, Point offset = {})
        : CSwitch(Orientation::Vertical, size, listener, tag, frames, frameHeight, std::move(bitmap), offset) {}
};

}  // namespace vorlatek::toolkit
