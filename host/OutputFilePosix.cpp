#include "host/OutputFile.h"

#include "host/HostError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>

namespace vorlatek::host {
namespace {

namespace fs = std::filesystem;

// The temporary file a stopping signal removes. The host writes one output at a time.
char pendingName[PATH_MAX + 1];
volatile std::sig_atomic_t pendingSet = 0;
constexpr int kStoppingSignals[] = {SIGINT, SIGTERM, SIGHUP};

void removePendingAndStop(int signal) {
    if (pendingSet != 0) ::unlink(pendingName);
    // The handler was reset on entry: the signal now stops the host as it would have.
    ::raise(signal);
}

void installSignalHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int signal : kStoppingSignals) {
        struct sigaction current {};
        // A signal the host was started to ignore (a background job's SIGINT) stays ignored.
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removePendingAndStop;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

void setPending(const std::string& name) {
    pendingSet = 0;
    if (name.empty() || name.size() > PATH_MAX) return;
    installSignalHandlers();
    std::memcpy(pendingName, name.c_str(), name.size() + 1);
    pendingSet = 1;
}

void clearPending() { pendingSet = 0; }

std::string reason(int error) { return std::strerror(error); }

// The file a write to `path` lands on: symbolic links followed, relative ones from the
// link's own folder, up to a name that is not a link or does not exist yet.
std::string followLinks(const std::string& path, const std::string& given) {
    fs::path name = path;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(name, error))) return name.string();
        const fs::path target = fs::read_symlink(name, error);
        if (error) throw HostError("cannot write " + given + ": " + error.message());
        name = target.is_absolute() ? target : name.parent_path() / target;
    }
    throw HostError("cannot write " + given + ": " + reason(ELOOP));
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), target_(followLinks(path, path)) {
    try {
        open();
    } catch (...) {
        discard();
        throw;
    }
}

void OutputFile::open() {
    struct stat existing {};
    const bool exists = ::lstat(target_.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) fail(reason(errno));

    if (exists && (S_ISCHR(existing.st_mode) || S_ISFIFO(existing.st_mode))) {
        // Written where it is: replacing /dev/null or a FIFO with a file would break it.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) fail(errno == ENXIO ? "no program is reading from the FIFO" : reason(errno));
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return;
    }
    if (exists && S_ISDIR(existing.st_mode)) fail("it is a folder");
    if (exists && !S_ISREG(existing.st_mode)) fail("not a regular file, a character device or a FIFO");
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0))
        fail("the file is read-only");

    for (int attempt = 0; fd_ < 0; ++attempt) {
        // out.wav.partial-PID, or out.wav.partial-PID-N when a stale one is in the way.
        temporary_ = target_ + ".partial-" + std::to_string(::getpid());
        if (attempt > 0) temporary_.append("-").append(std::to_string(attempt));
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, exists ? 0600 : 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt >= 64)) {
            const int error = errno;
            temporary_.clear();
            fail(reason(error));
        }
    }
    setPending(temporary_);
    if (exists) {
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            (void)::fchown(fd_, existing.st_uid, existing.st_gid);
        if (::fchmod(fd_, existing.st_mode & 07777) != 0) fail(reason(errno));
    }
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!committed_ && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
        clearPending();
    }
}

void OutputFile::fail(const std::string& why) const { throw HostError("cannot write " + path_ + ": " + why); }

void OutputFile::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(reason(n < 0 ? errno : EIO));
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::commit() {
    // A regular file reaches the disk before it takes the name; a device needs no sync.
    if (!inPlace() && ::fsync(fd_) != 0) fail(reason(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(reason(errno));
    if (!inPlace() && ::rename(temporary_.c_str(), target_.c_str()) != 0) fail(reason(errno));
    committed_ = true;
    clearPending();
}

}  // namespace vorlatek::host
