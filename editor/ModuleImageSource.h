#pragma once
// The editor's pictures: the PNG images built into the module, drawn for 1× and 2×.

#include "toolkit/ImageSource.h"

namespace vorlatek::editor {

class ModuleImageSource : public toolkit::ImageSource {
public:
    cairo_surface_t* createImage(int id, int pixelScale) override;
};

}  // namespace vorlatek::editor
