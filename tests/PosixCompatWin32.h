#pragma once
// The few POSIX calls the test suites make for scratch folders, on Windows. Included ahead
// of every test source in a Windows build (tests/CMakeLists.txt), so the suites read the
// same on both platforms.

#include <direct.h>
#include <windows.h>

#include <cstring>

// Replaces the trailing "XXXXXX" of `pattern` and creates that folder; null when no new
// folder could be made.
inline char* mkdtemp(char* pattern) {
    const std::size_t length = std::strlen(pattern);
    if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) return nullptr;
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long long seed = GetTickCount64() * 6364136223846793005ull + GetCurrentProcessId();
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = length - 6; i < length; ++i) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            pattern[i] = letters[(seed >> 33) % (sizeof letters - 1)];
        }
        if (_mkdir(pattern) == 0) return pattern;
    }
    return nullptr;
}

// mkdir with a mode, which Windows folders do not have.
inline int mkdir(const char* path, int /*mode*/) { return _mkdir(path); }
