// What the host does with the files it is given: outputs never clobber what is there (a
// link is written through, /dev/null and FIFOs are written in place, read-only files and
// folders are refused), inputs that are not regular files are refused without waiting, a
// chunk the plug-in refuses is a failure, and a stopped render leaves no partial file.

#include "HostRunner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

using namespace hosttest;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// The two commands that write a file, each given the output path last.
std::vector<std::string> chunkTo(const std::string& path) { return {"chunk", fixture(), "-o", path}; }
std::vector<std::string> renderTo(const std::string& path) {
    return {"render", fixture(), "--seconds", "0.01", "-o", path};
}
using Command = std::vector<std::string> (*)(const std::string&);

class OutputTest : public ::testing::TestWithParam<Command> {};

TEST_P(OutputTest, LinksAreWrittenThroughKeepingTheMode) {
    TempDir dir;
    writeText(dir.file("target"), "old");
    ::chmod(dir.file("target").c_str(), 0640);
    ::symlink("target", dir.file("link").c_str());
    RunResult r = runHost(GetParam()(dir.file("link")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("link"))));
    EXPECT_EQ(modeOf(dir.file("target")) & 07777, 0640u);
    EXPECT_NE(readText(dir.file("target")), "old");
}

TEST_P(OutputTest, ReadOnlyFilesFoldersAndUnreadFifosAreRefusedUntouched) {
    TempDir dir;
    writeText(dir.file("locked"), "keep");
    ::chmod(dir.file("locked").c_str(), 0444);
    ::mkdir(dir.file("folder").c_str(), 0755);
    ::mkfifo(dir.file("fifo").c_str(), 0644);
    for (const char* name : {"locked", "folder", "fifo"}) {
        RunResult r = runHost(GetParam()(dir.file(name)));
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
    }
    EXPECT_EQ(readText(dir.file("locked")), "keep");
    EXPECT_TRUE(S_ISDIR(modeOf(dir.file("folder"))));
    EXPECT_TRUE(S_ISFIFO(modeOf(dir.file("fifo"))));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST_P(OutputTest, ACharacterDeviceIsWrittenInPlace) {
    TempDir dir;
    // A null device of the test's own, so that a fault here cannot harm the real /dev/null.
    if (::mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device";
    RunResult r = runHost(GetParam()(dir.file("null")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(S_ISCHR(modeOf(dir.file("null"))));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(HostFiles, OutputTest, ::testing::Values(&chunkTo, &renderTo));

TEST(HostFiles, AFifoWithAReaderGetsTheChunk) {
    TempDir dir;
    ::mkfifo(dir.file("fifo").c_str(), 0644);
    const int reader = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    RunResult r = runHost(chunkTo(dir.file("fifo")));
    EXPECT_EQ(r.status, 0) << r.err;
    char bytes[64] = {};
    EXPECT_EQ(::read(reader, bytes, sizeof bytes), 14);
    EXPECT_EQ(std::string(bytes, 4), "BANK");
    ::close(reader);
    // A WAV file's header is finished last: a pipe is refused with a message, not garbled.
    const int second = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    r = runHost(renderTo(dir.file("fifo")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("pipe"), std::string::npos) << r.err;
    ::close(second);
}

TEST(HostFiles, ChunkInputsMustBeRegularFilesWithinTheCap) {
    TempDir dir;
    ::mkfifo(dir.file("fifo").c_str(), 0644);
    writeText(dir.file("huge"), "");
    ASSERT_EQ(::truncate(dir.file("huge").c_str(), 1ll << 40), 0);
    const std::vector<std::pair<std::string, std::string>> inputs = {
        {dir.file("fifo"), "not a regular file"}, {"/dev/zero", "not a regular file"},
        {dir.path().string(), "folder"}, {dir.file("huge"), "larger than"}};
    for (const auto& [input, message] : inputs) {
        for (const auto& args : {std::vector<std::string>{"chunk", fixture(), "--load", input, "-o", dir.file("o")},
                                 std::vector<std::string>{"render", fixture(), "--chunk", input, "-o", dir.file("o")}}) {
            RunResult r = runHost(args);
            EXPECT_EQ(r.status, 1) << input;
            EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(dir.file("o")));
}

TEST(HostFiles, ARefusedChunkIsAFailureAQuietlyTakenOneIsNot) {
    TempDir dir;
    writeText(dir.file("garbage"), "GARBAGE\x01\x02");
    writeText(dir.file("quiet"), "QUIET state");
    RunResult r = runHost({"chunk", fixture(), "--load", dir.file("garbage"), "-o", dir.file("out")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("refused the bank chunk in " + dir.file("garbage")), std::string::npos) << r.err;
    r = runHost({"chunk", VORLATEK_PLUGIN_PATH, "--load", dir.file("garbage"), "-o", dir.file("out")});
    EXPECT_EQ(r.status, 1) << "our plug-in refuses what is no state of its own";
    r = runHost({"render", fixture(), "--chunk", dir.file("garbage"), "-o", dir.file("out")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out")));

    r = runHost({"chunk", fixture(), "--load", dir.file("quiet"), "-o", dir.file("out")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(readText(dir.file("out")).find("QUIET state"), std::string::npos);
}

TEST(HostFiles, AStoppedRenderLeavesNoPartialFile) {
    for (int signal : {SIGINT, SIGTERM}) {
        TempDir dir;
        // A day of audio at 1 kHz: far longer than the test waits.
        const pid_t pid = spawnHost({"render", fixture(), "--sample-rate", "1000", "--seconds", "86400", "--pins",
                                     "0", "-o", dir.file("out.wav")},
                                    dir.file("stdout"), dir.file("stderr"));
        ASSERT_NE(pid, 0);
        const std::string partial = dir.file("out.wav.partial-" + std::to_string(pid));
        for (int wait = 0; wait < 500 && !fs::exists(partial); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(fs::exists(partial));
        ::kill(pid, signal);
        EXPECT_EQ(waitForHost(pid), 128 + signal);
        EXPECT_FALSE(fs::exists(partial));
        EXPECT_FALSE(fs::exists(dir.file("out.wav")));
    }
}

}  // namespace
