// The module's file name and paths on POSIX systems: the dynamic linker knows which shared
// object holds a given address.
#include "plugin/ModuleServices.h"

#include <dlfcn.h>

namespace vorlatek {

const std::string_view kPathSeparators = "/";

std::string moduleFileName() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&moduleFileName), &info) == 0 || !info.dli_fname) return {};
    return info.dli_fname;
}

}  // namespace vorlatek
