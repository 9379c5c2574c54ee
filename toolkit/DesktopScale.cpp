#include "toolkit/DesktopScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vorlatek::toolkit {

std::optional<double> dpiFromResources(std::string_view resources) {
    constexpr std::string_view kKey = "Xft.dpi:";
    std::size_t lineStart = 0;
    while (lineStart < resources.size()) {
        std::size_t lineEnd = resources.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = resources.size();
        const std::string_view line = resources.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.substr(0, kKey.size()) != kKey) continue;
        const std::string number(line.substr(kKey.size()));
        char* end = nullptr;
        const double dpi = std::strtod(number.c_str(), &end);
        if (end != number.c_str() && std::isfinite(dpi) && dpi > 0.0) return dpi;
    }
    return std::nullopt;
}

double scaleForDpi(double dpi) {
    if (!std::isfinite(dpi) || dpi <= 0.0) return 1.0;
    return std::clamp(std::round(dpi / 96.0 * 4.0) / 4.0, 1.0, 3.0);
}

}  // namespace vorlatek::toolkit
