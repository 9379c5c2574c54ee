#pragma once
// What a control tells its owner (the editor): value changes, the begin and end of a gesture
// (the host's automation brackets), and clicks made with a modifier key, which the owner may
// take before the control acts on them.

namespace vorlatek::toolkit {

class CControl;

class IControlListener {
public:
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl*) {}
    virtual void controlEndEdit(CControl*) {}
    // A click with Shift, Ctrl, Alt or the command key held; true takes it from the control.
    virtual bool controlModifierClicked(CControl*, unsigned /*buttons*/) { return false; }

protected:
    ~IControlListener() = default;
};

}  // namespace vorlatek::toolkit
