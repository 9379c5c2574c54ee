#pragma once
// Drawing helpers shared by every piece of art: colours, shapes, lamps and text. All
// drawing is in scale-1 pixels; a bitmap is rendered at scale 2 by scaling the cairo context,
// so every shape stays a vector and every scale is sharp.

#include <cairo.h>

#include <cstdint>
#include <string>

namespace vorlatek::art {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

constexpr Rgb hex(std::uint32_t v) {
    return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0};
}
// The colour moved towards white (amount > 0) or black (amount < 0).
Rgb shade(Rgb c, double amount);
Rgb mix(Rgb a, Rgb b, double t);

void setColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A vertical gradient from `top` to `bottom` over the given band.
void fillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);
// Fills the current path with a gradient from `a` at (x0, y0) to `b` at (x1, y1).
void fillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb a, Rgb b);
// Fills the current path and strokes its outline.
void fillAndStroke(cairo_t* cr, Rgb fill, Rgb line, double width);
// A round lamp: lit ones glow into their surroundings, dark ones show a faint lens.
// `reach` is how far the glow may spread from the centre (it must stay inside the bitmap).
void lamp(cairo_t* cr, double cx, double cy, double r, Rgb color, bool lit, double reach = 0);
// A rectangular lamp (a bar or a pad) in the same manner.
void barLamp(cairo_t* cr, double x, double y, double w, double h, Rgb color, bool lit);
// A button cap with a bevel: light from above, a soft shadow below; `pressed` sinks it.
void cap(cairo_t* cr, double x, double y, double w, double h, double r, Rgb face, Rgb low, bool pressed);

enum class Face { Sans, SansBold, Mono, MonoBold };
enum class Align { Left, Center, Right };

struct TextStyle {
    Face face = Face::SansBold;
    double size = 7;        // em size in pixels
    double tracking = 0;    // extra space after each character, in pixels
    double condense = 1;    // horizontal squeeze of the glyphs
};

// Width of a text as `drawText` sets it.
double textWidth(cairo_t* cr, const TextStyle& style, const std::string& text);
// Draws UTF-8 text on a baseline; x is the left edge, the centre or the right edge.
void drawText(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double baseline,
              Align align, Rgb color, double alpha = 1.0);
// Draws text centred in a box, capital letters centred vertically.
void drawTextIn(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double y, double w,
                double h, Rgb color, double alpha = 1.0);
// Height of capital letters for a style.
double capHeight(const TextStyle& style);

// Fonts are the DejaVu files of the system, opened by path so that every machine draws the
// same glyphs. Fails loudly when a file is missing.
void loadFonts(const std::string& directory);
void releaseFonts();

}  // namespace vorlatek::art
