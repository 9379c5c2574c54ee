#include "host/ChildProcess.h"

#include "host/HostError.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace vorlatek::host {
namespace {

// Lines on the pipe: "P text" for progress, "R text" for the report.
void sendLine(int fd, char kind, const std::string& text) {
    std::string line(1, kind);
    line += ' ';
    for (char c : text) line += c == '\n' ? ' ' : c;
    line += '\n';
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::write(fd, line.data() + sent, line.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

[[noreturn]] void runChild(int fd, const std::function<std::string(const std::function<void(const std::string&)>&)>& work) {
    int status = 0;
    try {
        const std::string report = work([fd](const std::string& text) { sendLine(fd, 'P', text); });
        sendLine(fd, 'R', report);
    } catch (...) {
        status = 3;
    }
    ::close(fd);
    // No exit handlers, no flushing of what the parent had buffered, no destructors of a
    // plug-in's statics that may be in any state: the child just ends.
    ::_exit(status);
}

void takeLines(std::string& pending, ChildOutcome& outcome) {
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (line.size() < 2) continue;
        if (line[0] == 'P') outcome.lastProgress = line.substr(2);
        if (line[0] == 'R') {
            outcome.report = line.substr(2);
            outcome.ending = ChildOutcome::Ending::Reported;
        }
    }
}

}  // namespace

ChildOutcome runInChild(const std::function<std::string(const std::function<void(const std::string&)>& progress)>& work,
                        double timeLimitSeconds) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw HostError(std::string("cannot start a check: ") + std::strerror(errno));
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw HostError(std::string("cannot start a check: ") + std::strerror(errno));
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(fds[1], work);
    }
    ::close(fds[1]);

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeLimitSeconds));
    ChildOutcome outcome;
    std::string pending;
    bool open = true;
    int status = 0;
    while (true) {
        if (open) {
            pollfd poller{fds[0], POLLIN, 0};
            if (::poll(&poller, 1, 50) > 0) {
                char buffer[4096];
                const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
                if (n > 0) pending.append(buffer, static_cast<std::size_t>(n));
                if (n == 0) open = false;
                takeLines(pending, outcome);
            }
        } else {
            ::usleep(1000);
        }
        // The child may end while something it started still holds the pipe open.
        if (::waitpid(pid, &status, WNOHANG) == pid) break;
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            outcome.ending = ChildOutcome::Ending::TimedOut;
            ::close(fds[0]);
            return outcome;
        }
    }
    // What the child wrote just before it ended.
    pollfd poller{fds[0], POLLIN, 0};
    while (open && ::poll(&poller, 1, 0) > 0) {
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(n));
    }
    takeLines(pending, outcome);
    ::close(fds[0]);
    if (outcome.ending == ChildOutcome::Ending::Reported) return outcome;
    if (WIFSIGNALED(status)) {
        outcome.ending = ChildOutcome::Ending::Crashed;
        outcome.signal = WTERMSIG(status);
    } else {
        outcome.ending = ChildOutcome::Ending::Exited;
        outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return outcome;
}

}  // namespace vorlatek::host
