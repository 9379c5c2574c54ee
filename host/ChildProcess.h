#pragma once
// Runs a piece of work in a forked child process with a time limit, and tells how it ended:
// the report it wrote, or the signal that killed it, or the time limit, together with the
// last progress message it sent. A crash or hang of the work never reaches the caller.

#include <functional>
#include <string>

namespace vorlatek::host {

struct ChildOutcome {
    enum class Ending { Reported, Crashed, TimedOut, Exited };
    Ending ending = Ending::Exited;
    std::string report;        // what the work returned (Reported)
    int signal = 0;            // the signal that ended it (Crashed)
    int exitStatus = 0;        // its exit status when it ended without a report (Exited)
    std::string lastProgress;  // the last message passed to `progress`, or ""
};

// The work gets a function to send progress messages (one line each) and returns its
// report (one line). The child never returns into the caller's code: it ends with _exit.
ChildOutcome runInChild(const std::function<std::string(const std::function<void(const std::string&)>& progress)>& work,
                        double timeLimitSeconds);

}  // namespace vorlatek::host
