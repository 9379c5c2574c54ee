#include "plugin/ModuleServices.h"

#include "plugin/EmbeddedResource.h"

#include <cstdio>
#include <cstring>

namespace vorlatek {

// The bitmaps the build draws and compiles in (resources/art), named "<id>" and "<id>@2x".
extern const EmbeddedResource kEmbeddedBitmaps[];
extern const std::size_t kEmbeddedBitmapCount;

namespace {

bool equalNoCase(std::string_view a, const char* b) {
    if (!b) return false;
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == '\0') return false;
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if ((ca >= 'A' && ca <= 'Z' ? ca + 32 : ca) != (cb >= 'A' && cb <= 'Z' ? cb + 32 : cb)) return false;
    }
    return b[i] == '\0';
}

}  // namespace

std::string moduleDirectory() {
    const std::string file = moduleFileName();
    const auto separator = file.find_last_of(kPathSeparators);
    if (separator == std::string::npos) return {};
    return file.substr(0, separator + 1);
}

std::string joinPath(std::string_view directory, std::string_view file) {
    std::string path(directory);
    if (!path.empty() && kPathSeparators.find(path.back()) == std::string_view::npos) path += kPathSeparators.front();
    path += file;
    return path;
}

std::optional<ResourceBytes> findResource(std::string_view type, std::string_view name) {
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = kEmbeddedResources[i];
        if (r.type && equalNoCase(type, r.type) && equalNoCase(name, r.name))
            return ResourceBytes{r.begin, static_cast<std::size_t>(r.end - r.begin)};
    }
    return std::nullopt;
}

std::optional<ResourceBytes> findBitmap(int id, int scale) {
    if (scale != 1 && scale != 2) return std::nullopt;
    char name[24];
    std::snprintf(name, sizeof name, scale == 2 ? "%d@2x" : "%d", id);
    for (std::size_t i = 0; i < kEmbeddedBitmapCount; ++i) {
        const EmbeddedResource& r = kEmbeddedBitmaps[i];
        if (std::strcmp(name, r.name) == 0) return ResourceBytes{r.begin, static_cast<std::size_t>(r.end - r.begin)};
    }
    return std::nullopt;
}

}  // namespace vorlatek
