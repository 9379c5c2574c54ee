#pragma once
// A view with a value: a float kept within [minimum, maximum] (0..1 unless set), a tag that
// says what it controls, a listener to report to, a default value (0.5), and usually a
// bitmap. A control is dirty while its value differs from the one last drawn.

#include "toolkit/CView.h"
#include "toolkit/IControlListener.h"

namespace vorlatek::toolkit {

class CControl : public CView {
public:
    CControl(const Rect& size, IControlListener* listener = nullptr, int tag = -1, Ref<CBitmap> bitmap = nullptr);

    float value() const { return value_; }
    // Stores the value, limited to [minimum, maximum]; a NaN leaves the value as it is.
    virtual void setValue(float value);
    float minimum() const { return minimum_; }
    float maximum() const { return maximum_; }
    void setMinimum(float minimum);
    void setMaximum(float maximum);
    float defaultValue() const { return defaultValue_; }
    void setDefaultValue(float value);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    IControlListener* listener() const { return listener_; }
    void setListener(IControlListener* listener) { listener_ = listener; }

    CBitmap* bitmap() const { return bitmap_.get(); }
    void setBitmap(Ref<CBitmap> bitmap);

    bool isDirty() const override { return CView::isDirty() || value_ != lastDrawnValue_; }
    void markDrawn() override;

    // Around a gesture: the host records the moves between them as one automation pass.
    void beginEdit();
    void endEdit();
    // Tells the listener the value changed.
    void reportValue();

    // Offers a click made with a modifier key to the listener first, then to mouseDown().
    MouseResult onMouseDown(const MouseEvent& event) final;

protected:
    virtual MouseResult mouseDown(const MouseEvent&) { return MouseResult::Ignored; }
    // The bitmap drawing mode the transparency flag asks for.
    CBitmap::Mode bitmapMode() const { return transparent() ? CBitmap::Mode::Transparent : CBitmap::Mode::Opaque; }
    // Sets the value and reports it when it changed.
    void changeValue(float value);

private:
    float value_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 1.0f;
    float defaultValue_ = 0.5f;
    float lastDrawnValue_ = 0.0f;
    int tag_;
    IControlListener* listener_;
    Ref<CBitmap> bitmap_;
};

}  // namespace vorlatek::toolkit
