#pragma once
// The checks of `validate`: what each one is, what it gets to work with, and how it tells
// the outcome. Every check runs in a child process of its own (see ChildProcess.h), so a
// check may crash, hang or leak without harming the others; it reports through its context.

#include "host/PluginModule.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlatek::host {

// Thrown by a check that found a fault; the message says what and where, on one line.
class CheckFailure : public std::runtime_error {
public:
    explicit CheckFailure(const std::string& message) : std::runtime_error(message) {}
};

// Thrown by a check that does not apply to the plug-in (no chunks, no German locale).
class CheckSkipped : public std::runtime_error {
public:
    explicit CheckSkipped(const std::string& reason) : std::runtime_error(reason) {}
};

class CheckContext {
public:
    // `progress` receives each step as it starts; a check that crashes or hangs is
    // reported with the last step it announced.
    CheckContext(std::string pluginPath, bool quick, std::uint32_t seed, std::function<void(const std::string&)> progress);

    const std::string& pluginPath() const { return pluginPath_; }
    // The module, loaded on first use and kept for the life of the check.
    std::shared_ptr<PluginModule> module();
    bool quick() const { return quick_; }
    // Repeatable random numbers: the same seed gives the same run.
    std::mt19937& random() { return random_; }
    // A whole number in [low, high].
    int randomInt(int low, int high);

    // Says what the check does next (for the report of a crash or a hang).
    void step(const std::string& what) { progress_(what); }
    [[noreturn]] void fail(const std::string& message) const { throw CheckFailure(message); }
    void expect(bool condition, const std::string& message) const {
        if (!condition) fail(message);
    }

private:
    std::string pluginPath_;
    bool quick_;
    std::mt19937 random_;
    std::function<void(const std::string&)> progress_;
    std::shared_ptr<PluginModule> module_;
};

struct Check {
    const char* name;
    // Returns a short summary of what was checked (counts, ranges), shown after "PASS".
    std::function<std::string(CheckContext&)> run;
};

// The checks, in the order they run; each group lives in its own file.
std::vector<Check> lifecycleChecks();  // create and close, module unload
std::vector<Check> audioChecks();      // sample rates, block sizes, unusual input and events
std::vector<Check> callChecks();       // string calls, parameters, programs
std::vector<Check> chunkChecks();      // round trips, damaged chunks, German locale
std::vector<Check> threadChecks();     // calls from another thread while processing

// Formats a value for a message: exact for floats ("0.5", "nan", "1e+30").
std::string describe(float value);

}  // namespace vorlatek::host
