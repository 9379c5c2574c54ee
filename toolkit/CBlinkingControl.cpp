#include "toolkit/CBlinkingControl.h"

namespace vorlatek::toolkit {

void CBlinkingControl::beginBlink(std::uint32_t onTime, std::uint32_t offTime, std::uint32_t duration) {
    blink_.begin(onTime, offTime, duration);
    advanceBlink();
    setDirty();  // the phase may be the one of an earlier blink: show this one as it is
}

void CBlinkingControl::advanceBlink() {
    if (blink_.advanceShownIn(*this)) setDirty();
}

void CBlinkingControl::stopBlink() {
    blink_.active = false;
    setDirty();
}

void CBlinkingControl::setBlinkForced(bool forced, bool phase) { blink_.force(forced, phase); }

}  // namespace vorlatek::toolkit
