#pragma once
// A file the host writes (a WAV file, a chunk), written so that it never clobbers anything:
//
// - a symbolic link is followed and the file it points to is written, the link stays;
// - a regular file is written under a temporary name beside it and renamed over it only
//   when everything was written, keeping its mode and owner; a read-only file is refused;
// - a character device (/dev/null) or a FIFO is written in place, never replaced; a FIFO
//   that nobody reads is refused rather than waited for; folders, sockets and block
//   devices are refused;
// - an unfinished temporary file is removed when the object goes away, and also when the
//   host is stopped by SIGINT, SIGTERM or SIGHUP while writing.

#include <cstddef>
#include <string>

namespace vorlatek::host {

class OutputFile {
public:
    // Opens the file for writing; throws HostError with a one-line message when it cannot.
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int descriptor() const { return fd_; }
    const std::string& path() const { return path_; }
    // True when a device or FIFO is written directly.
    bool inPlace() const { return temporary_.empty(); }

    // Writes all of the bytes; throws HostError on failure.
    void write(const void* data, std::size_t size);
    // Closes the file and gives it its final name; throws HostError on failure.
    void commit();

private:
    void open();
    // Closes the file and removes an unfinished temporary.
    void discard();
    [[noreturn]] void fail(const std::string& why) const;

    std::string path_;       // as given, for messages
    std::string target_;     // links followed
    std::string temporary_;  // empty when written in place
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace vorlatek::host
