// The file access of FileAccess.h on Windows. Paths are UTF-8 and reach Windows as UTF-16.
//
// Reading opens only files on a disk: a pipe, a console or another device named where a
// document is expected is refused once the handle shows what it is, before a byte is read.
// Writing follows a symbolic link or junction to the file it names, writes a new file beside
// it, flushes it to the disk and moves it over the old one in one step (replace-existing,
// write-through), so a reader sees the old bytes or the new ones. The old file's attributes
// go to the new one; a read-only file, a folder or a device is left alone.

#include "sequencer/FileAccess.h"

#include "sequencer/Utf16Win32.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace vorlatek::files {

namespace {

// Names tried for the temporary file before giving up (another writer may hold one).
constexpr int kTemporaryNameAttempts = 64;
// The attributes a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now and says whether the close reported no error.
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

bool missingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

Handle openForReading(const std::wstring& name) {
    return Handle(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The name a write to `name` lands on: a symbolic link or junction is followed to the file
// it names; anything else is its own name. Empty when a link leads nowhere.
std::wstring finalName(const std::wstring& name, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return name;
    Handle file(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return {};
    std::wstring target(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < target.size()) {
            target.resize(length);
            return target;
        }
        target.resize(length + 1);
    }
    return {};
}

bool writeAll(HANDLE file, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD n = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &n, nullptr) || n == 0) return false;
        written += n;
    }
    return true;
}

// Creates a new file beside `target` that nobody else has open.
HANDLE createTemporary(const std::wstring& target, std::wstring& name) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        name = target + L".partial-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

FileContents readRegularFile(const std::string& path, std::size_t maxBytes) {
    FileContents result;
    const std::wstring name = wideFromUtf8(path);
    if (name.empty()) return result;  // no file can have that name
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.status = missingError(GetLastError()) ? ReadStatus::Missing : ReadStatus::Failed;
        return result;
    }
    result.status = ReadStatus::Refused;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return result;
    Handle file = openForReading(name);
    if (!file.valid()) {
        result.status = missingError(GetLastError()) ? ReadStatus::Missing : ReadStatus::Failed;
        return result;
    }
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return result;

    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t got = 0;
    while (got < result.bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - got, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(file.get(), result.bytes.data() + got, chunk, &n, nullptr)) {
            result.bytes.clear();
            result.status = ReadStatus::Failed;
            return result;
        }
        if (n == 0) break;  // the file shrank while we read it: what is there is the file
        got += n;
    }
    result.bytes.resize(got);
    result.status = got == 0 ? ReadStatus::Empty : ReadStatus::Read;
    return result;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    const std::wstring name = wideFromUtf8(path);
    if (name.empty()) return false;
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && !missingError(GetLastError())) return false;
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    std::wstring target = name;
    if (replacing) {
        target = finalName(name, attributes);
        if (target.empty()) return false;
        attributes = GetFileAttributesW(target.c_str());
        // A folder, a device or a read-only file is never replaced by a file.
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
            return false;
        Handle existing(CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!existing.valid() || GetFileType(existing.get()) != FILE_TYPE_DISK) return false;
    }

    std::wstring temporary;
    Handle file(createTemporary(target, temporary));
    if (!file.valid()) return false;
    bool ok = writeAll(file.get(), bytes);
    ok = ok && FlushFileBuffers(file.get()) != 0;
    ok = file.close() && ok;
    if (ok && replacing) SetFileAttributesW(temporary.c_str(), attributes & kKeptAttributes);
    ok = ok && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

}  // namespace vorlatek::files
