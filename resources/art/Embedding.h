#pragma once
// Writes the rendered bitmaps as OUT/<id>.png and OUT/<id>@2x.png and, for the build, an
// assembly file that includes them into the module with a table to find them by name
// ("<id>" or "<id>@2x", type "png"). Identical images are included once.

#include <string>
#include <vector>

namespace vorlatek::art {

struct RenderedBitmap {
    int id = 0;
    int scale = 1;
    std::vector<unsigned char> png;
};

std::string bitmapFileName(int id, int scale);
void writeBitmapFiles(const std::string& directory, const std::vector<RenderedBitmap>& bitmaps);
void writeEmbedding(const std::string& assemblyPath, const std::string& tablePath, const std::string& directory,
                    const std::vector<RenderedBitmap>& bitmaps);

}  // namespace vorlatek::art
