#include "editor/ModuleImageSource.h"

#include "plugin/ModuleServices.h"

namespace vorlatek::editor {

cairo_surface_t* ModuleImageSource::createImage(int id, int pixelScale) {
    const auto png = findBitmap(id, pixelScale);
    return png ? toolkit::decodePng(png->data, png->size) : nullptr;
}

}  // namespace vorlatek::editor
