#pragma once
// One line of text with a font index (0..7), a font colour, a background colour (none when
// its alpha is 0 or the label is transparent), a frame colour (none when its alpha is 0) and
// a horizontal alignment, over an optional background bitmap. A label takes no clicks, so
// clicks reach what lies below it. Its text may hold any bytes; what cannot be shown as
// UTF-8 is drawn as U+FFFD.

#include <string>
#include <string_view>

#include "toolkit/CControl.h"
#include "toolkit/Fonts.h"

namespace vorlatek::toolkit {

class CTextLabel : public CControl {
public:
    explicit CTextLabel(const Rect& size, std::string_view text = {}, Ref<CBitmap> background = nullptr);

    virtual void setText(std::string_view text);
    const std::string& text() const { return text_; }

    void setFont(int font);
    int font() const { return font_; }
    void setFontColor(Color color);
    Color fontColor() const { return fontColor_; }
    void setBackColor(Color color);
    Color backColor() const { return backColor_; }
    void setFrameColor(Color color);
    Color frameColor() const { return frameColor_; }
    void setHoriAlign(HorizontalAlign align);
    HorizontalAlign horiAlign() const { return align_; }

    void draw(DrawContext& context) override;

protected:
    void drawBackground(DrawContext& context);
    // The label's text as drawn: `shown` at the label's font, colour and alignment.
    void drawLine(DrawContext& context, std::string_view shown);

    std::string text_;

private:
    int font_ = kNormalFont;
    Color fontColor_ = kBlack;
    Color backColor_ = kTransparent;
    Color frameColor_ = {0, 0, 0, 0};
    HorizontalAlign align_ = HorizontalAlign::Center;
};

}  // namespace vorlatek::toolkit
