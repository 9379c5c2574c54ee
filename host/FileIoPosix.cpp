// Reading a whole file on POSIX systems: a look at what the name is before it is opened,
// so that a FIFO is refused instead of waited on.
#include "host/FileIo.h"

#include "host/HostError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorlatek::host {

std::vector<char> readWholeFile(const std::string& path, std::size_t maxBytes) {
    const auto fail = [&](const std::string& why) { return HostError("cannot read " + path + ": " + why); };
    struct stat info {};
    // A look before opening: opening a FIFO waits for a writer.
    if (::stat(path.c_str(), &info) != 0) throw fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) throw fail("it is a folder");
    if (!S_ISREG(info.st_mode)) throw fail("not a regular file");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw fail(std::strerror(errno));
    std::vector<char> bytes;
    int error = 0;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = EINVAL;
    } else if (static_cast<unsigned long long>(info.st_size) <= maxBytes) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = errno;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (error == EINVAL) throw fail("not a regular file");
    if (error != 0) throw fail(std::strerror(error));
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        throw fail("larger than " + std::to_string(maxBytes) + " bytes");
    return bytes;
}

}  // namespace vorlatek::host
