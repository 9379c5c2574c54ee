#include "toolkit/CBitmap.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "toolkit/DrawContext.h"
#include "toolkit/ImageSource.h"

namespace vorlatek::toolkit {

namespace {

int pixelScaleFor(double scale) { return scale > 1.0 ? 2 : 1; }

}  // namespace

CBitmap::CBitmap(std::shared_ptr<ImageSource> source, int id) : source_(std::move(source)), id_(id) {}

CBitmap::~CBitmap() {
    for (Pixels& p : scales_) {
        if (p.surface) cairo_surface_destroy(p.surface);
        if (p.keyed) cairo_surface_destroy(p.keyed);
    }
}

CBitmap::Pixels& CBitmap::pixels(int pixelScale) {
    Pixels& p = scales_[pixelScale - 1];
    if (!p.tried) {
        p.tried = true;
        if (source_) p.surface = source_->createImage(id_, pixelScale);
        if (p.surface && (cairo_surface_status(p.surface) != CAIRO_STATUS_SUCCESS ||
                          cairo_surface_get_type(p.surface) != CAIRO_SURFACE_TYPE_IMAGE)) {
            cairo_surface_destroy(p.surface);
            p.surface = nullptr;
        }
        // Logical units for drawing: a 2× picture covers the same area as its 1× twin.
        if (p.surface) cairo_surface_set_device_scale(p.surface, pixelScale, pixelScale);
    }
    return p;
}

cairo_surface_t* CBitmap::surfaceFor(double scale) {
    const int wanted = pixelScaleFor(scale);
    if (cairo_surface_t* s = pixels(wanted).surface) return s;
    return pixels(wanted == 1 ? 2 : 1).surface;
}

void CBitmap::measure() const {
    if (width_ >= 0) return;
    auto* self = const_cast<CBitmap*>(this);
    width_ = height_ = 0;
    // From pixels already loaded if there are any, so measuring loads nothing more.
    int pixelScale = scales_[1].surface && !scales_[0].surface ? 2 : 1;
    cairo_surface_t* s = self->pixels(pixelScale).surface;
    if (!s) s = self->pixels(pixelScale = 3 - pixelScale).surface;
    if (!s) return;
    width_ = (cairo_image_surface_get_width(s) + pixelScale - 1) / pixelScale;
    height_ = (cairo_image_surface_get_height(s) + pixelScale - 1) / pixelScale;
}

int CBitmap::width() const {
    measure();
    return width_;
}

int CBitmap::height() const {
    measure();
    return height_;
}

void CBitmap::setTransparentColor(Color color) {
    if (color == transparentColor_) return;
    transparentColor_ = color;
    for (Pixels& p : scales_) {
        if (p.keyed) cairo_surface_destroy(p.keyed);
        p.keyed = nullptr;
    }
}

cairo_surface_t* CBitmap::keyedSurface(int pixelScale) {
    Pixels& p = pixels(pixelScale);
    if (p.keyed || !p.surface) return p.keyed;
    const int w = cairo_image_surface_get_width(p.surface);
    const int h = cairo_image_surface_get_height(p.surface);
    cairo_surface_t* keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(keyed);
    cairo_surface_set_device_scale(p.surface, 1, 1);
    cairo_set_source_surface(cr, p.surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_set_device_scale(p.surface, pixelScale, pixelScale);
    cairo_surface_flush(keyed);
    const std::uint32_t key = 0xFF000000u | (std::uint32_t(transparentColor_.red) << 16) |
                              (std::uint32_t(transparentColor_.green) << 8) | transparentColor_.blue;
    unsigned char* data = cairo_image_surface_get_data(keyed);
    const int stride = cairo_image_surface_get_stride(keyed);
    for (int y = 0; data && y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < w; ++x)
            if (row[x] == key) row[x] = 0;
    }
    cairo_surface_mark_dirty(keyed);
    cairo_surface_set_device_scale(keyed, pixelScale, pixelScale);
    p.keyed = keyed;
    return keyed;
}

void CBitmap::draw(DrawContext& context, const Rect& destination, Point source, Mode mode, std::uint8_t alpha) {
    if (destination.isEmpty() || alpha == 0) return;
    cairo_surface_t* surface = surfaceFor(context.scale());
    if (!surface) return;
    if (mode == Mode::Transparent) {
        const int pixelScale = surface == scales_[0].surface ? 1 : 2;
        surface = keyedSurface(pixelScale);
        if (!surface) return;
    }
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_rectangle(cr, destination.left, destination.top, destination.width(), destination.height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, destination.left - source.x, destination.top - source.y);
    // Pictures drawn at their own scale map pixel to pixel; others are resampled smoothly.
    double sx = 1.0, sy = 1.0;
    cairo_surface_get_device_scale(surface, &sx, &sy);
    const bool exact = sx == context.scale();
    cairo_pattern_set_filter(cairo_get_source(cr), exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    if (alpha == 255)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, alpha / 255.0);
    cairo_restore(cr);
}

}  // namespace vorlatek::toolkit
