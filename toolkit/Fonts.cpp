#include "toolkit/Fonts.h"

#include <cairo-ft.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace vorlatek::toolkit {

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

struct FontFile {
    const char* file;
    const char* family;  // used only when the file is missing
    cairo_font_weight_t weight;
};
constexpr FontFile kFaces[3] = {
    {"DejaVuSans.ttf", "DejaVu Sans", CAIRO_FONT_WEIGHT_NORMAL},
    {"DejaVuSans-Bold.ttf", "DejaVu Sans", CAIRO_FONT_WEIGHT_BOLD},
    {"DejaVuSansMono.ttf", "DejaVu Sans Mono", CAIRO_FONT_WEIGHT_NORMAL},
};

struct FontChoice {
    int face;
    double size;
};
// kSystemFont, kNormalFontVeryBig, Big, Normal, Small, Smaller, VerySmall, kSymbolFont.
constexpr FontChoice kFontTable[kFontCount] = {
    {1, 12.0}, {0, 18.0}, {0, 14.0}, {0, 12.0}, {0, 10.0}, {0, 9.0}, {0, 8.0}, {2, 12.0},
};

int clampIndex(int index) { return std::clamp(index, 0, kFontCount - 1); }

cairo_font_face_t* loadFace(const FontFile& font) {
    const std::string path = std::string(kFontFolder) + font.file;
    if (access(path.c_str(), R_OK) == 0) {
        // A pattern that names the file: fontconfig's configuration is never consulted.
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
        FcPatternAddInteger(pattern, FC_INDEX, 0);
        cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
        FcPatternDestroy(pattern);
        if (cairo_font_face_status(face) == CAIRO_STATUS_SUCCESS) return face;
        cairo_font_face_destroy(face);
    }
    return cairo_toy_font_face_create(font.family, CAIRO_FONT_SLANT_NORMAL, font.weight);
}

}  // namespace

Fonts::Fonts() {
    for (int i = 0; i < 3; ++i) faces_[i] = loadFace(kFaces[i]);
    options_ = cairo_font_options_create();
    cairo_font_options_set_antialias(options_, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options_, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options_, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_subpixel_order(options_, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    scratchSurface_ = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    scratch_ = cairo_create(scratchSurface_);
}

Fonts::~Fonts() {
    cairo_destroy(scratch_);
    cairo_surface_destroy(scratchSurface_);
    cairo_font_options_destroy(options_);
    for (cairo_font_face_t* face : faces_) cairo_font_face_destroy(face);
}

double Fonts::pixelSize(int index) { return kFontTable[clampIndex(index)].size; }

void Fonts::select(cairo_t* cr, int index) const {
    const FontChoice& choice = kFontTable[clampIndex(index)];
    cairo_set_font_face(cr, faces_[choice.face]);
    cairo_set_font_size(cr, choice.size);
    cairo_set_font_options(cr, options_);
}

double Fonts::textWidth(std::string_view text, int index) const {
    if (text.empty()) return 0.0;
    select(scratch_, index);
    const std::string terminated(text);
    cairo_text_extents_t extents;
    cairo_text_extents(scratch_, terminated.c_str(), &extents);
    return extents.x_advance;
}

double Fonts::ascent(int index) const {
    select(scratch_, index);
    cairo_font_extents_t extents;
    cairo_font_extents(scratch_, &extents);
    return extents.ascent;
}

double Fonts::descent(int index) const {
    select(scratch_, index);
    cairo_font_extents_t extents;
    cairo_font_extents(scratch_, &extents);
    return extents.descent;
}

}  // namespace vorlatek::toolkit
