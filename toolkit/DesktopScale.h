#pragma once
// The scale a Linux desktop asks for: Xft.dpi from the X resources, over 96 dpi, rounded to
// a quarter and kept within 1..3.

#include <optional>
#include <string_view>

namespace vorlatek::toolkit {

// The Xft.dpi value of an X resource database text, when it holds a positive number.
std::optional<double> dpiFromResources(std::string_view resources);
// The drawing scale for a screen resolution.
double scaleForDpi(double dpi);

}  // namespace vorlatek::toolkit
