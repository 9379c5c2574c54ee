#pragma once
// Every bitmap of the module: its id, what it shows, how one frame is drawn, and its size.
// Bitmaps of controls take their size and frame count from the layout (a control's bitmap
// is the control's width by frames x its height); the rest name their size here.

#include "resources/art/Layout.h"
#include "resources/art/Widgets.h"

#include <functional>
#include <string>
#include <vector>

namespace vorlatek::art {

using DrawFrame = std::function<void(cairo_t* cr, int frame, Cell cell)>;

struct BitmapArt {
    int id = 0;
    std::string what;
    DrawFrame draw;
    int width = 0, height = 0, frames = 0;  // one frame's size and the frame count; 0: from the layout
    bool lamp = false;                       // two frames, dark and lit: the lit one is brighter
};

// The whole table, sizes resolved against the layout. Throws when a control names a bitmap
// that has no art, when controls that share a bitmap disagree on its size, or when a bitmap
// is used by no control and has no size of its own.
std::vector<BitmapArt> bitmapTable(const Layout& layout);

}  // namespace vorlatek::art
