#pragma once
// A program run beside the host, read without waiting. It is started with posix_spawn from an
// absolute path, with an environment of its own (the host's, less what would load the host's
// libraries into it), in a process group of its own, with its output on a close-on-exec pipe,
// no input, its errors discarded, default signal handling, and none of the host's other file
// descriptors. The host's own working directory and environment are never touched.
//
// poll() reads what the child wrote and reaps it once it has ended (waitpid with WNOHANG).
// end() kills the child's process group and reaps it; it waits for the kill to take effect (a
// killed process is normally gone within a millisecond) for at most a fifth of a second.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace vorlatek::editor {

class ChildProcess {
public:
    // What a child may print before the rest is dropped.
    static constexpr std::size_t kMaxOutput = 64 * 1024;

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The process's environment as "NAME=value" entries, read once.
    static std::vector<std::string> currentEnvironment();
    // The value of `name` in `environment`, or an empty view.
    static std::string_view lookUp(const std::vector<std::string>& environment, std::string_view name);
    // The absolute path of the executable `program` in the folders of PATH (relative folders
    // are skipped), or an empty text.
    static std::string findProgram(std::string_view program, const std::vector<std::string>& environment);
    // `environment` without the entries that must not reach a child (LD_LIBRARY_PATH).
    static std::vector<std::string> childEnvironment(const std::vector<std::string>& environment);

    // Starts `program` (an absolute path) with `arguments` after argv[0]; false when it could
    // not be started or a child is still running.
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment);

    // Reads the output so far and reaps the child when it has ended; true once it has ended
    // and all its output has been read.
    bool poll();
    bool isRunning() const { return pid_ > 0; }
    bool hasEnded() const { return ended_; }
    // The exit code; 128 + the signal's number for a child ended by a signal; -1 when the
    // status could not be had (the host ignores SIGCHLD, or reaped the child itself).
    int exitCode() const { return exitCode_; }
    const std::string& output() const { return output_; }

    // Kills the child and its group, reaps it and closes the pipe.
    void end();

private:
    void readOutput();
    // waitpid without waiting; true once the child is gone.
    bool reap();
    void closePipe();

    pid_t pid_ = -1;
    int pipe_ = -1;
    bool pipeOpen_ = false;
    bool ended_ = false;
    int exitCode_ = -1;
    std::string output_;
};

}  // namespace vorlatek::editor
