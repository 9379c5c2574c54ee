#pragma once
// Drawn pictures for tests, benchmarks and previews before the real art exists. Each frame of
// a strip is filled with a colour that names the picture and the frame (up to 256 frames), so a test can read a
// pixel and tell which frame a control drew.

#include <functional>
#include <map>

#include "toolkit/Color.h"
#include "toolkit/ImageSource.h"

namespace vorlatek::toolkit {

class TestImageSource : public ImageSource {
public:
    // Paints a picture in logical pixels; the source scales it for 2×.
    using Painter = std::function<void(cairo_t*)>;

    // A vertical strip of `frames` frames of width × frameHeight, frame k in frameColor(id, k).
    void addStrip(int id, int width, int frameHeight, int frames);
    void addPicture(int id, int width, int height, Painter painter);
    // Pictures that exist only at 1× (a 2× request gets nothing).
    void setOnlySingleScale(bool only) { onlySingleScale_ = only; }

    static Color frameColor(int id, int frame);

    // How often each pixel scale was asked for, to check that lookups follow the scale in use.
    int requests(int pixelScale) const { return requests_[pixelScale == 2 ? 1 : 0]; }

    cairo_surface_t* createImage(int id, int pixelScale) override;

private:
    struct Picture {
        int width;
        int height;
        Painter painter;
    };
    std::map<int, Picture> pictures_;
    bool onlySingleScale_ = false;
    int requests_[2] = {0, 0};
};

}  // namespace vorlatek::toolkit
