// The displays: seven-segment digits with a slight forward lean, the output numbers, and the
// 5 x 7 dot-matrix font of the pattern name. Unlit segments and dots show faintly through the
// glass, as on a real LED display.

#include "resources/art/DotFont.h"
#include "resources/art/Palette.h"
#include "resources/art/Widgets.h"

#include <cmath>
#include <cstdio>

namespace vorlatek::art {

namespace {

// Segments a..g as bits 0..6.
int segmentsOf(char glyph) {
    switch (glyph) {
    case '0': return 0x3f;
    case '1': return 0x06;
    case '2': return 0x5b;
    case '3': return 0x4f;
    case '4': return 0x66;
    case '5': return 0x6d;
    case '6': return 0x7d;
    case '7': return 0x07;
    case '8': return 0x7f;
    case '9': return 0x6f;
    case 'A': return 0x77;
    case 'B': return 0x7c;  // b
    case 'C': return 0x39;
    case 'D': return 0x5e;  // d
    case 'E': return 0x79;
    case 'F': return 0x71;
    case 'G': return 0x3d;
    case '-': return 0x40;
    default: return 0;
    }
}

// A segment as a hexagon between two points on one axis.
void segment(cairo_t* cr, double x0, double y0, double x1, double y1, double t) {
    const double h = t / 2;
    if (y0 == y1) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0 + h, y0 - h);
        cairo_line_to(cr, x1 - h, y0 - h);
        cairo_line_to(cr, x1, y0);
        cairo_line_to(cr, x1 - h, y0 + h);
        cairo_line_to(cr, x0 + h, y0 + h);
    } else {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0 + h, y0 + h);
        cairo_line_to(cr, x0 + h, y1 - h);
        cairo_line_to(cr, x0, y1);
        cairo_line_to(cr, x0 - h, y1 - h);
        cairo_line_to(cr, x0 - h, y0 + h);
    }
    cairo_close_path(cr);
}

void paintLit(cairo_t* cr, double glowWidth) {
    // A soft bloom around lit segments, then the segments themselves with a hot core.
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = 3; i >= 1; --i) {
        cairo_new_path(cr);
        cairo_append_path(cr, path);
        cairo_set_line_width(cr, glowWidth * i / 3);
        setColor(cr, palette::kSegmentOn, 0.13);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    setColor(cr, palette::kSegmentOn);
    cairo_fill(cr);
    cairo_path_destroy(path);
}

// Sharp sign and note sign, in the segments' stroke.
void sharpSign(cairo_t* cr, double x, double y, double w, double h, double t) {
    const double l = x + w * 0.3, r = x + w * 0.72;
    cairo_set_line_width(cr, t * 0.85);
    cairo_move_to(cr, l + w * 0.05, y + h * 0.12);
    cairo_line_to(cr, l - w * 0.05, y + h * 0.88);
    cairo_move_to(cr, r + w * 0.05, y + h * 0.08);
    cairo_line_to(cr, r - w * 0.05, y + h * 0.84);
    cairo_move_to(cr, x + w * 0.08, y + h * 0.4);
    cairo_line_to(cr, x + w * 0.95, y + h * 0.3);
    cairo_move_to(cr, x + w * 0.05, y + h * 0.7);
    cairo_line_to(cr, x + w * 0.92, y + h * 0.6);
}

void noteSign(cairo_t* cr, double x, double y, double w, double h, double t) {
    const double stemX = x + w * 0.62;
    cairo_save(cr);
    cairo_translate(cr, x + w * 0.42, y + h * 0.78);
    cairo_scale(cr, 1.3, 1);
    cairo_arc(cr, 0, 0, w * 0.2, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_rectangle(cr, stemX - t * 0.35, y + h * 0.12, t * 0.7, h * 0.66);
    cairo_move_to(cr, stemX, y + h * 0.12);
    cairo_curve_to(cr, stemX + w * 0.1, y + h * 0.3, x + w * 0.98, y + h * 0.3, x + w * 0.9, y + h * 0.55);
    cairo_curve_to(cr, x + w * 0.88, y + h * 0.38, stemX + w * 0.1, y + h * 0.35, stemX, y + h * 0.3);
    cairo_close_path(cr);
}

}  // namespace

