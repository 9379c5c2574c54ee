#pragma once
#include <cstddef>

namespace vorlatek {

// One file of resources/ compiled into the module. `end` points one past the last byte;
// a zero byte follows every resource so that text resources can be read as C strings.
struct EmbeddedResource {
    const char* type;
    const char* name;
    const unsigned char* begin;
    const unsigned char* end;
};

// The generated table (resources/CMakeLists.txt). Rows with a null type are padding.
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;

}  // namespace vorlatek
