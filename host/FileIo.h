#pragma once
// Whole-file reads and atomic writes for the chunk files the host reads and writes.

#include <string>
#include <vector>

namespace vorlatek::host {

// Reads a whole file; throws HostError when it cannot be read or is larger than maxBytes.
std::vector<char> readWholeFile(const std::string& path, std::size_t maxBytes);

// A file name next to `path` for writing before the final rename.
std::string temporaryNameFor(const std::string& path);

// Writes the bytes to a temporary file beside `path` and renames it into place, so that a
// failed write never leaves a truncated file behind. Throws HostError on failure.
void writeFileAtomically(const std::string& path, const std::vector<char>& bytes);

// Moves a finished temporary file into place; throws HostError on failure.
void commitTemporary(const std::string& temporary, const std::string& path);

}  // namespace vorlatek::host
