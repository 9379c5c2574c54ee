#include "resources/art/Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace vorlatek::art {

namespace {

constexpr const char* kFontFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansMono.ttf",
                                      "DejaVuSansMono-Bold.ttf"};

struct Fonts {
    FT_Library library = nullptr;
    std::array<FT_Face, 4> faces{};
    std::array<cairo_font_face_t*, 4> cairoFaces{};
};

Fonts& fonts() {
    static Fonts f;
    return f;
}

void selectFont(cairo_t* cr, const TextStyle& style) {
    cairo_font_face_t* face = fonts().cairoFaces[static_cast<int>(style.face)];
    if (!face) throw std::runtime_error("fonts are not loaded");
    cairo_set_font_face(cr, face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, style.size * style.condense, style.size);
    cairo_set_font_matrix(cr, &m);
    // Fixed options: the same outlines at every scale, whatever the desktop prefers.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// Advances of each character (UTF-8 sequences kept whole).
template <typename Fn>
void forEachCharacter(const std::string& text, Fn fn) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0xf0) n = 4;
        else if (c >= 0xe0) n = 3;
        else if (c >= 0xc0) n = 2;
        fn(text.substr(i, n));
        i += n;
    }
}

}  // namespace

Rgb shade(Rgb c, double amount) {
    return amount >= 0 ? mix(c, Rgb{1, 1, 1}, amount) : mix(c, Rgb{0, 0, 0}, -amount);
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void setColor(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) { fillLinear(cr, 0, y0, 0, y1, top, bottom); }

void fillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb a, Rgb b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void fillAndStroke(cairo_t* cr, Rgb fill, Rgb line, double width) {
    setColor(cr, fill);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, width);
    setColor(cr, line);
    cairo_stroke(cr);
}

void lamp(cairo_t* cr, double cx, double cy, double r, Rgb color, bool lit, double reach) {
    const double glowRadius = reach > 0 ? std::min(reach, r * 2.6) : r * 2.6;
    // Bezel.
    cairo_arc(cr, cx, cy, r + 1, 0, 2 * M_PI);
    setColor(cr, Rgb{0.04, 0.04, 0.05}, 0.9);
    cairo_fill(cr);
    if (lit) {
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, r * 0.5, cx, cy, glowRadius);
        cairo_pattern_add_color_stop_rgba(glow, 0, color.r, color.g, color.b, 0.55);
        cairo_pattern_add_color_stop_rgba(glow, 1, color.r, color.g, color.b, 0);
        cairo_set_source(cr, glow);
        cairo_arc(cr, cx, cy, glowRadius, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    const Rgb body = lit ? color : mix(color, Rgb{0.06, 0.06, 0.07}, 0.78);
    const Rgb core = lit ? shade(color, 0.75) : mix(color, Rgb{0.1, 0.1, 0.11}, 0.6);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.25, cy - r * 0.3, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, core.r, core.g, core.b);
    cairo_pattern_add_color_stop_rgb(p, 1, body.r, body.g, body.b);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Lens highlight.
    cairo_arc(cr, cx - r * 0.3, cy - r * 0.35, r * 0.35, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.45 : 0.12);
    cairo_fill(cr);
}

void barLamp(cairo_t* cr, double x, double y, double w, double h, Rgb color, bool lit) {
    const double r = std::min(w, h) * 0.35;
    roundedRect(cr, x - 0.75, y - 0.75, w + 1.5, h + 1.5, r + 0.75);
    setColor(cr, Rgb{0.03, 0.03, 0.04}, 0.85);
    cairo_fill(cr);
    if (lit) {
        const double spread = std::min(w, h) * 1.4 + 1.5;
        for (int i = 4; i >= 1; --i) {
            const double g = spread * i / 4;
            roundedRect(cr, x - g, y - g, w + 2 * g, h + 2 * g, r + g);
            setColor(cr, color, 0.09);
            cairo_fill(cr);
        }
    }
    const Rgb body = lit ? color : mix(color, Rgb{0.06, 0.06, 0.07}, 0.8);
    const Rgb core = lit ? shade(color, 0.7) : mix(color, Rgb{0.1, 0.1, 0.11}, 0.65);
    roundedRect(cr, x, y, w, h, r);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, core.r, core.g, core.b);
    cairo_pattern_add_color_stop_rgb(p, 0.55, body.r, body.g, body.b);
    cairo_pattern_add_color_stop_rgb(p, 1, shade(body, -0.2).r, shade(body, -0.2).g, shade(body, -0.2).b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    roundedRect(cr, x + w * 0.12, y + h * 0.12, w * 0.76, std::max(0.6, h * 0.3), r * 0.5);
    cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.35 : 0.08);
    cairo_fill(cr);
}

