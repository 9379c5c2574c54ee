#pragma once
// An 8-bit RGBA colour, not premultiplied. Alpha 0 draws nothing.

#include <cstdint>

namespace vorlatek::toolkit {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    friend bool operator==(const Color&, const Color&) = default;
    bool isVisible() const { return alpha != 0; }
};

inline constexpr Color kBlack{0, 0, 0, 255};
inline constexpr Color kWhite{255, 255, 255, 255};
inline constexpr Color kTransparent{255, 255, 255, 0};
// The colour that transparent bitmap drawing leaves out.
inline constexpr Color kMagenta{255, 0, 255, 255};

}  // namespace vorlatek::toolkit
