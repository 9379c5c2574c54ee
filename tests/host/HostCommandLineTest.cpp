// What the host does with bad options and with files that are not VST 2.4 plug-ins: one
// line on stderr, exit status 1, no output file, never a crash.

#include "HostRunner.h"

using namespace hosttest;

namespace {

void expectCleanFailure(const RunResult& r, const std::string& what) {
    EXPECT_EQ(r.status, 1) << what << "\nstderr: " << r.err;
    EXPECT_EQ(lineCount(r.err), 1) << what << "\nstderr: " << r.err;
    EXPECT_EQ(r.err.rfind("vorlatek-host: ", 0), 0u) << what << "\nstderr: " << r.err;
    EXPECT_TRUE(r.out.empty()) << what << "\nstdout: " << r.out;
}

}  // namespace

TEST(HostCommandLine, BadOptionsFailWithOneLine) {
    TempDir dir;
    const std::string out = dir.file("out.wav");
    const std::string missing = dir.file("missing.xml");
    const std::vector<std::vector<std::string>> renderCases = {
        {"--tempo", "fast"},    {"--tempo", "0"},          {"--tempo"},
        {"--block", "0"},       {"--block", "1.5"},        {"--sample-rate", "-44100"},
        {"--bars", "0"},        {"--seconds", "-1"},       {"--bars", "2", "--seconds", "1"},
        {"--note", "1"},        {"--note", "1:128"},       {"--note", "x:60"},
        {"--note", "0:60:0"},   {"--note", "0:60:100:0"},  {"--note", "0:60:100:1:17"}, {"--note", "0:60:100:1:5:6"},
        {"--pins", "3-1"},      {"--pins", "0-"},       {"--pins", "a"},
        {"--pins", "6"},        {"--format", "mp3"},       {"--param", "1"},
        {"--param", "3=0.5"},   {"--param", "0=1.5"},      {"--program", "3"},
        {"--program", "-1"},    {"--chunk", missing},      {"--frobnicate"},
        {"extra-argument"},
    };
    for (const auto& extra : renderCases) {
        std::vector<std::string> args{"render", fixture(), "-o", out};
        args.insert(args.end(), extra.begin(), extra.end());
        expectCleanFailure(runHost(args), "render " + (extra.empty() ? "" : extra[0]));
        EXPECT_FALSE(fs::exists(out)) << extra[0];
    }

    const std::vector<std::vector<std::string>> otherCases = {
        {},
        {"bogus"},
        {"info"},
        {"info", fixture(), "--verbose"},
        {"render", fixture()},
        {"render", "-o", out},
        {"chunk", fixture()},
        {"chunk", fixture(), "-o", dir.file("c.xml"), "--load", missing},
    };
    for (const auto& args : otherCases) {
        expectCleanFailure(runHost(args), args.empty() ? "no arguments" : args[0]);
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(HostCommandLine, HelpPrintsUsage) {
    RunResult r = runHost({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("vorlatek-host render PLUGIN -o OUT.wav"), std::string::npos);
}

TEST(HostCommandLine, NonPluginsAreRefusedByEveryCommand) {
    TempDir dir;
    const std::string text = dir.file("text.so");
    writeText(text, "this is not a shared object\n");
    const std::string empty = dir.file("empty.so");
    writeText(empty, "");
    const std::vector<std::string> notPlugins = {
        dir.file("missing.so"),  // no such file
        dir.path().string(),     // a folder
        text,
        empty,
        VORLATEK_HOST_PATH,      // an executable, not a library
        fixture("no_entry"),
        fixture("null_entry"),
        fixture("bad_magic"),
    };
    for (const std::string& path : notPlugins) {
        expectCleanFailure(runHost({"info", path}), "info " + path);
        expectCleanFailure(runHost({"info", "--json", path}), "info --json " + path);
        expectCleanFailure(runHost({"render", path, "-o", dir.file("out.wav")}), "render " + path);
        expectCleanFailure(runHost({"chunk", path, "-o", dir.file("out.xml")}), "chunk " + path);
        EXPECT_FALSE(fs::exists(dir.file("out.wav")));
        EXPECT_FALSE(fs::exists(dir.file("out.xml")));
    }
}

TEST(HostCommandLine, FailedRenderStillShutsThePluginDown) {
    TempDir dir;
    const std::string log = dir.file("log");
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--pins", "0,9"},
                          {"VORLATEK_FIXTURE_LOG=" + log});
    expectCleanFailure(r, "pin out of range");
    EXPECT_NE(r.err.find("pin 9"), std::string::npos) << r.err;
    auto lines = readLines(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "close");
    for (const auto& line : lines) EXPECT_EQ(line.rfind("process", 0), std::string::npos) << line;
    EXPECT_FALSE(fs::exists(dir.file("out.wav")));
}
