#pragma once
// A bitmap button with N states (1..16), used for LEDs, radio buttons, check boxes, mode
// buttons and step buttons. Its value is state × 1/(N − 1). The images are stacked in one
// strip: one per state, or an up and a pressed image per state for a "real" button. A click
// moves to the state the next-state map names (by default the next one, round), either when
// the button is pressed or when it is released over the button; every click is reported.
// It can blink between its state and an alternate state, and show a forced image whatever
// its value.

#include "toolkit/CBlinkingControl.h"

namespace vorlatek::toolkit {

class CNStateButton : public CBlinkingControl {
public:
    enum class PressMode { OnPress = 0, OnRelease = 1 };
    static constexpr int kMaxStates = 16;

    CNStateButton(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap, int imageHeight,
                  Point offset, int states, PressMode mode, bool realButton);

    int states() const { return states_; }
    // The state the value stands for: value / step, rounded, within 0..N − 1.
    int state() const;
    float step() const { return step_; }
    PressMode pressMode() const { return mode_; }
    bool isRealButton() const { return realButton_; }

    // The first N entries of the map (states outside 0..N − 1 count as 0).
    void setNextStateMap(const int* map, int count);
    int nextState(int state) const;
    // When off, clicks are still reported but leave the value as it is.
    void setAdvanceEnabled(bool enabled) { advanceEnabled_ = enabled; }
    bool advanceEnabled() const { return advanceEnabled_; }
    // Shows state `state`'s image whatever the value; -1 for none.
    void setForcedImage(int state);
    int forcedImage() const { return forcedImage_; }

    void startBlink(std::uint32_t onTime, std::uint32_t offTime, std::uint32_t duration, int alternateState);

    // The index of the image drawn now within the strip.
    int imageIndex() const;

    void draw(DrawContext& context) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    void onMouseCancelled() override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    void advanceAndReport();

    int imageHeight_;
    Point offset_;
    int states_;
    float step_;
    PressMode mode_;
    bool realButton_;
    int nextState_[kMaxStates] = {};
    bool advanceEnabled_ = true;
    int forcedImage_ = -1;
    bool pressed_ = false;
    bool inside_ = false;
    int alternateState_ = 0;
};

}  // namespace vorlatek::toolkit
