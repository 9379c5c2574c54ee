#pragma once
// A movie bitmap that can blink and reports clicks: activity and length LEDs, pattern digits,
// captions. It shows frame value × (frames − 1), rounded (value clamped to at most 1); while
// blinking, the alternate phase shows the alternate value's frame instead. A value of 0 shows
// frame 0 even while blinking. A left click reports the control with its value unchanged.

#include "toolkit/CBlinkingControl.h"
#include "toolkit/FilmStrip.h"

namespace vorlatek::toolkit {

class CExMovieBitmap : public CBlinkingControl {
public:
    CExMovieBitmap(const Rect& size, IControlListener* listener, int tag, int frames, int frameHeight,
                   Ref<CBitmap> bitmap, Point offset = {});

    int frames() const { return strip_.frames; }
    // The frame drawn now.
    int currentFrame() const;

    void startBlink(std::uint32_t onTime, std::uint32_t offTime, std::uint32_t duration, float alternateValue);

    void draw(DrawContext& context) override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    FilmStrip strip_;
    float alternateValue_ = 0.0f;
};

}  // namespace vorlatek::toolkit
