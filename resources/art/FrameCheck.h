#pragma once
// Checks on a rendered strip that catch drawing faults the eye may miss among hundreds of
// images: a frame that repeats its neighbour (a drawing that ignores its frame number) and
// a lamp whose lit image is not brighter than its dark one (frames swapped).

#include "resources/art/ArtTable.h"

#include <cairo.h>

namespace vorlatek::art {

// Throws with a message naming the bitmap and the frame.
void checkFrames(const BitmapArt& art, cairo_surface_t* strip);

}  // namespace vorlatek::art
