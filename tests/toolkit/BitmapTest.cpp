// Bitmaps: shared by id, drawn opaque, with a transparent colour or with alpha, at the scale
// in use, and decoded from PNG bytes of any quality.

#include <cairo.h>

#include <vector>

#include "ToolkitTestSupport.h"
#include "toolkit/ImageSource.h"

namespace vorlatek::toolkit::testing {
namespace {

constexpr Color kRed{255, 0, 0, 255};
constexpr Color kBlue{0, 0, 255, 255};

// A view that draws one bitmap in a chosen way.
struct BitmapView : CView {
    BitmapView(const Rect& r, Ref<CBitmap> b, CBitmap::Mode mode, std::uint8_t alpha)
        : CView(r), bitmap(std::move(b)), mode(mode), alpha(alpha) {}
    void draw(DrawContext& context) override { bitmap->draw(context, rect(), {}, mode, alpha); }
    Ref<CBitmap> bitmap;
    CBitmap::Mode mode;
    std::uint8_t alpha;
};

class BitmapTest : public ToolkitTest {
protected:
    void SetUp() override {
        images->addPicture(1, 20, 20, [](cairo_t* cr) {
            cairo_set_source_rgb(cr, 0, 0, 1);
            cairo_paint(cr);
        });
        // Left half in the transparent colour, right half red.
        images->addPicture(2, 20, 20, [](cairo_t* cr) {
            cairo_set_source_rgb(cr, 1, 0, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 1, 0, 0);
            cairo_rectangle(cr, 10, 0, 10, 20);
            cairo_fill(cr);
        });
    }
    // Draws bitmap 2 over a blue background and returns the colours of its two halves.
    std::pair<Color, Color> overBlue(CBitmap::Mode mode, std::uint8_t alpha) {
        frame->setBackground(nullptr);
        frame->detachAll();
        frame->attach(make<BitmapView>(Rect{0, 0, 20, 20}, store.bitmap(1), CBitmap::Mode::Opaque, 255));
        frame->attach(make<BitmapView>(Rect{0, 0, 20, 20}, store.bitmap(2), mode, alpha));
        frame->idle();
        const int s = int(frame->scale());
        return {window->pixel(5 * s, 10 * s), window->pixel(15 * s, 10 * s)};
    }
};

TEST_F(BitmapTest, DrawModesKeyOutTheTransparentColourOrBlendWithAlpha) {
    for (double scale : {1.0, 2.0}) {
        openFrame(40, 40, scale);
        EXPECT_EQ(overBlue(CBitmap::Mode::Opaque, 255), std::make_pair(Color{255, 0, 255, 255}, kRed));
        EXPECT_EQ(overBlue(CBitmap::Mode::Transparent, 255), std::make_pair(kBlue, kRed));
        const auto [left, right] = overBlue(CBitmap::Mode::Opaque, 128);
        EXPECT_NEAR(right.red, 128, 1);
        EXPECT_NEAR(right.blue, 127, 1);
        store.bitmap(2)->setTransparentColor(kRed);
        EXPECT_EQ(overBlue(CBitmap::Mode::Transparent, 255).second, kBlue);
        store.bitmap(2)->setTransparentColor(kMagenta);
    }
}

TEST_F(BitmapTest, OneSharedBitmapPerIdAtTheScaleInUseOrTheOneThereIs) {
    openFrame(40, 40, 2.0);
    Ref<CBitmap> first = store.bitmap(1);
    EXPECT_EQ(first, store.bitmap(1));
    EXPECT_EQ(first->width(), 20);
    EXPECT_EQ(images->requests(1), 0);  // only the 2× picture was needed
    EXPECT_EQ(images->requests(2), 1);

    // A source with only 1× pictures still draws at scale 2, scaled up.
    images->setOnlySingleScale(true);
    images->addStrip(3, 10, 10, 1);
    Ref<CBitmap> small = store.bitmap(3);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->height(), 10);
    frame->attach(make<BitmapView>(Rect{0, 0, 10, 10}, small, CBitmap::Mode::Opaque, 255));
    frame->idle();
    EXPECT_EQ(window->pixel(10, 10), TestImageSource::frameColor(3, 0));

    // A bitmap made over a source without the picture is empty and draws nothing.
    CBitmap missing(images, 999);
    EXPECT_FALSE(missing.isValid());
    EXPECT_FALSE(store.bitmap(999));
}

cairo_status_t collect(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

TEST(PngTest, DecodesPngBytesAndRefusesAnythingElse) {
    cairo_surface_t* grey = cairo_image_surface_create(CAIRO_FORMAT_A8, 3, 2);
    std::vector<unsigned char> png;
    cairo_surface_write_to_png_stream(grey, collect, &png);
    cairo_surface_destroy(grey);

    cairo_surface_t* decoded = decodePng(png.data(), png.size());
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(cairo_image_surface_get_format(decoded), CAIRO_FORMAT_ARGB32);
    EXPECT_EQ(cairo_image_surface_get_width(decoded), 3);
    cairo_surface_destroy(decoded);

    EXPECT_EQ(decodePng(nullptr, 0), nullptr);
    EXPECT_EQ(decodePng(png.data(), png.size() / 2), nullptr);  // cut short
    std::vector<unsigned char> noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<unsigned char>(i * 7919 >> 3);
    EXPECT_EQ(decodePng(noise.data(), noise.size()), nullptr);
    std::copy(png.begin(), png.begin() + 16, noise.begin());  // a PNG signature and header on garbage
    EXPECT_EQ(decodePng(noise.data(), noise.size()), nullptr);
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
