// `validate`: a well-behaved plug-in passes every check, each fault planted in the
// validator fixture is caught by the check made for it, and our plug-in and a third-party
// one go through the quick run.

#include "HostRunner.h"

#include <algorithm>
#include <cstdlib>
#include <map>

using namespace hosttest;
using nlohmann::json;

namespace {

const std::string kValidatorFixture = fixture("validator");
const std::string kKars = "/usr/lib/vst/Kars-vst.so";

const std::vector<std::string> kCheckNames = {
    "create and close", "module unload",  "sample rates",      "block sizes",       "unusual input",
    "string calls",     "parameter values", "bad indices",     "programs",          "chunk round trips",
    "damaged chunks",   "German locale",  "calls from another thread"};

// A German locale for the locale check, compiled once into the build folder when the
// system has none installed; "" when it cannot be had.
std::string germanLocalePath() {
    const fs::path folder = fs::path(VORLATEK_BINARY_DIR) / "test-locales";
    if (fs::exists(folder / "de_DE.UTF-8" / "LC_NUMERIC")) return folder.string();
    TempDir scratch;
    const std::string command = "localedef -i de_DE -f UTF-8 '" + scratch.file("de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !fs::exists(scratch.file("de_DE.UTF-8/LC_NUMERIC"))) return "";
    std::error_code ignored;
    fs::rename(scratch.path(), folder, ignored);  // another test may have been first
    return fs::exists(folder / "de_DE.UTF-8" / "LC_NUMERIC") ? folder.string() : "";
}

std::vector<std::string> localeEnvironment() {
    const std::string path = germanLocalePath();
    return path.empty() ? std::vector<std::string>{} : std::vector<std::string>{"LOCPATH=" + path};
}

// The result word ("PASS", "FAIL", "SKIP") and detail of each check line.
std::map<std::string, std::pair<std::string, std::string>> resultsOf(const std::string& out) {
    std::map<std::string, std::pair<std::string, std::string>> results;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        for (const std::string& name : kCheckNames) {
            if (line.size() > 6 && line.compare(6, name.size(), name) == 0 && line[6 + name.size()] == ' ')
                results[name] = {line.substr(0, 4), line.substr(32)};
        }
    }
    return results;
}

}  // namespace

TEST(Validate, AWellBehavedPluginPassesEveryCheck) {
    const auto environment = localeEnvironment();
    RunResult r = runHost({"validate", kValidatorFixture, "--quick"}, environment);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    const auto results = resultsOf(r.out);
    ASSERT_EQ(results.size(), kCheckNames.size()) << r.out;
    for (const auto& [name, result] : results) {
        const bool skippedLocale = name == "German locale" && environment.empty();
        EXPECT_EQ(result.first, skippedLocale ? "SKIP" : "PASS") << name << ": " << result.second;
    }
    EXPECT_NE(r.out.find(environment.empty() ? "\n12 passed, 0 failed, 1 skipped\n" : "\n13 passed, 0 failed\n"),
              std::string::npos)
        << r.out;
}

// A planted fault, the check that must fail, and a part of what it must say. (A crash is
// SIGSEGV, or SIGABRT where a sanitizer takes the signal first.)
struct Fault {
    const char* fault;
    const char* check;
    const char* message;
};

class ValidateFault : public ::testing::TestWithParam<Fault> {};

