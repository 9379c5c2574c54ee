// `validate`: tries a plug-in the way a hostile host and a careless user would, one check
// per child process, and prints one line per check and a final count.

#include "host/ChildProcess.h"
#include "host/Commands.h"
#include "host/HostError.h"
#include "host/PluginInstance.h"
#include "host/Validation.h"

#include <nlohmann/json.hpp>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vorlatek::host {
namespace {

using Json = nlohmann::ordered_json;

// Far beyond what a check needs on a slow machine, and short enough that a hang is told.
constexpr double kQuickTimeLimit = 120.0;
constexpr double kFullTimeLimit = 1200.0;

std::vector<Check> allChecks() {
    std::vector<Check> checks;
    for (auto group : {lifecycleChecks, audioChecks, callChecks, chunkChecks, threadChecks}) {
        for (Check& check : group()) checks.push_back(std::move(check));
    }
    return checks;
}

std::vector<Check> chosenChecks(const std::vector<std::string>& names) {
    std::vector<Check> checks = allChecks();
    if (names.empty()) return checks;
    std::vector<Check> chosen;
    for (const std::string& name : names) {
        auto found = std::find_if(checks.begin(), checks.end(), [&](const Check& c) { return name == c.name; });
        if (found == checks.end()) {
            std::string known;
            for (const Check& c : checks) known += std::string(known.empty() ? "" : ", ") + c.name;
            throw HostError("no check named '" + name + "' (" + known + ")");
        }
        chosen.push_back(*found);
    }
    return chosen;
}

// Each check draws its own numbers, so leaving one out does not change another.
std::uint32_t seedFor(std::uint32_t seed, const char* name) {
    std::uint32_t hash = 2166136261u;
    for (const char* c = name; *c != '\0'; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    return seed ^ hash;
}

struct Result {
    std::string name;
    std::string outcome;  // "pass", "fail" or "skip"
    std::string detail;
    double seconds = 0.0;
};

std::string signalName(int signal) {
    const char* name = sigabbrev_np(signal);
    return name ? std::string("SIG") + name : "signal " + std::to_string(signal);
}

Result runCheck(const Check& check, const ValidateOptions& o) {
    const auto start = std::chrono::steady_clock::now();
    const double limit = o.timeLimit ? *o.timeLimit : o.quick ? kQuickTimeLimit : kFullTimeLimit;
    ChildOutcome child = runInChild(
        [&](const std::function<void(const std::string&)>& progress) -> std::string {
            CheckContext context(o.plugin, o.quick, seedFor(o.seed, check.name), progress);
            try {
                return "pass " + check.run(context);
            } catch (const CheckSkipped& skipped) {
                return std::string("skip ") + skipped.what();
            } catch (const std::exception& failure) {
                return std::string("fail ") + failure.what();
            }
        },
        limit);
    Result result;
    result.name = check.name;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string during = child.lastProgress.empty() ? "" : " during " + child.lastProgress;
    switch (child.ending) {
        case ChildOutcome::Ending::Reported: {
            const auto space = child.report.find(' ');
            result.outcome = child.report.substr(0, space);
            result.detail = space == std::string::npos ? "" : child.report.substr(space + 1);
            break;
        }
        case ChildOutcome::Ending::Crashed:
            result.outcome = "fail";
            result.detail = "crashed (" + signalName(child.signal) + ")" + during;
            break;
        case ChildOutcome::Ending::TimedOut:
            result.outcome = "fail";
            result.detail = "no answer within " + describe(static_cast<float>(limit)) + " s" + during;
            break;
        case ChildOutcome::Ending::Exited:
            result.outcome = "fail";
            result.detail = "the process ended (status " + std::to_string(child.exitStatus) + ")" + during;
            break;
    }
    return result;
}

// Loads the plug-in and makes one instance in a child first, so that a file that is no
// plug-in at all gives one message instead of a failure in every check.
void preflight(const std::string& path) {
    ChildOutcome child = runInChild(
        [&](const std::function<void(const std::string&)>&) -> std::string {
            try {
                PluginInstance plugin(path);
                plugin.open();
                return "ok";
            } catch (const std::exception& error) {
                return error.what();
            }
        },
        kQuickTimeLimit);
    if (child.ending == ChildOutcome::Ending::Reported && child.report == "ok") return;
    if (child.ending == ChildOutcome::Ending::Reported) throw HostError(child.report);
    throw HostError("the plug-in " + path + " does not load: " +
                    (child.ending == ChildOutcome::Ending::Crashed ? "it crashed (" + signalName(child.signal) + ")"
                                                                   : std::string("it does not answer")));
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

int runValidate(const ValidateOptions& o, std::FILE* out) {
    const std::vector<Check> checks = chosenChecks(o.checks);
    preflight(o.plugin);
    if (!o.json) {
        std::fprintf(out, "validating %s (%s, seed %u)\n", o.plugin.c_str(), o.quick ? "quick" : "full", o.seed);
        std::fflush(out);
    }
    std::vector<Result> results;
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    for (const Check& check : checks) {
        Result result = runCheck(check, o);
        passed += result.outcome == "pass";
        failed += result.outcome == "fail";
        skipped += result.outcome == "skip";
        if (!o.json) {
            std::fprintf(out, "%-4s  %-26s %s (%.1f s)\n", upper(result.outcome).c_str(), result.name.c_str(),
                         result.detail.c_str(), result.seconds);
            std::fflush(out);
        }
        results.push_back(std::move(result));
    }
    if (o.json) {
        Json j;
        j["plugin"] = o.plugin;
        j["quick"] = o.quick;
        j["seed"] = o.seed;
        Json list = Json::array();
        for (const Result& r : results)
            list.push_back({{"name", r.name}, {"result", r.outcome}, {"detail", r.detail}, {"seconds", r.seconds}});
        j["checks"] = list;
        j["passed"] = passed;
        j["failed"] = failed;
        j["skipped"] = skipped;
        std::fprintf(out, "%s\n", j.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
    } else {
        std::fprintf(out, "%d passed, %d failed", passed, failed);
        if (skipped > 0) std::fprintf(out, ", %d skipped", skipped);
        std::fputc('\n', out);
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace vorlatek::host
