#include "editor/FileBrowserFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vorlatek::editor {

namespace {

// Three-way comparison as people read names: case aside, and runs of digits by their number,
// so that "Pattern 2" comes before "Pattern 10".
int compareNames(std::string_view a, std::string_view b) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t endA = i, endB = j;
            while (endA < a.size() && digit(a[endA])) ++endA;
            while (endB < b.size() && digit(b[endB])) ++endB;
            // Leading zeros aside, a longer run is a larger number.
            std::size_t startA = i, startB = j;
            while (startA + 1 < endA && a[startA] == '0') ++startA;
            while (startB + 1 < endB && b[startB] == '0') ++startB;
            if (endA - startA != endB - startB) return endA - startA < endB - startB ? -1 : 1;
            if (const int c = a.substr(startA, endA - startA).compare(b.substr(startB, endB - startB))) return c;
            i = endA;
            j = endB;
            continue;
        }
        const int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[j]));
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    return a.compare(b);
}

bool listedBefore(const FileBrowserEntry& a, const FileBrowserEntry& b) {
    if (a.folder != b.folder) return a.folder;
    return compareNames(a.name, b.name) < 0;
}

bool hasExtension(std::string_view name, std::string_view extension) {
    if (name.size() <= extension.size() + 1 || name[name.size() - extension.size() - 1] != '.') return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool statIs(const std::string& path, mode_t kind) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

}  // namespace

FileBrowserListing listFolder(const std::string& folder, std::string_view extension) {
    FileBrowserListing listing;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0) close(fd);
        listing.readable = false;
        return listing;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name.front() == '.') continue;
        struct stat info;
        if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) continue;
        if (S_ISDIR(info.st_mode))
            listing.entries.push_back({std::string(name), true});
        else if (S_ISREG(info.st_mode) && (extension.empty() || hasExtension(name, extension)))
            listing.entries.push_back({std::string(name), false});
    }
    closedir(dir);
    std::sort(listing.entries.begin(), listing.entries.end(), listedBefore);
    return listing;
}

bool isFolder(const std::string& path) { return !path.empty() && statIs(path, S_IFDIR); }

bool isRegularFile(const std::string& path) { return !path.empty() && statIs(path, S_IFREG); }

bool pathExists(const std::string& path) {
    struct stat info;
    return !path.empty() && lstat(path.c_str(), &info) == 0;
}

std::string parentFolder(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(folder.substr(0, slash));
}

std::string joinPath(std::string_view folder, std::string_view name, std::string_view home) {
    if (name.starts_with('/')) return std::string(name);
    if ((name == "~" || name.starts_with("~/")) && !home.empty()) return joinPath(home, name.substr(name.size() > 1 ? 2 : 1), {});
    std::string path(folder);
    if (name.empty()) return path;
    if (path.empty() || path.back() != '/') path += '/';
    return path + std::string(name);
}

std::string canonicalFolder(const std::string& path) {
    if (!isFolder(path)) return {};
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string result(resolved);
    free(resolved);
    return result;
}

std::string baseName(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace vorlatek::editor
