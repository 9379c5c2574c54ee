// Controls of the windows: light buttons, radios and checkboxes printed on cream cards, and
// the bitmaps of the option menus.

#include "resources/art/Palette.h"
#include "resources/art/Widgets.h"

#include <algorithm>
#include <cmath>

namespace vorlatek::art {

namespace {

const TextStyle kButtonText{Face::SansBold, 8, 0.5, 0.92};

}  // namespace

void drawWindowButton(cairo_t* cr, Cell cell, Icon icon, const std::string& text, bool lit, bool pressed) {
    const double x = 1, y = 1, w = cell.w - 2, h = cell.h - 3;
    const Rgb face = lit ? palette::kBrand : palette::kWindowButton;
    const Rgb low = lit ? shade(palette::kBrand, -0.2) : palette::kWindowButtonLow;
    roundedRect(cr, x, y + 1, w, h, 3);
    cairo_set_source_rgba(cr, 0, 0, 0, pressed ? 0.12 : 0.28);
    cairo_fill(cr);
    const double sink = pressed ? 1 : 0;
    roundedRect(cr, x, y + sink, w, h, 3);
    fillVertical(cr, y, y + h, pressed ? shade(face, -0.08) : face, pressed ? shade(low, -0.05) : low);
    roundedRect(cr, x + 0.5, y + 0.5 + sink, w - 1, h - 1, 2.6);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
    cairo_stroke(cr);
    const Rgb ink = lit ? hex(0x1a1a1a) : palette::kInk;
    if (icon != Icon::None) drawIcon(cr, icon, x + w / 2, y + h / 2 + sink, h * 0.5, ink);
    else drawTextIn(cr, kButtonText, text, x, y + sink, w, h, ink);
}

void drawRadio(cairo_t* cr, Cell cell, bool on) {
    const double cx = cell.w / 2, cy = cell.h / 2, r = std::min(cell.w, cell.h) / 2 - 1;
    cairo_arc(cr, cx, cy + 0.4, r, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.15);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r - 0.3, 0, 2 * M_PI);
    fillAndStroke(cr, palette::kField, palette::kInkDim, 1.1);
    if (on) {
        cairo_arc(cr, cx, cy, r * 0.48, 0, 2 * M_PI);
        fillAndStroke(cr, palette::kBrand, shade(palette::kBrand, -0.4), 0.8);
    }
}

void drawCheckbox(cairo_t* cr, Cell cell, bool on) {
    const double s = std::min(cell.w, cell.h) - 2, x = (cell.w - s) / 2, y = (cell.h - s) / 2;
    roundedRect(cr, x + 0.5, y + 0.5, s - 1, s - 1, 2);
    fillAndStroke(cr, palette::kField, palette::kInkDim, 1.1);
    if (on) {
        cairo_move_to(cr, x + s * 0.22, y + s * 0.52);
        cairo_line_to(cr, x + s * 0.43, y + s * 0.74);
        cairo_line_to(cr, x + s * 0.8, y + s * 0.26);
        cairo_set_line_width(cr, 2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        setColor(cr, palette::kBrand);
        cairo_stroke(cr);
    }
}

void drawCardCaption(cairo_t* cr, Cell cell, const std::string& text) {
    const TextStyle style{Face::SansBold, 7.5, 0.5, 0.92};
    drawText(cr, style, text, 1, cell.h / 2 + capHeight(style) / 2, Align::Left, palette::kInk);
}

void drawMenuButton(cairo_t* cr, Cell cell, Icon icon, const std::string& text, bool open, bool onCard,
                    bool enabled) {
    if (onCard) {
        // A light button with a legend and a drop-down mark.
        drawWindowButton(cr, cell, Icon::None, "", open, false);
        const TextStyle style{Face::SansBold, 7.5, 0.4, 0.92};
        const Rgb ink = open ? hex(0x1a1a1a) : palette::kInk;
        drawText(cr, style, text, 6, cell.h / 2 + capHeight(style) / 2 - 0.5, Align::Left, ink);
        const double ax = cell.w - 9, ay = cell.h / 2 - 0.5;
        cairo_move_to(cr, ax - 3, ay - 1.5);
        cairo_line_to(cr, ax + 3, ay - 1.5);
        cairo_line_to(cr, ax, ay + 2);
        cairo_close_path(cr);
        setColor(cr, ink);
        cairo_fill(cr);
        return;
    }
    // On the dark top bar: a cap with an icon and a legend below it.
    const double x = 2, y = 2, w = cell.w - 4, h = cell.h - 5;
    cap(cr, x, y, w, h, 3, open ? shade(palette::kCap, 0.15) : palette::kCap, palette::kCapLow, open);
    const double sink = open ? 1 : 0;
    const Rgb ink = enabled ? palette::kPrint : shade(palette::kPrintDim, -0.35);
    drawIcon(cr, icon, x + w / 2, y + h * 0.38 + sink, w * 0.42, ink);
    const TextStyle style{Face::SansBold, 6.5, 0.4, 0.9};
    drawTextIn(cr, style, text, x, y + h * 0.66 + sink, w, h * 0.26, ink);
    if (open) {
        roundedRect(cr, x + 1, y + 1 + sink, w - 2, h - 2, 2.5);
        setColor(cr, palette::kBrand, 0.8);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

}  // namespace vorlatek::art
