#include "toolkit/CTextLabel.h"

#include <algorithm>

#include "toolkit/DrawContext.h"

namespace vorlatek::toolkit {

CTextLabel::CTextLabel(const Rect& size, std::string_view text, Ref<CBitmap> background)
    : CControl(size), text_(text) {
    setBackground(std::move(background));
    setMouseEnabled(false);
}

void CTextLabel::setText(std::string_view text) {
    if (text == text_) return;
    text_.assign(text);
    setDirty();
}

void CTextLabel::setFont(int font) {
    font_ = std::clamp(font, 0, kFontCount - 1);
    setDirty();
}

void CTextLabel::setFontColor(Color color) {
    fontColor_ = color;
    setDirty();
}

void CTextLabel::setBackColor(Color color) {
    backColor_ = color;
    setDirty();
}

void CTextLabel::setFrameColor(Color color) {
    frameColor_ = color;
    setDirty();
}

void CTextLabel::setHoriAlign(HorizontalAlign align) {
    align_ = align;
    setDirty();
}

void CTextLabel::drawBackground(DrawContext& context) {
    CView::draw(context);
    if (!transparent()) context.fillRect(rect(), backColor_);
    context.frameRect(rect(), frameColor_);
}

void CTextLabel::drawLine(DrawContext& context, std::string_view shown) {
    context.drawText(shown, rect(), font_, fontColor_, align_);
}

void CTextLabel::draw(DrawContext& context) {
    drawBackground(context);
    drawLine(context, text_);
}

}  // namespace vorlatek::toolkit
