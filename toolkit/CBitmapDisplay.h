#pragma once
// A row of character cells drawn from a bitmap font: G glyphs of equal height stacked in one
// strip, glyph k showing character code 32 + k (space first). Each cell is a CExMovieBitmap
// with the display's listener and tag, so a click on the text is reported; cells and the
// display take clicks a little beyond their edges (3 pixels left and right, 4 above and
// below) so a thin line of text is easy to hit. The display can alternate with a second text,
// blinking like the panel's LEDs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Blink.h"
#include "toolkit/CExMovieBitmap.h"
#include "toolkit/CViewContainer.h"

namespace vorlatek::toolkit {

class CBitmapDisplay : public CViewContainer {
public:
    static constexpr std::size_t kMaxText = 128;
    static constexpr int kMaxCells = 128;
    static constexpr int kHitMarginX = 3;
    static constexpr int kHitMarginY = 4;

    CBitmapDisplay(const Rect& size, Ref<CBitmap> font, int chars, int glyphs, IControlListener* listener, int tag);

    int cellCount() const { return int(cells_.size()); }
    CExMovieBitmap* cell(int k) const;
    int tag() const { return tag_; }

    // Up to 128 bytes of `text` become the main text.
    void setText(std::string_view text);
    const std::string& text() const { return text_; }

    // Alternates with `text` (none: blank cells) until stopped or `duration` ms have passed.
    void showAlternate(std::optional<std::string_view> text, std::uint32_t onTime = 500, std::uint32_t offTime = 500,
                       std::uint32_t duration = Blink::kForever);
    void stopAlternate();
    // Follows the frame's tick count while alternating.
    void advance();
    bool isAlternating() const { return blink_.active; }
    const std::string& alternateText() const { return alternate_; }
    // The text the cells show now.
    const std::string& shownText() const { return blink_.showsAlternate() ? alternate_ : text_; }

    // Sets every cell from the shown text.
    void redrawCells();

private:
    std::vector<Ref<CExMovieBitmap>> cells_;
    int tag_;
    std::string text_;
    std::string alternate_;
    Blink blink_;
};

}  // namespace vorlatek::toolkit
