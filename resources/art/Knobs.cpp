// Knobs: a black skirted knob with an ivory pointer line and a coloured centre, and a
// bar-shaped selector for switched positions. Scales and legends are printed on the panel.

#include "resources/art/Palette.h"
#include "resources/art/Widgets.h"

#include <algorithm>
#include <cmath>

namespace vorlatek::art {

namespace {

void knobBody(cairo_t* cr, double cx, double cy, double r) {
    // Shadow on the panel.
    cairo_arc(cr, cx + 0.3, cy + 1.6, r + 0.8, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    // Skirt.
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    fillLinear(cr, cx - r, cy - r, cx + r, cy + r, shade(palette::kKnob, 0.16), shade(palette::kKnob, -0.45));
    // Rim catching the light from above.
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, cy - r, 0, cy + r);
    cairo_pattern_add_color_stop_rgba(rim, 0, palette::kKnobRim.r, palette::kKnobRim.g, palette::kKnobRim.b, 0.9);
    cairo_pattern_add_color_stop_rgba(rim, 1, 0, 0, 0, 0.6);
    cairo_arc(cr, cx, cy, r - 0.5, 0, 2 * M_PI);
    cairo_set_line_width(cr, 1);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    // Top face, a little lighter, turned towards the light.
    const double top = r * 0.74;
    cairo_arc(cr, cx, cy, top, 0, 2 * M_PI);
    fillLinear(cr, cx - top, cy - top, cx + top * 0.6, cy + top, shade(palette::kKnob, 0.2),
               shade(palette::kKnob, -0.25));
    cairo_arc(cr, cx, cy, top, 0, 2 * M_PI);
    cairo_set_line_width(cr, 0.7);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_stroke(cr);
}

}  // namespace

double knobAngle(double value) { return (-135.0 + 270.0 * std::clamp(value, 0.0, 1.0)) * M_PI / 180.0; }

double selectorAngle(int position, int positions) {
    const double t = positions > 1 ? double(position) / (positions - 1) : 0;
    return (-110.0 + 220.0 * t) * M_PI / 180.0;
}

void drawKnob(cairo_t* cr, Cell cell, double value, Rgb capColor) {
    const double cx = cell.w / 2, cy = cell.h / 2;
    const double r = std::min(cell.w, cell.h) / 2 - 4.5;
    knobBody(cr, cx, cy, r);
    const double a = knobAngle(value);
    const double dx = std::sin(a), dy = -std::cos(a);
    // Pointer: a line across the face and the skirt.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx + dx * r * 0.3, cy + dy * r * 0.3);
    cairo_line_to(cr, cx + dx * (r - 1.2), cy + dy * (r - 1.2));
    cairo_set_line_width(cr, 2.6);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + dx * r * 0.3, cy + dy * r * 0.3);
    cairo_line_to(cr, cx + dx * (r - 1.2), cy + dy * (r - 1.2));
    cairo_set_line_width(cr, 1.7);
    setColor(cr, palette::kPointer);
    cairo_stroke(cr);
    // Coloured centre.
    const double c = r * 0.24;
    cairo_arc(cr, cx, cy, c, 0, 2 * M_PI);
    cairo_pattern_t* dot = cairo_pattern_create_radial(cx - c * 0.3, cy - c * 0.4, 0, cx, cy, c);
    const Rgb hi = shade(capColor, 0.35), lo = shade(capColor, -0.25);
    cairo_pattern_add_color_stop_rgb(dot, 0, hi.r, hi.g, hi.b);
    cairo_pattern_add_color_stop_rgb(dot, 1, lo.r, lo.g, lo.b);
    cairo_set_source(cr, dot);
    cairo_fill(cr);
    cairo_pattern_destroy(dot);
}

void drawSelector(cairo_t* cr, Cell cell, int position, int positions) {
    const double cx = cell.w / 2, cy = cell.h / 2;
    const double r = std::min(cell.w, cell.h) / 2 - 6;
    knobBody(cr, cx, cy, r);
    const double a = selectorAngle(position, positions);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, a);
    // The bar, longer on the pointing side.
    const double len = r + 3.5, back = r * 0.85, half = 3.6;
    roundedRect(cr, -half + 0.4, -len + 1.2, 2 * half, len + back, half);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    roundedRect(cr, -half, -len, 2 * half, len + back, half);
    fillLinear(cr, -half, 0, half, 0, shade(palette::kKnob, 0.3), shade(palette::kKnob, -0.4));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 0, -len + 2);
    cairo_line_to(cr, 0, -r * 0.25);
    cairo_set_line_width(cr, 1.6);
    setColor(cr, palette::kPointer);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace vorlatek::art
