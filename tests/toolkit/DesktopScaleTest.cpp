// The desktop's scale from its X resources.

#include <gtest/gtest.h>

#include <cmath>

#include "toolkit/DesktopScale.h"

namespace vorlatek::toolkit {
namespace {

TEST(DesktopScaleTest, XftDpiGivesTheScaleInQuartersWithinOneToThree) {
    EXPECT_EQ(dpiFromResources("Xcursor.size:\t24\nXft.dpi:\t144\nXft.antialias:\t1\n"), 144.0);
    EXPECT_EQ(dpiFromResources("Xft.dpi:192"), 192.0);
    EXPECT_FALSE(dpiFromResources("Xft.dpi:\tlarge\n"));
    EXPECT_FALSE(dpiFromResources("Xft.dpi:\t-96\n"));
    EXPECT_FALSE(dpiFromResources("*Xft.dpi:\t96\nXft.dpix: 96"));
    EXPECT_FALSE(dpiFromResources(std::string_view("Xft.dpi:", 8)));
    EXPECT_EQ(scaleForDpi(96), 1.0);
    EXPECT_EQ(scaleForDpi(120), 1.25);
    EXPECT_EQ(scaleForDpi(144), 1.5);
    EXPECT_EQ(scaleForDpi(192), 2.0);
    EXPECT_EQ(scaleForDpi(72), 1.0);
    EXPECT_EQ(scaleForDpi(1e9), 3.0);
    EXPECT_EQ(scaleForDpi(std::nan("")), 1.0);
}

}  // namespace
}  // namespace vorlatek::toolkit
