// The module's file name and paths on Windows: the handle of the module that holds this
// code gives its file name in UTF-16, kept here as UTF-8. Folders end in a backslash (or a
// slash, which Windows takes as well), and a path may start with a drive letter.
#include "plugin/ModuleServices.h"

#include "sequencer/Utf16Win32.h"

#include <windows.h>

namespace vorlatek {

const std::string_view kPathSeparators = "\\/";

namespace {

// Module file names can be longer than MAX_PATH; Windows caps every path at 32767 units.
constexpr std::size_t kLongestPath = 32768;

}  // namespace

std::string moduleFileName() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&moduleFileName), &module))
        return {};
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return utf8FromWide(name);
        }
        if (name.size() >= kLongestPath) return {};
        name.resize(name.size() * 2);
    }
}

}  // namespace vorlatek
