#pragma once
// A control that can blink (Blink): the part CNStateButton and CExMovieBitmap share. The
// subclass decides what the alternate phase shows and starts a blink through beginBlink().

#include "toolkit/Blink.h"
#include "toolkit/CControl.h"

namespace vorlatek::toolkit {

class CBlinkingControl : public CControl {
public:
    using CControl::CControl;

    // Follows the frame's tick count; does nothing unless blinking and shown in a frame.
    void advanceBlink();
    void stopBlink();
    void setBlinkForced(bool forced, bool phase);
    bool isBlinking() const { return blink_.active; }
    const Blink& blink() const { return blink_; }

protected:
    void beginBlink(std::uint32_t onTime, std::uint32_t offTime, std::uint32_t duration);

    Blink blink_;
};

}  // namespace vorlatek::toolkit
