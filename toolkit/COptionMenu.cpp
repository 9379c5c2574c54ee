#include "toolkit/COptionMenu.h"

#include "toolkit/CFrame.h"
#include "toolkit/CMenuPopup.h"
#include "toolkit/DrawContext.h"

namespace vorlatek::toolkit {

COptionMenu::COptionMenu(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap,
                         Ref<CBitmap> openBitmap, unsigned style)
    : CTextLabel(size), openBitmap_(std::move(openBitmap)), style_(style) {
    setListener(listener);
    setTag(tag);
    setBitmap(std::move(bitmap));
    setMouseEnabled(true);
    setMaximum(0.0f);
    setFontColor(kWhite);
}

void COptionMenu::addEntry(std::string_view text) {
    entries_.emplace_back(text);
    setMaximum(float(entries_.size() - 1));
}

void COptionMenu::removeAllEntries() {
    if (CFrame* f = frame(); f && f->popupOwner() == this) f->closePopup();
    entries_.clear();
    lastResult_ = -1;
    setMaximum(0.0f);
    setValue(0.0f);
    setDirty();
}

const std::string& COptionMenu::entry(int index) const {
    static const std::string none;
    return index >= 0 && index < entryCount() ? entries_[std::size_t(index)] : none;
}

bool COptionMenu::isOpen() const {
    const CFrame* f = frame();
    return f && f->popupOwner() == this;
}

bool COptionMenu::open() {
    CFrame* f = frame();
    if (!f || entries_.empty()) return false;
    f->openPopup(make<CMenuPopup>(*this), this);
    return true;
}

void COptionMenu::choose(int index) {
    if (index < 0 || index >= entryCount()) return;
    lastResult_ = index;
    beginEdit();
    setValue(float(index));
    setDirty();
    reportValue();
    endEdit();
}

void COptionMenu::draw(DrawContext& context) {
    CBitmap* shown = isOpen() && openBitmap_ ? openBitmap_.get() : bitmap();
    if (shown) shown->draw(context, rect(), {}, bitmapMode());
    drawBackground(context);
    if (!(style_ & kNoTextStyle)) drawLine(context, entry(lastResult_));
}

MouseResult COptionMenu::mouseDown(const MouseEvent& event) {
    if (!(event.buttons & (kLButton | kRButton))) return MouseResult::Ignored;
    open();
    return MouseResult::Handled;
}

}  // namespace vorlatek::toolkit