void cap(cairo_t* cr, double x, double y, double w, double h, double r, Rgb face, Rgb low, bool pressed) {
    const double sink = pressed ? 1 : 0;
    // Drop shadow on the panel.
    roundedRect(cr, x + 0.5, y + 1.5, w, h, r + 0.5);
    cairo_set_source_rgba(cr, 0, 0, 0, pressed ? 0.35 : 0.55);
    cairo_fill(cr);
    if (!pressed) {
        roundedRect(cr, x, y + 2.5, w, h, r + 1);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
        cairo_fill(cr);
    }
    y += sink;
    // Body with a rim that is lit from above.
    roundedRect(cr, x, y, w, h, r);
    fillVertical(cr, y, y + h, pressed ? shade(face, -0.06) : shade(face, 0.12), shade(low, -0.1));
    roundedRect(cr, x + 1, y + 1, w - 2, h - 2.2, std::max(0.0, r - 1));
    fillVertical(cr, y, y + h, pressed ? shade(face, -0.08) : face, pressed ? shade(low, -0.05) : low);
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_stroke(cr);
}

double capHeight(const TextStyle& style) { return style.size * 0.729; }

double textWidth(cairo_t* cr, const TextStyle& style, const std::string& text) {
    cairo_save(cr);
    selectFont(cr, style);
    double width = 0;
    int count = 0;
    forEachCharacter(text, [&](const std::string& ch) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, ch.c_str(), &e);
        width += e.x_advance;
        ++count;
    });
    cairo_restore(cr);
    return width + style.tracking * std::max(0, count - 1);
}

void drawText(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double baseline,
              Align align, Rgb color, double alpha) {
    const double width = textWidth(cr, style, text);
    if (align == Align::Center) x -= width / 2;
    else if (align == Align::Right) x -= width;
    cairo_save(cr);
    selectFont(cr, style);
    setColor(cr, color, alpha);
    forEachCharacter(text, [&](const std::string& ch) {
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, ch.c_str());
        cairo_text_extents_t e;
        cairo_text_extents(cr, ch.c_str(), &e);
        x += e.x_advance + style.tracking;
    });
    cairo_restore(cr);
}

void drawTextIn(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double y, double w,
                double h, Rgb color, double alpha) {
    drawText(cr, style, text, x + w / 2, y + h / 2 + capHeight(style) / 2, Align::Center, color, alpha);
}

void loadFonts(const std::string& directory) {
    Fonts& f = fonts();
    if (f.library) return;
    if (FT_Init_FreeType(&f.library) != 0) throw std::runtime_error("FreeType does not start");
    for (std::size_t i = 0; i < f.faces.size(); ++i) {
        const std::string path = directory + "/" + kFontFiles[i];
        if (FT_New_Face(f.library, path.c_str(), 0, &f.faces[i]) != 0)
            throw std::runtime_error("cannot open the font " + path);
        f.cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(f.faces[i], 0);
    }
}

void releaseFonts() {
    Fonts& f = fonts();
    for (std::size_t i = 0; i < f.faces.size(); ++i) {
        if (f.cairoFaces[i]) cairo_font_face_destroy(f.cairoFaces[i]);
        f.cairoFaces[i] = nullptr;
    }
    // The FreeType faces belong to cairo's font cache until it lets them go; the tool exits
    // right after, so the library is left to the process end.
}

}  // namespace vorlatek::art
