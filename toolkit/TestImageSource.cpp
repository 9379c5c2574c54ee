#include "toolkit/TestImageSource.h"

namespace vorlatek::toolkit {

Color TestImageSource::frameColor(int id, int frame) {
    return Color{std::uint8_t(frame), std::uint8_t(id * 29 + 16), std::uint8_t(0x80 | (id & 0x7F)), 255};
}

void TestImageSource::addStrip(int id, int width, int frameHeight, int frames) {
    addPicture(id, width, frameHeight * frames, [=](cairo_t* cr) {
        for (int k = 0; k < frames; ++k) {
            const Color c = frameColor(id, k);
            cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
            cairo_rectangle(cr, 0, k * frameHeight, width, frameHeight);
            cairo_fill(cr);
        }
    });
}

void TestImageSource::addPicture(int id, int width, int height, Painter painter) {
    pictures_[id] = Picture{width, height, std::move(painter)};
}

cairo_surface_t* TestImageSource::createImage(int id, int pixelScale) {
    ++requests_[pixelScale == 2 ? 1 : 0];
    const auto found = pictures_.find(id);
    if (found == pictures_.end() || (onlySingleScale_ && pixelScale != 1)) return nullptr;
    const Picture& picture = found->second;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width * pixelScale, picture.height * pixelScale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, pixelScale, pixelScale);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    picture.painter(cr);
    cairo_destroy(cr);
    return surface;
}

}  // namespace vorlatek::toolkit
