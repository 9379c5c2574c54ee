#include "editor/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

extern char** environ;

namespace vorlatek::editor {

namespace {

constexpr std::string_view kDefaultPath = "/usr/local/bin:/usr/bin:/bin";
// Variables of the host's that would make a child load the host's copies of libraries.
constexpr std::string_view kWithheld[] = {"LD_LIBRARY_PATH"};
// How long end() gives a killed child to go, and the steps it looks in.
constexpr long kEndWaitNs = 200'000'000;
constexpr long kFirstEndStepNs = 20'000;
constexpr long kLastEndStepNs = 5'000'000;

bool hasName(std::string_view entry, std::string_view name) {
    return entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=';
}

// posix_spawn's attributes and file actions, released however start() leaves.
struct SpawnSetup {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSetup() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

ChildProcess::~ChildProcess() { end(); }

std::vector<std::string> ChildProcess::currentEnvironment() {
    std::vector<std::string> result;
    for (char** entry = environ; entry && *entry; ++entry) result.emplace_back(*entry);
    return result;
}

std::string_view ChildProcess::lookUp(const std::vector<std::string>& environment, std::string_view name) {
    for (const std::string& entry : environment)
        if (hasName(entry, name)) return std::string_view(entry).substr(name.size() + 1);
    return {};
}

std::string ChildProcess::findProgram(std::string_view program, const std::vector<std::string>& environment) {
    if (program.empty() || program.find('/') != std::string_view::npos) return {};
    bool hasPath = false;
    for (const std::string& entry : environment) hasPath = hasPath || hasName(entry, "PATH");
    const std::string_view path = hasPath ? lookUp(environment, "PATH") : kDefaultPath;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(':', begin);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view folder = path.substr(begin, end - begin);
        begin = end + 1;
        // An empty or relative entry would mean the host's working directory: never searched.
        if (folder.empty() || folder.front() != '/') continue;
        std::string candidate(folder);
        if (candidate.back() != '/') candidate += '/';
        candidate += program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

std::vector<std::string> ChildProcess::childEnvironment(const std::vector<std::string>& environment) {
    std::vector<std::string> result;
    for (const std::string& entry : environment) {
        bool withheld = false;
        for (std::string_view name : kWithheld) withheld = withheld || hasName(entry, name);
        if (!withheld) result.push_back(entry);
    }
    return result;
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment) {
    if (pid_ > 0 || program.empty() || program.front() != '/') return false;
    closePipe();
    output_.clear();
    ended_ = false;
    exitCode_ = -1;

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);

    SpawnSetup setup;
    // The output first: the pipe may have landed on descriptor 0 or 2 in a host that closed them.
    posix_spawn_file_actions_adddup2(&setup.actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
#endif
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &all);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const std::vector<std::string> childEnv = childEnvironment(environment);
    std::vector<char*> envp;
    for (const std::string& entry : childEnv) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), envp.data());
    close(fds[1]);
    if (error != 0) {
        close(fds[0]);
        return false;
    }
    pid_ = pid;
    pipe_ = fds[0];
    pipeOpen_ = true;
    return true;
}

void ChildProcess::readOutput() {
    char buffer[4096];
    while (pipeOpen_) {
        const ssize_t n = read(pipe_, buffer, sizeof buffer);
        if (n > 0) {
            const std::size_t room = kMaxOutput - output_.size();
            output_.append(buffer, std::size_t(n) < room ? std::size_t(n) : room);
        } else if (n == 0) {
            closePipe();
        } else if (errno == EINTR) {
            continue;
        } else {
            if (errno != EAGAIN && errno != EWOULDBLOCK) closePipe();
            return;
        }
    }
}

bool ChildProcess::reap() {
    if (pid_ <= 0) return true;
    int status = 0;
    pid_t done;
    do done = waitpid(pid_, &status, WNOHANG);
    while (done < 0 && errno == EINTR);
    if (done == 0) return false;
    // A host that ignores SIGCHLD or reaps every child itself leaves us no status.
    exitCode_ = -1;
    if (done == pid_ && WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
    if (done == pid_ && WIFSIGNALED(status)) exitCode_ = 128 + WTERMSIG(status);
    pid_ = -1;
    return true;
}

bool ChildProcess::poll() {
    if (ended_) return true;
    readOutput();
    if (!reap()) return false;
    // Whatever the child wrote before it ended is in the pipe now; a grandchild that still
    // holds the pipe open is not waited for.
    readOutput();
    closePipe();
    ended_ = true;
    return true;
}

void ChildProcess::end() {
    // A child someone else reaped is not signalled: its number may belong to another process.
    if (pid_ > 0 && !reap()) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        // Short steps first: a killed process is usually gone within tens of microseconds.
        long step = kFirstEndStepNs;
        for (long waited = 0; !reap() && waited < kEndWaitNs; waited += step, step = std::min(2 * step, kLastEndStepNs)) {
            const timespec pause{0, step};
            nanosleep(&pause, nullptr);
        }
        // A child stuck in the kernel past that is left as it is rather than waited for.
        pid_ = -1;
    }
    closePipe();
    ended_ = true;
}

void ChildProcess::closePipe() {
    if (pipeOpen_) close(pipe_);
    pipeOpen_ = false;
    pipe_ = -1;
}

}  // namespace vorlatek::editor
