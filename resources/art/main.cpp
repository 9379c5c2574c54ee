// vorlatek-art: draws every bitmap of the editor from the tables beside this file and the
// layout in the settings document, at scale 1 and 2.
//
//   vorlatek-art --settings resources/settings.xml --fonts DIR --out DIR
//                [--embed FILE.S FILE.cpp] [--previews RESOURCES_DIR]
//
// --out receives <id>.png and <id>@2x.png for every bitmap; --embed writes the files the
// build compiles into the module; --previews adds contact-sheet.png and the main panel and
// its windows composed at a factory state (panel.png, panel@2x.png, window-*.png).

#include "resources/art/ArtTable.h"
#include "resources/art/Embedding.h"
#include "resources/art/FrameCheck.h"
#include "resources/art/Layout.h"
#include "resources/art/Previews.h"
#include "resources/art/Renderer.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: vorlatek-art --settings FILE --fonts DIR --out DIR [--embed FILE.S FILE.cpp] "
                 "[--previews RESOURCES_DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vorlatek::art;
    std::string settings, fonts, out, assembly, table, previews;
    for (int i = 1; i < argc; ++i) {
        const auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (std::strcmp(argv[i], "--settings") == 0) settings = next();
        else if (std::strcmp(argv[i], "--fonts") == 0) fonts = next();
        else if (std::strcmp(argv[i], "--out") == 0) out = next();
        else if (std::strcmp(argv[i], "--previews") == 0) previews = next();
        else if (std::strcmp(argv[i], "--embed") == 0) {
            assembly = next();
            table = next();
        } else return usage();
    }
    if (settings.empty() || fonts.empty() || out.empty() || (!assembly.empty() && table.empty())) return usage();
    try {
        loadFonts(fonts);
        const Layout layout = Layout::read(settings);
        const std::vector<BitmapArt> art = bitmapTable(layout);
        std::vector<RenderedBitmap> rendered;
        for (const BitmapArt& a : art) {
            for (int scale : {1, 2}) {
                cairo_surface_t* surface = renderBitmap(a, scale);
                if (scale == 1) checkFrames(a, surface);
                rendered.push_back({a.id, scale, pngBytes(surface)});
                cairo_surface_destroy(surface);
            }
        }
        writeBitmapFiles(out, rendered);
        if (!assembly.empty()) writeEmbedding(assembly, table, out, rendered);
        if (!previews.empty()) writePreviews(out, layout, art, previews);
        releaseFonts();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorlatek-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
