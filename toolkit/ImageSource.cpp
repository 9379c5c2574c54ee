#include "toolkit/ImageSource.h"

#include <cstring>

namespace vorlatek::toolkit {

namespace {

struct PngReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position = 0;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->size - reader->position) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

cairo_surface_t* decodePng(const unsigned char* data, std::size_t size) {
    if (!data || size == 0) return nullptr;
    PngReader reader{data, size};
    cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(decoded);
        return nullptr;
    }
    if (cairo_image_surface_get_format(decoded) == CAIRO_FORMAT_ARGB32) return decoded;
    // Grey or 16-bit files decode to other formats; bring them to the one the blits expect.
    const int width = cairo_image_surface_get_width(decoded);
    const int height = cairo_image_surface_get_height(decoded);
    cairo_surface_t* converted = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(converted);
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(decoded);
    if (cairo_surface_status(converted) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(converted);
        return nullptr;
    }
    return converted;
}

}  // namespace vorlatek::toolkit
