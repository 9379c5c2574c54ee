// Buttons and lamps of the main panel: LED pads, caps with lamps, step keys, slide switches
// and the instruments' backlit name plates.

#include "resources/art/Palette.h"
#include "resources/art/Widgets.h"

#include <algorithm>
#include <cmath>

namespace vorlatek::art {

namespace {

const TextStyle kCapLegend{Face::SansBold, 7.5, 0.3, 0.9};

Rgb ledFace(Rgb led, bool lit) { return lit ? led : mix(led, palette::kCapLow, 0.82); }

}  // namespace

void drawSquareLedButton(cairo_t* cr, Cell cell, Rgb led, bool lit, const std::string& letter) {
    const double x = 1.5, y = 1, w = cell.w - 3, h = cell.h - 3.5;
    if (lit) {
        for (int i = 3; i >= 1; --i) {
            roundedRect(cr, x - i * 0.9, y - i * 0.9, w + i * 1.8, h + i * 1.8, 2.5 + i);
            setColor(cr, led, 0.12);
            cairo_fill(cr);
        }
    }
    cap(cr, x, y, w, h, 2.2, ledFace(led, lit), shade(ledFace(led, lit), lit ? -0.3 : -0.35), false);
    if (lit) {
        roundedRect(cr, x + 2, y + 1.5, w - 4, h * 0.35, 1.5);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.3);
        cairo_fill(cr);
    }
    const TextStyle style{Face::SansBold, 8, 0, 0.95};
    drawTextIn(cr, style, letter, x, y, w, h, lit ? shade(led, -0.72) : shade(led, -0.2), lit ? 0.9 : 0.75);
}

void drawRoundLed(cairo_t* cr, Cell cell, Rgb led, bool lit) {
    const double r = std::min(cell.w, cell.h) / 2 - 3.2;
    lamp(cr, cell.w / 2, cell.h / 2, r, led, lit, std::min(cell.w, cell.h) / 2);
}

void drawBarLed(cairo_t* cr, Cell cell, Rgb led, bool lit) {
    const double h = std::clamp(cell.h - 7, 3.0, 5.0);
    barLamp(cr, 3, (cell.h - h) / 2, cell.w - 6, h, led, lit);
}

void drawStateButton(cairo_t* cr, Cell cell, Rgb led, bool lit) {
    if (cell.h >= 24) {
        lamp(cr, cell.w / 2, 5.5, 3, led, lit);
        cap(cr, 2.5, 12, cell.w - 5, cell.h - 14.5, 2.5, palette::kCap, palette::kCapLow, false);
        return;
    }
    cap(cr, 1.5, 1, cell.w - 3, cell.h - 3.5, 2.2, palette::kCap, palette::kCapLow, false);
    lamp(cr, cell.w / 2, (cell.h - 2.5) / 2, 2.6, led, lit);
}

void drawSelectButton(cairo_t* cr, Cell cell, const std::string& code, Rgb family, bool lit) {
    const double x = 1, y = 1, w = cell.w - 2, h = cell.h - 3.5;
    cap(cr, x, y, w, h, 2.5, palette::kCap, palette::kCapLow, false);
    // Family colour along the top edge of the cap.
    roundedRect(cr, x + 3, y + 1.2, w - 6, 1.6, 0.8);
    setColor(cr, family, 0.85);
    cairo_fill(cr);
    lamp(cr, x + 6.5, y + h / 2 + 0.8, 2.3, palette::kLedAmber, lit);
    const TextStyle style{Face::SansBold, 8.5, 0.4, 0.92};
    drawTextIn(cr, style, code, x + 11, y + 1.5, w - 13, h - 1.5, lit ? palette::kPrint : palette::kPrintDim);
}

void drawModeButton(cairo_t* cr, Cell cell, const std::string& legend, bool lit, bool pressed) {
    const double x = 2, y = 2, w = cell.w - 4, h = cell.h - 5;
    cap(cr, x, y, w, h, 3, palette::kCap, palette::kCapLow, pressed);
    const double sink = pressed ? 1 : 0;
    const double lw = std::min(16.0, w - 12);
    barLamp(cr, x + (w - lw) / 2, y + 4.5 + sink, lw, 3.2, palette::kLedAmber, lit);
    if (!legend.empty()) {
        const TextStyle style{Face::SansBold, 15, 0, 1};
        drawTextIn(cr, style, legend, x, y + 9 + sink, w, h - 11, palette::kPrint, 0.92);
    }
}

