#pragma once
// The 5 x 7 dot-matrix font of the pattern name display: the 96 character codes from 32
// (space) to 127, each as seven rows of five dots, '#' lit and '.' dark.

#include <array>
#include <string_view>

namespace vorlatek::art {

using DotRows = std::array<std::string_view, 7>;

// The glyph of a code; codes outside 32..127 give the last glyph (a full block).
const DotRows& dotGlyph(int code);

}  // namespace vorlatek::art
