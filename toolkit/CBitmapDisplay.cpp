#include "toolkit/CBitmapDisplay.h"

#include <algorithm>

namespace vorlatek::toolkit {

namespace {

constexpr int kFirstCode = 32;
constexpr float kCodeSpan = 95.0f;

}  // namespace

CBitmapDisplay::CBitmapDisplay(const Rect& size, Ref<CBitmap> font, int chars, int glyphs,
                               IControlListener* listener, int tag)
    : CViewContainer(size), tag_(tag) {
    const int glyphWidth = font ? font->width() : 0;
    const int glyphHeight = font && glyphs > 0 ? font->height() / glyphs : 0;
    const int count = std::clamp(chars, 0, kMaxCells);
    for (int k = 0; k < count; ++k) {
        const Rect cellRect = Rect::fromSize(k * glyphWidth, 0, glyphWidth, glyphHeight);
        auto cell = make<CExMovieBitmap>(cellRect, listener, tag, glyphs, glyphHeight, font);
        cell->setMouseableArea(cellRect.inset(-kHitMarginX, -kHitMarginY));
        attach(cell);
        cells_.push_back(std::move(cell));
    }
    setMouseableArea(size.inset(-kHitMarginX, -kHitMarginY));
    setTransparency(true);
}

CExMovieBitmap* CBitmapDisplay::cell(int k) const {
    return k >= 0 && k < cellCount() ? cells_[std::size_t(k)].get() : nullptr;
}

void CBitmapDisplay::setText(std::string_view text) {
    text_.assign(text.substr(0, kMaxText));
    redrawCells();
}

void CBitmapDisplay::showAlternate(std::optional<std::string_view> text, std::uint32_t onTime, std::uint32_t offTime,
                                   std::uint32_t duration) {
    blink_.begin(onTime, offTime, duration);
    alternate_.assign(text ? text->substr(0, kMaxText) : std::string_view());
    advance();
    redrawCells();  // the phase may be the one of an earlier blink: show this one as it is
}

void CBitmapDisplay::stopAlternate() {
    blink_.active = false;
    redrawCells();
}

void CBitmapDisplay::advance() {
    if (blink_.advanceShownIn(*this)) redrawCells();
}

void CBitmapDisplay::redrawCells() {
    const std::string& shown = shownText();
    for (std::size_t k = 0; k < cells_.size(); ++k) {
        float v = 0.0f;
        if (k < shown.size()) v = float(static_cast<unsigned char>(shown[k]) - kFirstCode) / kCodeSpan;
        cells_[k]->setValue(v);
    }
}

}  // namespace vorlatek::toolkit
