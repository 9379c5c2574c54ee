// Fonts and text drawing: the DejaVu faces by file with unhinted metrics, so text measures and
// draws the same everywhere, and labels place their text as aligned.

#include "ToolkitTestSupport.h"
#include "toolkit/CTextLabel.h"

namespace vorlatek::toolkit::testing {
namespace {

TEST(FontsTest, FontIndicesMapToDejaVuAtFixedSizes) {
    Fonts fonts;
    // Advance of a digit in DejaVu Sans is 1303/2048 em, in DejaVu Sans Mono 1233/2048 em.
    EXPECT_NEAR(fonts.textWidth("0", kNormalFont), 12.0 * 1303 / 2048, 1e-3);
    EXPECT_NEAR(fonts.textWidth("0", kSymbolFont), 12.0 * 1233 / 2048, 1e-3);
    EXPECT_NEAR(fonts.textWidth("00000", kNormalFontSmall), 5 * 10.0 * 1303 / 2048, 1e-3);
    for (int index : {kNormalFontVeryBig, kNormalFontBig, kNormalFont, kNormalFontSmall, kNormalFontSmaller}) {
        EXPECT_GT(fonts.textWidth("Vorlatek", index), fonts.textWidth("Vorlatek", index + 1)) << index;
    }
    EXPECT_GT(fonts.textWidth("Vorlatek", kSystemFont), fonts.textWidth("Vorlatek", kNormalFont));  // bold
    EXPECT_EQ(fonts.textWidth("x", -5), fonts.textWidth("x", 0));  // indices are clamped
    EXPECT_EQ(fonts.textWidth("x", 99), fonts.textWidth("x", 7));
}

class TextDrawingTest : public ToolkitTest {
protected:
    // Leftmost and rightmost columns of a row where the label drew text.
    std::pair<int, int> inkColumns(int row) {
        frame->idle();
        int first = -1, last = -1;
        for (int x = 0; x < frame->windowWidth(); ++x) {
            if (window->pixel(x, row) == kBlack) continue;
            if (first < 0) first = x;
            last = x;
        }
        return {first, last};
    }
};

TEST_F(TextDrawingTest, LabelsAlignTheirTextAndStayInsideTheirRectangle) {
    openFrame(200, 20);
    auto label = make<CTextLabel>(Rect{50, 0, 150, 20}, "HHHH");
    label->setFontColor(kWhite);
    frame->attach(label);
    const auto [left, right] = inkColumns(10);
    EXPECT_NEAR((left + right) / 2.0, 100.0, 1.5);  // centred by default
    label->setHoriAlign(HorizontalAlign::Left);
    EXPECT_NEAR(inkColumns(10).first, 52, 1);
    label->setHoriAlign(HorizontalAlign::Right);
    EXPECT_NEAR(inkColumns(10).second, 147, 1);

    label->setText(std::string(200, 'W'));  // far too long: clipped to the label
    const auto [l, r] = inkColumns(10);
    EXPECT_GE(l, 50);
    EXPECT_LE(r, 149);

    label->setBackColor(Color{0, 80, 0, 255});
    label->setText("");
    frame->idle();
    EXPECT_EQ(window->pixel(100, 10), (Color{0, 80, 0, 255}));
    label->setTransparency(true);  // no background
    frame->idle();
    EXPECT_EQ(window->pixel(100, 10), kBlack);
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
