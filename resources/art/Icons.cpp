// Small vector icons printed on buttons, each fitted into a square of `size` pixels.

#include "resources/art/Widgets.h"

#include <cmath>

namespace vorlatek::art {

namespace {

void triangle(cairo_t* cr, double cx, double cy, double s, double direction) {
    cairo_move_to(cr, cx + direction * s * 0.5, cy);
    cairo_line_to(cr, cx - direction * s * 0.4, cy - s * 0.5);
    cairo_line_to(cr, cx - direction * s * 0.4, cy + s * 0.5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void stroke(cairo_t* cr, double width) {
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

}  // namespace

void drawIcon(cairo_t* cr, Icon icon, double cx, double cy, double s, Rgb color) {
    cairo_save(cr);
    setColor(cr, color);
    const double line = std::max(1.2, s * 0.13);
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Play:
        triangle(cr, cx + s * 0.05, cy, s * 0.9, 1);
        break;
    case Icon::Stop:
        cairo_rectangle(cr, cx - s * 0.36, cy - s * 0.36, s * 0.72, s * 0.72);
        cairo_fill(cr);
        break;
    case Icon::Left:
        triangle(cr, cx, cy, s * 0.8, -1);
        break;
    case Icon::Right:
        triangle(cr, cx, cy, s * 0.8, 1);
        break;
    case Icon::ShiftLeft:
    case Icon::ShiftRight: {
        const double d = icon == Icon::ShiftLeft ? -1 : 1;
        cairo_move_to(cr, cx - d * s * 0.45, cy);
        cairo_line_to(cr, cx + d * s * 0.2, cy);
        stroke(cr, line);
        triangle(cr, cx + d * s * 0.22, cy, s * 0.5, d);
        cairo_move_to(cr, cx + d * s * 0.5, cy - s * 0.4);
        cairo_line_to(cr, cx + d * s * 0.5, cy + s * 0.4);
        stroke(cr, line);
        break;
    }
    case Icon::Copy:
        roundedRect(cr, cx - s * 0.45, cy - s * 0.45, s * 0.55, s * 0.65, s * 0.08);
        stroke(cr, line);
        roundedRect(cr, cx - s * 0.1, cy - s * 0.2, s * 0.55, s * 0.65, s * 0.08);
        cairo_fill(cr);
        break;
    case Icon::Paste:
        roundedRect(cr, cx - s * 0.38, cy - s * 0.38, s * 0.76, s * 0.86, s * 0.08);
        stroke(cr, line);
        roundedRect(cr, cx - s * 0.18, cy - s * 0.5, s * 0.36, s * 0.22, s * 0.06);
        cairo_fill(cr);
        for (int k = 0; k < 2; ++k) {
            cairo_move_to(cr, cx - s * 0.2, cy + s * (0.02 + 0.22 * k));
            cairo_line_to(cr, cx + s * 0.2, cy + s * (0.02 + 0.22 * k));
        }
        stroke(cr, line * 0.8);
        break;
    case Icon::Clear:
    case Icon::Close:
        cairo_move_to(cr, cx - s * 0.35, cy - s * 0.35);
        cairo_line_to(cr, cx + s * 0.35, cy + s * 0.35);
        cairo_move_to(cr, cx + s * 0.35, cy - s * 0.35);
        cairo_line_to(cr, cx - s * 0.35, cy + s * 0.35);
        stroke(cr, line * 1.2);
        break;
    case Icon::Undo:
        cairo_arc(cr, cx + s * 0.05, cy + s * 0.08, s * 0.36, -M_PI * 0.95, M_PI * 0.6);
        stroke(cr, line);
        cairo_move_to(cr, cx - s * 0.52, cy - s * 0.12);
        cairo_line_to(cr, cx - s * 0.3, cy + s * 0.24);
        cairo_line_to(cr, cx - s * 0.08, cy - s * 0.1);
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    case Icon::List:
        for (int k = -1; k <= 1; ++k) {
            cairo_arc(cr, cx - s * 0.38, cy + k * s * 0.32, s * 0.07, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_move_to(cr, cx - s * 0.2, cy + k * s * 0.32);
            cairo_line_to(cr, cx + s * 0.45, cy + k * s * 0.32);
            stroke(cr, line);
        }
        break;
    case Icon::Info:
        cairo_arc(cr, cx, cy, s * 0.48, 0, 2 * M_PI);
        stroke(cr, line * 0.9);
        cairo_arc(cr, cx, cy - s * 0.22, s * 0.07, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_move_to(cr, cx, cy - s * 0.04);
        cairo_line_to(cr, cx, cy + s * 0.28);
        stroke(cr, line * 1.1);
        break;
    case Icon::Ellipsis:
        for (int k = -1; k <= 1; ++k) {
            cairo_arc(cr, cx + k * s * 0.32, cy, s * 0.09, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        break;
    case Icon::Folder:
        cairo_move_to(cr, cx - s * 0.5, cy + s * 0.38);
        cairo_line_to(cr, cx - s * 0.5, cy - s * 0.34);
        cairo_line_to(cr, cx - s * 0.14, cy - s * 0.34);
        cairo_line_to(cr, cx - s * 0.04, cy - s * 0.22);
        cairo_line_to(cr, cx + s * 0.42, cy - s * 0.22);
        cairo_line_to(cr, cx + s * 0.42, cy - s * 0.06);
        stroke(cr, line * 0.9);
        cairo_move_to(cr, cx - s * 0.5, cy + s * 0.38);
        cairo_line_to(cr, cx - s * 0.3, cy - s * 0.06);
        cairo_line_to(cr, cx + s * 0.56, cy - s * 0.06);
        cairo_line_to(cr, cx + s * 0.38, cy + s * 0.38);
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    case Icon::Disk:
        roundedRect(cr, cx - s * 0.42, cy - s * 0.42, s * 0.84, s * 0.84, s * 0.1);
        stroke(cr, line * 0.9);
        cairo_rectangle(cr, cx - s * 0.2, cy - s * 0.42, s * 0.4, s * 0.28);
        cairo_fill(cr);
        cairo_rectangle(cr, cx - s * 0.26, cy + s * 0.06, s * 0.52, s * 0.3);
        cairo_fill(cr);
        break;
    }
    cairo_restore(cr);
}

}  // namespace vorlatek::art