void drawStepButton(cairo_t* cr, Cell cell, int step, int state, bool pressed) {
    // Beats in alternating ivory and sand, so that a bar reads as four groups of four.
    const bool ivory = (step / 4) % 2 == 0;
    const Rgb face = ivory ? palette::kCapIvory : palette::kCapSand;
    const Rgb low = ivory ? palette::kCapIvoryLow : palette::kCapSandLow;
    const double x = 2, y = 2, w = cell.w - 4, h = cell.h - 5;
    cap(cr, x, y, w, h, 3.5, face, low, pressed);
    const double sink = pressed ? 1 : 0;
    // The lamp window: dark glass, lit red for a step, white-hot with a wide glow for a
    // strong (accented) step.
    const double lx = x + 6, ly = y + 5 + sink, lw = w - 12, lh = 6.5;
    roundedRect(cr, lx - 1, ly - 1, lw + 2, lh + 2, 2.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    if (state == 0) {
        barLamp(cr, lx, ly, lw, lh, palette::kLedRed, false);
    } else {
        const Rgb color = state == 2 ? mix(palette::kLedRed, hex(0xffd27a), 0.35) : palette::kLedRed;
        barLamp(cr, lx, ly, lw, lh, color, true);
        if (state == 2) {
            roundedRect(cr, lx + 2, ly + 1.6, lw - 4, lh - 3.2, 1.2);
            cairo_set_source_rgba(cr, 1, 0.97, 0.85, 0.85);
            cairo_fill(cr);
        }
    }
    const TextStyle style{Face::SansBold, 10, 0, 0.95};
    drawTextIn(cr, style, std::to_string(step + 1), x, y + 14 + sink, w, h - 16, hex(0x2b2a27), 0.9);
}

void drawKickButton(cairo_t* cr, Cell cell, Icon icon, const std::string& legend, bool pressed) {
    const double x = 2, y = 2, w = cell.w - 4, h = cell.h - 5;
    cap(cr, x, y, w, h, 3, palette::kCap, palette::kCapLow, pressed);
    const double sink = pressed ? 1 : 0;
    const Rgb ink = pressed ? shade(palette::kPrint, -0.1) : palette::kPrint;
    if (icon != Icon::None && legend.empty()) {
        drawIcon(cr, icon, x + w / 2, y + h / 2 + sink, std::min(w, h) * 0.42, ink);
    } else if (icon != Icon::None) {
        drawIcon(cr, icon, x + w / 2, y + h * 0.38 + sink, std::min(w, h) * 0.34, ink);
        drawTextIn(cr, kCapLegend, legend, x, y + h * 0.62 + sink, w, h * 0.3, ink);
    } else {
        const TextStyle style{Face::SansBold, 9.5, 0.6, 0.92};
        drawTextIn(cr, style, legend, x, y + sink, w, h, ink);
    }
}

void drawSlideSwitch(cairo_t* cr, Cell cell, int position, int positions) {
    // The slot.
    const double sx = 2, sy = cell.h / 2 - 5, sw = cell.w - 4, sh = 10;
    roundedRect(cr, sx, sy, sw, sh, 4);
    setColor(cr, hex(0x0c0d0f));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    setColor(cr, palette::kEdgeLight, 0.5);
    cairo_stroke(cr);
    // Detent marks along the slot.
    const double hw = 14, travel = sw - hw - 2;
    for (int k = 0; k < positions; ++k) {
        const double px = sx + 1 + hw / 2 + travel * (positions > 1 ? double(k) / (positions - 1) : 0);
        cairo_arc(cr, px, cell.h / 2, 1, 0, 2 * M_PI);
        setColor(cr, palette::kPrintDim, 0.6);
        cairo_fill(cr);
    }
    // The handle, ribbed.
    const double hx = sx + 1 + travel * (positions > 1 ? double(position) / (positions - 1) : 0);
    cap(cr, hx, 2, hw, cell.h - 5, 2.5, palette::kCapIvory, palette::kCapIvoryLow, false);
    for (int k = -1; k <= 1; ++k) {
        cairo_move_to(cr, hx + hw / 2 + 3 * k, 6);
        cairo_line_to(cr, hx + hw / 2 + 3 * k, cell.h - 7);
    }
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_stroke(cr);
}

void drawNamePlate(cairo_t* cr, Cell cell, const std::string& top, const std::string& bottom, Rgb family,
                   bool lit) {
    const double x = 0.5, y = 0.5, w = cell.w - 1, h = cell.h - 1;
    roundedRect(cr, x, y, w, h, 3);
    if (lit) {
        cairo_pattern_t* p = cairo_pattern_create_radial(w / 2, h / 2, 2, w / 2, h / 2, w * 0.7);
        const Rgb hot = shade(family, 0.55);
        cairo_pattern_add_color_stop_rgb(p, 0, hot.r, hot.g, hot.b);
        cairo_pattern_add_color_stop_rgb(p, 1, family.r, family.g, family.b);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    } else {
        fillVertical(cr, y, y + h, hex(0x1b1d21), hex(0x121316));
        // Family colour as a line along the top of the smoked glass.
        roundedRect(cr, x + 3, y + 1.5, w - 6, 1.8, 0.9);
        setColor(cr, family, 0.9);
        cairo_fill(cr);
    }
    roundedRect(cr, x, y, w, h, 3);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_stroke(cr);
    roundedRect(cr, x + 1, y + 1, w - 2, h * 0.45, 2);
    cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.22 : 0.04);
    cairo_fill(cr);
    const Rgb ink = lit ? hex(0x1a1a1a) : palette::kPrint;
    const TextStyle style{Face::SansBold, 7, 0.25, 0.86};
    if (bottom.empty()) {
        drawTextIn(cr, style, top, x, y + 1.5, w, h - 1.5, ink);
    } else {
        drawTextIn(cr, style, top, x, y + 2.5, w, h / 2 - 1.5, ink);
        drawTextIn(cr, style, bottom, x, y + h / 2, w, h / 2 - 1.5, ink);
    }
}

}  // namespace vorlatek::art
