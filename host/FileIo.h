#pragma once
// Whole-file reads and writes for the chunk files the host reads and writes.

#include <cstddef>
#include <string>
#include <vector>

namespace vorlatek::host {

// Largest chunk file the host reads.
inline constexpr std::size_t kMaxChunkBytes = 256u << 20;

// Reads a whole regular file; throws HostError when it cannot be read, is not a regular
// file (a FIFO or device is refused without waiting on it) or is larger than maxBytes
// (refused before reading).
std::vector<char> readWholeFile(const std::string& path, std::size_t maxBytes);

// Writes the bytes as an OutputFile does: a failed write never leaves a truncated file
// behind, and nothing is clobbered. Throws HostError on failure.
void writeWholeFile(const std::string& path, const std::vector<char>& bytes);

}  // namespace vorlatek::host
