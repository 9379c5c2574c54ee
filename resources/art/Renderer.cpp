#include "resources/art/Renderer.h"

#include <cstdio>
#include <stdexcept>

namespace vorlatek::art {

cairo_surface_t* renderBitmap(const BitmapArt& art, int scale) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, art.width * scale, art.height * art.frames * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    for (int f = 0; f < art.frames; ++f) {
        cairo_save(cr);
        cairo_translate(cr, 0, double(f) * art.height);
        cairo_rectangle(cr, 0, 0, art.width, art.height);
        cairo_clip(cr);
        art.draw(cr, f, Cell{double(art.width), double(art.height)});
        cairo_restore(cr);
    }
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("drawing bitmap " + std::to_string(art.id) + ": " + cairo_status_to_string(status));
    cairo_surface_flush(surface);
    return surface;
}

std::vector<unsigned char> pngBytes(cairo_surface_t* surface) {
    std::vector<unsigned char> bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<unsigned char>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    if (cairo_surface_write_to_png_stream(surface, append, &bytes) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot encode a PNG image");
    return bytes;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace vorlatek::art
