// Output files on Windows: a symbolic link or junction is followed to the file it names; a
// regular file is written under a temporary name beside it, flushed to the disk and moved
// over it in one step (MoveFileExW, replace-existing and write-through), keeping its
// attributes; a read-only file or a folder is refused, and a device (NUL, a pipe) is
// written where it is. An unfinished temporary file is removed when the object goes away.
#include "host/OutputFile.h"

#include "host/HostError.h"
#include "sequencer/Utf16Win32.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>

namespace vorlatek::host {
namespace {

// The attributes a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string windowsError(DWORD error) { return "Windows error " + std::to_string(error); }

// The file a name leads to once links are followed (its own name when it is no link).
std::wstring finalName(const std::wstring& name) {
    const HANDLE file = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::wstring target(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), 0);
    if (length >= target.size()) {
        target.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), 0);
    }
    CloseHandle(file);
    if (length == 0 || length >= target.size()) return {};
    target.resize(length);
    return target;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), target_(path) {
    try {
        open();
    } catch (...) {
        discard();
        throw;
    }
}

void OutputFile::open() {
    std::wstring target = wideFromUtf8(target_);
    if (target.empty()) fail("not a valid file name");
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) fail(windowsError(GetLastError()));
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) fail("it is a folder");
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) fail("the file is read-only");
    if (exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        target = finalName(target);
        if (target.empty()) fail("the link leads nowhere");
        target_ = utf8FromWide(target);
    }
    if (exists) {
        const HANDLE existing = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (existing != INVALID_HANDLE_VALUE && GetFileType(existing) != FILE_TYPE_DISK) {
            // Written where it is: replacing a device or pipe with a file would break it.
            fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(existing), _O_WRONLY | _O_BINARY);
            if (fd_ < 0) CloseHandle(existing);
            if (fd_ < 0) fail("cannot use the device");
            return;
        }
        if (existing != INVALID_HANDLE_VALUE) CloseHandle(existing);
    }

    for (int attempt = 0; fd_ < 0; ++attempt) {
        // out.wav.partial-PID, or out.wav.partial-PID-N when a stale one is in the way.
        temporary_ = target_ + ".partial-" + std::to_string(GetCurrentProcessId());
        if (attempt > 0) temporary_.append("-").append(std::to_string(attempt));
        const HANDLE file = CreateFileW(wideFromUtf8(temporary_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS && attempt < 64) continue;
            temporary_.clear();
            fail(windowsError(error));
        }
        fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
        if (fd_ < 0) {
            CloseHandle(file);
            fail("cannot use the temporary file");
        }
    }
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (fd_ >= 0) _close(fd_);
    fd_ = -1;
    if (!committed_ && !temporary_.empty()) DeleteFileW(wideFromUtf8(temporary_).c_str());
}

void OutputFile::fail(const std::string& why) const { throw HostError("cannot write " + path_ + ": " + why); }

void OutputFile::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
        const int n = _write(fd_, bytes, chunk);
        if (n <= 0) fail("the write failed");
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::commit() {
    // A regular file reaches the disk before it takes the name.
    if (!inPlace() && _commit(fd_) != 0) fail("cannot flush the file to the disk");
    const int fd = fd_;
    fd_ = -1;
    if (_close(fd) != 0) fail("the file could not be closed");
    if (!inPlace()) {
        const std::wstring temporary = wideFromUtf8(temporary_);
        const std::wstring target = wideFromUtf8(target_);
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(temporary.c_str(), attributes & kKeptAttributes);
        if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(windowsError(GetLastError()));
    }
    committed_ = true;
}

}  // namespace vorlatek::host
