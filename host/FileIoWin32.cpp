// Moving a finished file into place on Windows, where rename does not replace an existing
// file: MoveFileExW replaces it in one step and returns once the move is on the disk.
#include "host/FileIo.h"

#include "host/HostError.h"
#include "sequencer/Utf16Win32.h"

#include <windows.h>

#include <cstdio>

namespace vorlatek::host {

void commitTemporary(const std::string& temporary, const std::string& path) {
    const std::wstring from = wideFromUtf8(temporary);
    const std::wstring to = wideFromUtf8(path);
    if (from.empty() || to.empty() ||
        !MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = from.empty() || to.empty() ? ERROR_INVALID_NAME : GetLastError();
        std::remove(temporary.c_str());
        throw HostError("cannot write " + path + ": Windows error " + std::to_string(error));
    }
}

}  // namespace vorlatek::host
