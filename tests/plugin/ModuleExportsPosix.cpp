// The exports of a shared object: its dynamic symbol table as nm lists it, and the two
// entry points as dlsym finds them.
#include "ModuleExports.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>

namespace vorlatek::test {

ModuleExports moduleExports(const std::string& path) {
    ModuleExports exports;
    const std::string command = "nm -D --defined-only " + path + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        exports.problem = "cannot run nm";
        return exports;
    }
    std::string out;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) out += line;
    if (pclose(pipe) != 0) {
        exports.problem = out;
        return exports;
    }
    for (std::size_t start = 0; start < out.size();) {
        const std::size_t end = out.find('\n', start);
        const std::string row = out.substr(start, end - start);
        start = end == std::string::npos ? out.size() : end + 1;
        const auto space = row.rfind(' ');
        if (space != std::string::npos) exports.names.push_back(row.substr(space + 1));
    }
    std::sort(exports.names.begin(), exports.names.end());

    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        exports.problem = dlerror();
        return exports;
    }
    void* entry = dlsym(module, "VSTPluginMain");
    exports.mainIsEntry = entry != nullptr && dlsym(module, "main") == entry;
    dlclose(module);
    return exports;
}

}  // namespace vorlatek::test
