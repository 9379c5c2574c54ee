// A VST 2.4 plug-in module on Windows: a DLL loaded with LoadLibraryExW, its entry point
// found in its own export table with GetProcAddress. Paths are UTF-8 and reach Windows as
// UTF-16.
#include "host/PluginModule.h"

#include "host/HostError.h"
#include "sequencer/Utf16Win32.h"

#include <windows.h>

namespace vorlatek::host {
namespace {

// The system's message for an error code, on one line.
std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? utf8FromWide(std::wstring_view(text, length)) : std::string();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == ' ' || message.back() == '.' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The DLL to load for a path: the file itself, or for a bundle folder such as "Name.vst"
// the "Name.dll" inside it; always a full path, since LoadLibrary searches the DLL search
// path for a bare name and a file name given by the user always means that file.
std::wstring moduleFile(const std::string& path) {
    std::wstring file = wideFromUtf8(path);
    if (file.empty()) throw HostError("cannot open plug-in " + path + ": not a valid file name");
    DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw HostError("cannot open plug-in " + path + ": " + systemMessage(GetLastError()));
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        while (file.size() > 1 && isSeparator(file.back())) file.pop_back();
        std::size_t nameStart = file.size();
        while (nameStart > 0 && !isSeparator(file[nameStart - 1]) && file[nameStart - 1] != L':') --nameStart;
        std::wstring stem = file.substr(nameStart);
        stem = stem.substr(0, stem.rfind(L'.'));
        file += L"\\" + stem + L".dll";
        attributes = GetFileAttributesW(file.c_str());
        if (stem.empty() || attributes == INVALID_FILE_ATTRIBUTES)
            throw HostError("cannot open plug-in " + path + ": a folder without " + utf8FromWide(stem) + ".dll in it");
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw HostError("cannot open plug-in " + path + ": not a regular file");
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return file;
    full.resize(length);
    return full;
}

}  // namespace

PluginModule::PluginModule(const std::string& path) : path_(path) {
    const std::wstring file = moduleFile(path);
    // A module that cannot be loaded is reported here, not in a message box.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    const HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (module == nullptr) throw HostError("cannot load plug-in " + path + ": " + systemMessage(error));
    handle_ = module;

    // GetProcAddress reads only this module's export table, so whatever it finds is the
    // module's own, not a function of some library it pulls in.
    FARPROC symbol = GetProcAddress(module, "VSTPluginMain");
    if (symbol == nullptr) symbol = GetProcAddress(module, "main");
    if (symbol == nullptr) {
        FreeLibrary(module);
        throw HostError(path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
    }
    entry_ = reinterpret_cast<vst::VstPluginMainProc>(reinterpret_cast<void*>(symbol));
}

PluginModule::~PluginModule() { FreeLibrary(static_cast<HMODULE>(handle_)); }

}  // namespace vorlatek::host
