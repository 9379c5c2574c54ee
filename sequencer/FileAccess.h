#pragma once
// What the plug-in's documents need from the file system, in one place so that another
// platform only has to provide its own implementation file.
//
// Reading never blocks and never reads more than asked: a FIFO, a device or a folder where
// a document is expected is refused after a look at what it is, before a byte is read.
// Writing never clobbers: the name is followed through symbolic links, a regular file is
// replaced whole (a reader sees the old bytes or the new ones, never a mix) and keeps its
// permissions, and anything that is not a regular file, or a file nobody may write, is
// left alone.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlatek::files {

enum class ReadStatus {
    Read,     // `bytes` holds the whole file
    Missing,  // nothing by that name
    Empty,    // a regular file of no bytes
    Refused,  // something that is not a regular file, or a file larger than the cap
    Failed,   // a regular file that could not be opened or read (permissions, I/O error)
};

struct FileContents {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

// Reads a whole regular file of at most maxBytes bytes.
FileContents readRegularFile(const std::string& path, std::size_t maxBytes);

// Puts `bytes` in the file at `path` (see above). Returns whether the file now holds them;
// on failure whatever was there before is untouched.
bool replaceFile(const std::string& path, std::string_view bytes);

}  // namespace vorlatek::files
