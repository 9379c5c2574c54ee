#pragma once
// Pictures for judging the art before the editor exists: the main panel composed from the
// layout at a representative factory state, the three windows over it, and a contact sheet
// of every bitmap with all its frames.

#include "resources/art/ArtTable.h"
#include "resources/art/Layout.h"

#include <string>
#include <vector>

namespace vorlatek::art {

// `resources` is the folder of the factory banks (preset names and the first kit's knobs).
void writePreviews(const std::string& directory, const Layout& layout, const std::vector<BitmapArt>& table,
                   const std::string& resources);

}  // namespace vorlatek::art
