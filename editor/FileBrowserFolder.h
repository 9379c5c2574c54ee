#pragma once
// What the built-in file browser shows of a folder, and the path arithmetic it needs. Names
// are bytes as the file system has them; only drawing makes them valid UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace vorlatek::editor {

struct FileBrowserEntry {
    std::string name;
    bool folder = false;

    friend bool operator==(const FileBrowserEntry&, const FileBrowserEntry&) = default;
};

struct FileBrowserListing {
    std::vector<FileBrowserEntry> entries;
    bool readable = true;
};

// The entries of `folder`: its folders first, then its files whose name ends with "." +
// `extension` (in any case; every file when `extension` is empty), each group in the order
// people expect: case aside, numbers by value ("Take 2" before "Take 10"). Hidden entries (a leading ".") are left out; links count as what
// they point to; broken links and other kinds of file are left out.
FileBrowserListing listFolder(const std::string& folder, std::string_view extension);

bool isFolder(const std::string& path);
bool isRegularFile(const std::string& path);
bool pathExists(const std::string& path);
// The folder above `folder` ("/" stays "/").
std::string parentFolder(std::string_view folder);
// `name` inside `folder`; an absolute `name` stands for itself, and "~/..." starts at `home`.
std::string joinPath(std::string_view folder, std::string_view name, std::string_view home);
// The absolute path of an existing folder without links, "." or ".."; empty when `path` is no
// folder.
std::string canonicalFolder(const std::string& path);
// The last element of `path`.
std::string baseName(std::string_view path);

}  // namespace vorlatek::editor
