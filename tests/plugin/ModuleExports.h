#pragma once
// What a host sees of the built module: the names it exports, and whether `main` and
// `VSTPluginMain` are the same function, read the way each platform's loader reads them.

#include <string>
#include <vector>

namespace vorlatek::test {

struct ModuleExports {
    std::vector<std::string> names;  // sorted
    bool mainIsEntry = false;        // `main` resolves to the address of `VSTPluginMain`
    std::string problem;             // why the module could not be read, or ""
};

ModuleExports moduleExports(const std::string& path);

}  // namespace vorlatek::test