TEST_P(ValidateFault, IsCaughtByItsCheck) {
    const Fault& f = GetParam();
    std::vector<std::string> environment = localeEnvironment();
    if (std::string(f.check) == "German locale" && environment.empty()) GTEST_SKIP() << "no German locale";
    environment.push_back(std::string("VORLATEK_FIXTURE_FAULT=") + f.fault);
    RunResult r = runHost({"validate", kValidatorFixture, "--quick", "--check", f.check, "--time-limit", "2"},
                          environment);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    const auto results = resultsOf(r.out);
    ASSERT_EQ(results.count(f.check), 1u) << r.out;
    EXPECT_EQ(results.at(f.check).first, "FAIL");
    EXPECT_NE(results.at(f.check).second.find(f.message), std::string::npos) << results.at(f.check).second;
    EXPECT_NE(r.out.find("\n0 passed, 1 failed\n"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Validate, ValidateFault,
    ::testing::Values(Fault{"descriptor-leak", "create and close", "more files are open after"},
                      Fault{"low-rate-nan", "sample rates", "is nan at frame 0"},
                      Fault{"block-overrun", "block sizes", "was written at frame 1 of"},
                      Fault{"event-crash", "unusual input", "during unusual event list 1"},
                      Fault{"text-overrun", "string calls", "effGetParamName(0) wrote 40 bytes where the interface allows 9"},
                      Fault{"nan-kept", "parameter values", "setParameter(0, nan) changed getParameter(0) from 0.5 to nan"},
                      Fault{"automation-echo", "parameter values", "sent audioMasterAutomate 4 times"},
                      Fault{"bad-index-crash", "bad indices", "during getParameter(-1)"},
                      Fault{"program-wrap", "programs", "changed the program from 0 to 1"},
                      Fault{"program-not-restored", "chunk round trips", "the bank chunk read back differs"},
                      Fault{"truncation-reset", "damaged chunks", "cut to 0 of"},
                      Fault{"chunk-hang", "damaged chunks", "no answer within 2 s during the bank chunk cut to 0"},
                      Fault{"locale-numbers", "German locale", "differs"}),
    [](const auto& info) {
        std::string name = info.param.fault;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(Validate, JsonChosenChecksAndBadInput) {
    RunResult r = runHost({"validate", kValidatorFixture, "--quick", "--json", "--check", "programs", "--check",
                           "string calls", "--seed", "7"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = parseJson(r.out);
    ASSERT_EQ(j["checks"].size(), 2u);
    EXPECT_EQ(j["checks"][0]["name"], "programs");
    EXPECT_EQ(j["checks"][1]["result"], "pass");
    EXPECT_EQ(j["seed"], 7);
    EXPECT_EQ(j["passed"], 2);
    EXPECT_EQ(j["failed"], 0);

    for (const auto& args : {std::vector<std::string>{"validate", kValidatorFixture, "--check", "no such check"},
                             std::vector<std::string>{"validate", fixture("bad_magic")},
                             std::vector<std::string>{"validate", "/nonexistent.so"}}) {
        r = runHost(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(Validate, OurPluginPassesTheQuickRun) {
    TempDir dir;
    RunResult r = runHost({"validate", isolatedPlugin(dir), "--quick"}, localeEnvironment());
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    for (const auto& [name, result] : resultsOf(r.out)) EXPECT_NE(result.first, "FAIL") << name << ": " << result.second;
}

TEST(Validate, AThirdPartyPluginGoesThroughEveryCheck) {
    if (!fs::exists(kKars)) GTEST_SKIP() << kKars << " is missing: apt-get install dpf-plugins-vst";
    RunResult r = runHost({"validate", kKars, "--quick"});
    const auto results = resultsOf(r.out);
    ASSERT_EQ(results.size(), kCheckNames.size()) << r.out << r.err;
    int failed = 0;
    for (const auto& [name, result] : results) failed += result.first == "FAIL";
    EXPECT_EQ(r.status, failed > 0 ? 1 : 0);
    // What a host gets right or wrong here, not the plug-in's own choices: these pass for
    // any plug-in that a host can use at all.
    for (const char* name : {"create and close", "module unload", "sample rates", "block sizes", "unusual input",
                             "programs", "calls from another thread"}) {
        EXPECT_EQ(results.at(name).first, "PASS") << name << ": " << results.at(name).second;
    }
    // It keeps its state as parameters, not as a chunk.
    EXPECT_EQ(results.at("chunk round trips").first, "SKIP");
}
