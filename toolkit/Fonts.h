#pragma once
// The eight font indices of the layout, mapped to DejaVu Sans and DejaVu Sans Mono at fixed
// pixel sizes. The faces are read from their files and drawn with fixed antialiasing and no
// hinting, so text looks the same in the window and in headless pictures on every machine.

#include <cairo.h>

#include <string_view>

#include "toolkit/Geometry.h"

namespace vorlatek::toolkit {

enum FontIndex {
    kSystemFont = 0,
    kNormalFontVeryBig = 1,
    kNormalFontBig = 2,
    kNormalFont = 3,
    kNormalFontSmall = 4,
    kNormalFontSmaller = 5,
    kNormalFontVerySmall = 6,
    kSymbolFont = 7,
};
inline constexpr int kFontCount = 8;

enum class HorizontalAlign { Left = 0, Center = 1, Right = 2 };

class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // Sets font `index` (clamped to 0..7) and the fixed rendering options on `cr`.
    void select(cairo_t* cr, int index) const;
    static double pixelSize(int index);

    // Width of a valid UTF-8 text in logical pixels.
    double textWidth(std::string_view text, int index) const;
    // Ascent and descent of a font in logical pixels.
    double ascent(int index) const;
    double descent(int index) const;

private:
    cairo_font_face_t* faces_[3] = {};  // sans, sans bold, mono
    cairo_font_options_t* options_ = nullptr;
    cairo_surface_t* scratchSurface_ = nullptr;
    cairo_t* scratch_ = nullptr;  // for measuring outside a paint
};

}  // namespace vorlatek::toolkit
