// The exports of a DLL: the names in the export table of its PE image, as the loader maps
// it, and the two entry points as GetProcAddress finds them.
#include "ModuleExports.h"

#include "sequencer/Utf16Win32.h"

#include <windows.h>

#include <algorithm>

namespace vorlatek::test {

ModuleExports moduleExports(const std::string& path) {
    ModuleExports exports;
    const HMODULE module = LoadLibraryW(wideFromUtf8(path).c_str());
    if (!module) {
        exports.problem = "LoadLibrary failed with error " + std::to_string(GetLastError());
        return exports;
    }
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress != 0 && directory.Size != 0) {
        const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
        const auto* names = reinterpret_cast<const DWORD*>(base + table->AddressOfNames);
        for (DWORD i = 0; i < table->NumberOfNames; ++i)
            exports.names.emplace_back(reinterpret_cast<const char*>(base + names[i]));
        // Exports by number alone would be invisible above: count them as nameless entries.
        for (DWORD i = table->NumberOfNames; i < table->NumberOfFunctions; ++i) exports.names.emplace_back("#ordinal");
    }
    std::sort(exports.names.begin(), exports.names.end());
    const FARPROC entry = GetProcAddress(module, "VSTPluginMain");
    exports.mainIsEntry = entry != nullptr && GetProcAddress(module, "main") == entry;
    FreeLibrary(module);
    return exports;
}

}  // namespace vorlatek::test
