// The file access of FileAccess.h on POSIX systems.

#include "sequencer/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace vorlatek::files {

namespace {

// The same limit the kernel puts on one name lookup.
constexpr int kMaxLinkHops = 40;
// Names tried for the temporary file before giving up (another writer may hold one).
constexpr int kTemporaryNameAttempts = 64;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and says whether the close reported no error (a full disk may show here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The name a write to `path` lands on: symbolic links are followed, relative ones from the
// link's own folder, up to a name that is not a link or does not exist yet. Empty when the
// links loop or cannot be read.
std::string finalName(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return {};
        target.resize(static_cast<std::size_t>(length));
        if (target.front() != '/') {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos) target.insert(0, path, 0, slash + 1);
        }
        path = std::move(target);
    }
    return {};
}

bool writeAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a new file beside `target` that nobody else has open. An existing file's
// replacement starts private and takes the old file's owner and mode once it exists; a new
// file gets the usual mode the process's umask leaves.
int createTemporary(const std::string& target, bool replacing, std::string& name) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        name = target + ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                              replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

FileContents readRegularFile(const std::string& path, std::size_t maxBytes) {
    FileContents result;
    struct stat info {};
    // A look before opening: opening a FIFO waits for a writer, and some devices act on open.
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        const bool missing = path.empty() || errno == ENOENT || errno == ENOTDIR;
        result.status = missing ? ReadStatus::Missing : ReadStatus::Failed;
        return result;
    }
    result.status = ReadStatus::Refused;
    if (!S_ISREG(info.st_mode)) return result;
    // The name may have been swapped since the look: never block, and check again.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        result.status = ReadStatus::Failed;
        return result;
    }
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<unsigned long long>(info.st_size) > maxBytes)
        return result;

    result.bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < result.bytes.size()) {
        const ssize_t n = ::read(file.get(), result.bytes.data() + got, result.bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.bytes.clear();
            result.status = ReadStatus::Failed;
            return result;
        }
        if (n == 0) break;  // the file shrank while we read it: what is there is the file
        got += static_cast<std::size_t>(n);
    }
    result.bytes.resize(got);
    result.status = got == 0 ? ReadStatus::Empty : ReadStatus::Read;
    return result;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string target = finalName(path);
    if (target.empty()) return false;

    struct stat existing {};
    const bool replacing = ::lstat(target.c_str(), &existing) == 0;
    if (!replacing && errno != ENOENT) return false;
    if (replacing) {
        // A device, FIFO, folder or socket is never replaced by a file, and a file that
        // nobody may write (mode 444, say) is not ours to change, even for root.
        if (!S_ISREG(existing.st_mode)) return false;
        if ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return false;
    }

    std::string temporary;
    Descriptor file(createTemporary(target, replacing, temporary));
    if (file.get() < 0) return false;
    bool ok = true;
    if (replacing) {
        // Only root may give a file away; for everyone else the owner is already right.
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            (void)::fchown(file.get(), existing.st_uid, existing.st_gid);
        ok = ::fchmod(file.get(), existing.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(file.get(), bytes);
    ok = ok && ::fsync(file.get()) == 0;
    ok = file.close() && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

}  // namespace vorlatek::files
