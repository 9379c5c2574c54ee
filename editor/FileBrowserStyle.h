#pragma once
// The colours and fonts of the built-in file browser, in the dark style of the toolkit's own
// popup menus.

#include "toolkit/Color.h"
#include "toolkit/Fonts.h"

namespace vorlatek::editor::fileBrowserStyle {

inline constexpr toolkit::Color kPanel{44, 44, 50, 255};
inline constexpr toolkit::Color kField{28, 28, 32, 255};
inline constexpr toolkit::Color kBorder{110, 110, 118, 255};
inline constexpr toolkit::Color kText{230, 230, 230, 255};
inline constexpr toolkit::Color kDimText{150, 150, 156, 255};
inline constexpr toolkit::Color kHighlight{200, 64, 48, 255};
inline constexpr toolkit::Color kButton{70, 70, 78, 255};
inline constexpr toolkit::Color kButtonPressed{200, 64, 48, 255};
inline constexpr toolkit::Color kNotice{240, 190, 90, 255};
inline constexpr toolkit::Color kFolderIcon{214, 170, 80, 255};
inline constexpr toolkit::Color kShade{0, 0, 0, 110};

inline constexpr int kTitleFont = toolkit::kSystemFont;
inline constexpr int kTextFont = toolkit::kNormalFont;
inline constexpr int kSmallFont = toolkit::kNormalFontSmall;

}  // namespace vorlatek::editor::fileBrowserStyle
