#pragma once
// What a view draws with: a cairo context already scaled to logical pixels, the fonts, and
// the visible area. While a view draws, the origin is its parent's top-left corner, so a view
// draws at its own rect(); containers move the origin for their children.

#include <cairo.h>

#include <string_view>

#include "toolkit/Color.h"
#include "toolkit/Fonts.h"
#include "toolkit/Geometry.h"

namespace vorlatek::toolkit {

class DrawContext {
public:
    DrawContext(cairo_t* cr, const Fonts& fonts, double scale, const Rect& visible)
        : cr_(cr), fonts_(fonts), scale_(scale), visible_(visible) {}

    cairo_t* cairo() const { return cr_; }
    const Fonts& fonts() const { return fonts_; }
    double scale() const { return scale_; }

    // Whether anything of `r` (current coordinates) can show.
    bool isVisible(const Rect& r) const { return r.intersects(visible_); }

    // Limits drawing to `clip` and then moves the origin by `offset` (both in current
    // coordinates) for as long as the scope lives.
    class Scope {
    public:
        Scope(DrawContext& context, Point offset, const Rect& clip);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DrawContext& context_;
        Rect savedVisible_;
    };
    const Rect& visible() const { return visible_; }

    void fillRect(const Rect& r, Color color);
    void frameRect(const Rect& r, Color color);
    // One line of text in `r`, vertically centred, clipped to `r`. `text` may hold any bytes.
    void drawText(std::string_view text, const Rect& r, int font, Color color, HorizontalAlign align,
                  int padding = 2);
    // Text starting at horizontal position x, with its baseline centred in r vertically.
    void drawTextAt(std::string_view validText, double x, const Rect& r, int font, Color color);
    double baseline(const Rect& r, int font) const;

private:
    void setColor(Color color);

    cairo_t* cr_;
    const Fonts& fonts_;
    double scale_;
    Rect visible_;
};

}  // namespace vorlatek::toolkit
