#pragma once
// The backgrounds: the main panel (bitmap 100) and the three windows. They print every
// caption beside the controls that the layout places on them.

#include "resources/art/Canvas.h"
#include "resources/art/Layout.h"

namespace vorlatek::art {

void drawPanelBackground(cairo_t* cr, const Layout& layout, double w, double h);
void drawPresetManagerBackground(cairo_t* cr, const Layout& layout, double w, double h);
void drawSettingsBackground(cairo_t* cr, const Layout& layout, double w, double h);
void drawAboutBackground(cairo_t* cr, const Layout& layout, double w, double h);

}  // namespace vorlatek::art
