#pragma once
// Renders a bitmap of the table into an image at a scale, and images into PNG bytes.

#include "resources/art/ArtTable.h"

#include <cairo.h>

#include <string>
#include <vector>

namespace vorlatek::art {

// A strip of all frames stacked vertically, (width x frames*height) x scale pixels, ARGB.
// The caller destroys the surface.
cairo_surface_t* renderBitmap(const BitmapArt& art, int scale);
std::vector<unsigned char> pngBytes(cairo_surface_t* surface);
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace vorlatek::art
