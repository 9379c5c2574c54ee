#include "editor/ControlFactory.h"

#include "toolkit/CAnimKnob.h"
#include "toolkit/CBitmapDisplay.h"
#include "toolkit/CExMovieBitmap.h"
#include "toolkit/CHorizontalSwitch.h"
#include "toolkit/CKickButton.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/CNStateButton.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/CVerticalSwitch.h"

namespace vorlatek::editor {

using namespace toolkit;

ControlFactory::ControlFactory(const GuiLayout& layout, ImageStore& images, CFrame& frame,
                               IControlListener* listener, ValueSource values)
    : layout_(layout), images_(images), frame_(frame), listener_(listener), values_(std::move(values)) {}

Ref<CView> ControlFactory::create(std::string_view name, CViewContainer* parent, bool attach) {
    const LayoutEntry* entry = layout_.find(name);
    if (!entry) {
        missing_.emplace_back(name);
        return nullptr;
    }
    Ref<CView> view = build(*entry);
    if (view && attach && entry->kind != ControlClass::ViewContainer) (parent ? parent : &frame_)->attach(view);
    return view;
}

Ref<CView> ControlFactory::build(const LayoutEntry& e) {
    Ref<CBitmap> bitmap = e.drawsBitmap() ? images_.bitmap(e.bitmapId) : nullptr;
    IControlListener* listener = e.tag == -1 ? nullptr : listener_;
    const Rect& r = e.rect;
    const int h = r.height();

    if (e.kind == ControlClass::ViewContainer) {
        const int w = bitmap ? bitmap->width() : 0;
        const int bh = bitmap ? bitmap->height() : 0;
        auto window = make<CViewContainer>(
            Rect::fromSize((frame_.width() - w) / 2, (frame_.height() - bh) / 2, w, bh));
        window->setBackground(bitmap);
        return window;
    }
    if (e.kind == ControlClass::BitmapDisplay) return make<CBitmapDisplay>(r, bitmap, e.chars, e.glyphs, listener, e.tag);

    Ref<CControl> control;
    switch (e.kind) {
        case ControlClass::OnOffButton: control = make<COnOffButton>(r, listener, e.tag, bitmap); break;
        case ControlClass::KickButton: control = make<CKickButton>(r, listener, e.tag, bitmap); break;
        case ControlClass::NStateButton:
            control = make<CNStateButton>(r, listener, e.tag, bitmap, h, Point{}, e.states,
                                          e.onRelease ? CNStateButton::PressMode::OnRelease
                                                      : CNStateButton::PressMode::OnPress,
                                          e.realButton);
            break;
        case ControlClass::AnimKnob: control = make<CAnimKnob>(r, listener, e.tag, e.frames, h, bitmap); break;
        case ControlClass::VerticalSwitch:
            control = make<CVerticalSwitch>(r, listener, e.tag, e.frames, h, bitmap);
            break;
        case ControlClass::HorizontalSwitch:
            control = make<CHorizontalSwitch>(r, listener, e.tag, e.frames, h, bitmap);
            break;
        case ControlClass::MovieBitmap: control = make<CMovieBitmap>(r, listener, e.tag, e.frames, h, bitmap); break;
        case ControlClass::ExMovieBitmap:
            control = make<CExMovieBitmap>(r, listener, e.tag, e.frames, h, bitmap);
            break;
        case ControlClass::TextLabel:
        case ControlClass::TextEdit: {
            Ref<CTextLabel> label = e.kind == ControlClass::TextEdit ? Ref<CTextLabel>(make<CTextEdit>(r, listener, e.tag))
                                                                     : make<CTextLabel>(r);
            label->setFont(e.font);
            label->setFontColor(e.fontColor);
            label->setBackColor(e.backColor);
            label->setHoriAlign(static_cast<HorizontalAlign>(e.align));
            label->setText(e.text);
            return label;
        }
        default:
            return nullptr;
    }
    if (e.tag != -1) control->setValue(values_ ? values_(e.tag) : 0.0f);
    return control;
}

}  // namespace vorlatek::editor