void drawSegmentGlyph(cairo_t* cr, char glyph, double x, double y, double w, double h, double t) {
    cairo_save(cr);
    // Lean the digit forward about the middle of its height.
    cairo_matrix_t lean;
    cairo_matrix_init(&lean, 1, 0, -0.1, 1, 0.1 * (y + h / 2), 0);
    cairo_transform(cr, &lean);
    const double g = t * 0.22;  // gap between segments
    const double L = x + t / 2, R = x + w - t / 2, T = y + t / 2, B = y + h - t / 2, M = (T + B) / 2;
    const double ends[7][4] = {{L, T, R, T}, {R, T, R, M}, {R, M, R, B}, {L, B, R, B},
                               {L, M, L, B}, {L, T, L, M}, {L, M, R, M}};
    const int lit = segmentsOf(glyph);
    for (int pass = 0; pass < 2; ++pass) {
        cairo_new_path(cr);
        for (int s = 0; s < 7; ++s) {
            if (((lit >> s) & 1) != pass) continue;
            const auto& e = ends[s];
            const bool horizontal = e[1] == e[3];
            segment(cr, e[0] + (horizontal ? g : 0), e[1] + (horizontal ? 0 : g), e[2] - (horizontal ? g : 0),
                    e[3] - (horizontal ? 0 : g), t);
        }
        if (pass == 0) {
            setColor(cr, palette::kSegmentOff, 0.3);
            cairo_fill(cr);
        } else if (lit) {
            paintLit(cr, t * 1.6);
        }
    }
    if (glyph == '#' || glyph == 'n') {
        cairo_new_path(cr);
        if (glyph == '#') {
            sharpSign(cr, x, y, w, h, t);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_path_t* path = cairo_copy_path(cr);
            for (int i = 3; i >= 0; --i) {
                cairo_new_path(cr);
                cairo_append_path(cr, path);
                cairo_set_line_width(cr, t * 0.85 + (i ? t * 1.6 * i / 3 : 0));
                setColor(cr, palette::kSegmentOn, i ? 0.13 : 1);
                cairo_stroke(cr);
            }
            cairo_path_destroy(path);
        } else {
            noteSign(cr, x, y, w, h, t);
            paintLit(cr, t * 1.6);
        }
    }
    cairo_restore(cr);
}

void drawBigDigit(cairo_t* cr, Cell cell, char glyph) {
    drawSegmentGlyph(cr, glyph, 5, 4, cell.w - 10, cell.h - 8, 3.6);
}

void drawSmallDigit(cairo_t* cr, Cell cell, char glyph) {
    drawSegmentGlyph(cr, glyph, 1.6, 1.5, cell.w - 3.2, cell.h - 3, 1.35);
}

void drawOutputNumber(cairo_t* cr, Cell cell, int number) {
    drawGlass(cr, 0, 0, cell.w, cell.h);
    char text[8];
    std::snprintf(text, sizeof text, "%2d", number);
    const double dw = (cell.w - 4) / 2;
    for (int k = 0; k < 2; ++k)
        drawSegmentGlyph(cr, text[k], 2 + k * dw + 0.4, 2, dw - 0.8, cell.h - 4, 1.05);
}

void drawDotGlyph(cairo_t* cr, Cell cell, int code) {
    const auto& rows = dotGlyph(code);
    // One dot per pixel at scale 1; rounded dots where the scale gives them room.
    double unit = 1, dummy = 0;
    cairo_user_to_device_distance(cr, &unit, &dummy);
    const bool round = unit >= 1.5;
    const double x0 = std::floor((cell.w - 5) / 2), y0 = std::floor((cell.h - 7) / 2);
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
            const bool on = rows[row][col] == '#';
            if (round) cairo_arc(cr, x0 + col + 0.5, y0 + row + 0.5, 0.45, 0, 2 * M_PI);
            else cairo_rectangle(cr, x0 + col, y0 + row, 1, 1);
            setColor(cr, on ? palette::kSegmentOn : palette::kSegmentOff, on ? 1 : 0.3);
            cairo_fill(cr);
        }
    }
}

void drawGlass(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x, y, w, h, 2);
    setColor(cr, hex(0x050506));
    cairo_fill(cr);
    // Flat glass: the text fields that sit on it paint the same colour over their own
    // rectangles, so nothing may shade its middle.
    roundedRect(cr, x + 1, y + 1, w - 2, h - 2, 1.5);
    setColor(cr, palette::kGlass);
    cairo_fill(cr);
    // The bezel's shadow along the top edge.
    cairo_rectangle(cr, x + 1, y + 1, w - 2, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
}

}  // namespace vorlatek::art
