// The module's file name and paths on POSIX systems: the dynamic linker knows which shared
// object holds a given address.
#include "plugin/ModuleServices.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace vorlatek {

const std::string_view kPathSeparators = "/";

namespace {

// The name the dynamic linker has for the module is the one the host passed to dlopen, which
// may be relative to the host's working folder at that moment. It is made absolute while the
// module loads, before a host can change folders.
std::string loadedFileName() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&loadedFileName), &info) == 0 || !info.dli_fname) return {};
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : absolute.lexically_normal().string();
}

const std::string gLoadedFileName = loadedFileName();

}  // namespace

std::string moduleFileName() { return gLoadedFileName; }

}  // namespace vorlatek
