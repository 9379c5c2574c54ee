#pragma once
// Where bitmaps come from. The editor answers with the pictures built into the module; the
// tests answer with drawn test pictures (TestImageSource).

#include <cairo.h>

#include <cstddef>

namespace vorlatek::toolkit {

class ImageSource {
public:
    virtual ~ImageSource() = default;
    // A new image surface of picture `id` made for `pixelScale` window pixels per logical pixel
    // (1 or 2), so its pixel size is pixelScale times the logical size; nullptr when there is
    // no such picture at that scale. The caller owns the surface.
    virtual cairo_surface_t* createImage(int id, int pixelScale) = 0;
};

// Decodes a PNG file held in memory into an ARGB32 image surface; nullptr for bytes that are
// not a readable PNG.
cairo_surface_t* decodePng(const unsigned char* data, std::size_t size);

}  // namespace vorlatek::toolkit
