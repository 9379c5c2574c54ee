#include "resources/art/FrameCheck.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace vorlatek::art {

namespace {

// Sum of the (premultiplied) green channel over one frame: a measure of its brightness.
double brightness(cairo_surface_t* strip, int frame, int frameHeight) {
    const int stride = cairo_image_surface_get_stride(strip), width = cairo_image_surface_get_width(strip);
    const unsigned char* data = cairo_image_surface_get_data(strip);
    double sum = 0;
    for (int y = frame * frameHeight; y < (frame + 1) * frameHeight; ++y)
        for (int x = 0; x < width; ++x) sum += data[y * stride + 4 * x + 1];
    return sum;
}

[[noreturn]] void fail(const BitmapArt& art, const std::string& what) {
    std::string message = "bitmap ";
    message += std::to_string(art.id);
    message += " (";
    message += art.what;
    message += "): ";
    message += what;
    throw std::runtime_error(message);
}

}  // namespace

void checkFrames(const BitmapArt& art, cairo_surface_t* strip) {
    const int height = cairo_image_surface_get_height(strip) / art.frames;
    const int stride = cairo_image_surface_get_stride(strip);
    const unsigned char* data = cairo_image_surface_get_data(strip);
    for (int f = 1; f < art.frames; ++f) {
        const std::size_t bytes = std::size_t(stride) * std::size_t(height);
        if (std::memcmp(data + bytes * std::size_t(f - 1), data + bytes * std::size_t(f), bytes) == 0)
            fail(art, "frame " + std::to_string(f) + " repeats the one before it");
    }
    if (art.lamp && !(art.frames == 2 && brightness(strip, 1, height) > brightness(strip, 0, height)))
        fail(art, "the lit image is not brighter than the dark one");
}

}  // namespace vorlatek::art
