#pragma once
// What the plug-in needs from the module that holds it: its own file name (the user
// settings file lives next to it) and the resources compiled into it. The module's file
// name and the shape of paths differ by platform (ModuleServicesPosix.cpp,
// ModuleServicesWin32.cpp); paths are UTF-8 on every platform.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorlatek {

struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The characters that end a folder's name in a path; joinPath inserts the first.
extern const std::string_view kPathSeparators;

// The full file name of the module that contains this code ("" when it cannot be found).
std::string moduleFileName();
// The module's folder: its file name cut after the last separator, which it keeps ("" when
// unknown).
std::string moduleDirectory();
// Joins a folder and a file name, inserting a separator when the folder does not end in one.
std::string joinPath(std::string_view directory, std::string_view file);
// A resource compiled into the module, looked up by type and name without regard to case.
std::optional<ResourceBytes> findResource(std::string_view type, std::string_view name);
// The PNG image of an editor bitmap, drawn for scale 1 or 2 (nothing for other scales or
// unknown ids).
std::optional<ResourceBytes> findBitmap(int id, int scale);

}  // namespace vorlatek
