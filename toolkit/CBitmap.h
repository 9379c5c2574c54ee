#pragma once
// A picture looked up by numeric id, shared by the controls that draw it. Its size is in
// logical pixels; the pixels themselves are asked of the image source at the scale the frame
// draws at (1× up to scale 1, 2× above), the first time they are needed, so art stays sharp
// at every scale. A strip of frames is one bitmap; controls pick a frame by source offset.

#include <cairo.h>

#include <memory>

#include "toolkit/Color.h"
#include "toolkit/Geometry.h"
#include "toolkit/Ref.h"

namespace vorlatek::toolkit {

class DrawContext;
class ImageSource;

class CBitmap : public ReferenceCounted {
public:
    enum class Mode {
        Opaque,       // the picture as it is (its own alpha channel still counts)
        Transparent,  // pixels of the transparent colour are left out
    };

    // A bitmap over `source`'s picture `id`. The caller checks that the picture exists.
    CBitmap(std::shared_ptr<ImageSource> source, int id);
    ~CBitmap() override;

    int id() const { return id_; }
    int width() const;
    int height() const;
    bool isValid() const { return width() > 0 && height() > 0; }

    Color transparentColor() const { return transparentColor_; }
    void setTransparentColor(Color color);

    // Draws the part of the bitmap that starts at `source` (logical pixels in the bitmap) into
    // `destination`, with `alpha` 0..255 as a whole. Parts outside the bitmap draw nothing.
    void draw(DrawContext& context, const Rect& destination, Point source = {}, Mode mode = Mode::Opaque,
              std::uint8_t alpha = 255);

    // The surface used at a drawing scale (loaded on first use), or nullptr.
    cairo_surface_t* surfaceFor(double scale);

private:
    struct Pixels {
        cairo_surface_t* surface = nullptr;
        cairo_surface_t* keyed = nullptr;  // copy with the transparent colour cleared
        bool tried = false;
    };

    Pixels& pixels(int pixelScale);
    cairo_surface_t* keyedSurface(int pixelScale);
    void measure() const;

    std::shared_ptr<ImageSource> source_;
    int id_;
    Color transparentColor_ = kMagenta;
    Pixels scales_[2];  // 1× and 2×
    mutable int width_ = -1;
    mutable int height_ = -1;
};

}  // namespace vorlatek::toolkit
