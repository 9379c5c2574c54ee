#include "host/Validation.h"

#include <charconv>
#include <cmath>

namespace vorlatek::host {

CheckContext::CheckContext(std::string pluginPath, bool quick, std::uint32_t seed,
                           std::function<void(const std::string&)> progress)
    : pluginPath_(std::move(pluginPath)), quick_(quick), random_(seed), progress_(std::move(progress)) {}

std::shared_ptr<PluginModule> CheckContext::module() {
    if (!module_) module_ = std::make_shared<PluginModule>(pluginPath_);
    return module_;
}

int CheckContext::randomInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

std::string describe(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    // Shortest exact form, and a '.' whatever locale a check has set.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace vorlatek::host
