// Reading a whole file on Windows: only a file on a disk is read; a pipe, a console or
// another device named where a file is expected is refused before a byte is read.
#include "host/FileIo.h"

#include "host/HostError.h"
#include "sequencer/Utf16Win32.h"

#include <windows.h>

#include <algorithm>

namespace vorlatek::host {

std::vector<char> readWholeFile(const std::string& path, std::size_t maxBytes) {
    const auto fail = [&](const std::string& why) { return HostError("cannot read " + path + ": " + why); };
    const std::wstring name = wideFromUtf8(path);
    if (name.empty()) throw fail("not a valid file name");
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw fail("no such file (Windows error " + std::to_string(GetLastError()) + ")");
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw fail("it is a folder");
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw fail("cannot open it (Windows error " + std::to_string(GetLastError()) + ")");
    std::vector<char> bytes;
    std::string problem;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        problem = "not a regular file";
    } else if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        problem = "larger than " + std::to_string(maxBytes) + " bytes";
    } else {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t got = 0;
        while (got < bytes.size()) {
            DWORD n = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 30));
            if (!ReadFile(file, bytes.data() + got, chunk, &n, nullptr)) {
                problem = "Windows error " + std::to_string(GetLastError());
                break;
            }
            if (n == 0) break;
            got += n;
        }
        bytes.resize(got);
    }
    CloseHandle(file);
    if (!problem.empty()) throw fail(problem);
    return bytes;
}

}  // namespace vorlatek::host
