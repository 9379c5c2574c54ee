// `chunk` against the fixture plug-in: the start sequence, the chunk form, and the bytes
// written exactly as the plug-in returned them.

#include "HostRunner.h"

using namespace hosttest;

TEST(HostChunk, SavesTheBankBytesAsReturned) {
    TempDir dir;
    const std::string log = dir.file("log");
    RunResult r = runHost({"chunk", fixture(), "-o", dir.file("bank.bin")}, {"VORLATEK_FIXTURE_LOG=" + log});
    ASSERT_EQ(r.status, 0) << r.err;
    // The fixture's chunk has a NUL and a 0xFF byte in it.
    EXPECT_EQ(readText(dir.file("bank.bin")), std::string("BANK\0\xff\nfactory", 14));
    EXPECT_EQ(readLines(log), (std::vector<std::string>{"version 2400", "open", "sampleRate 44100", "blockSize 512",
                                                        "mains 1", "hostAnswers 44100 512 1 0 0 0 0",
                                                        "hostVendor Velmora Group Audio Software",
                                                        "hostProduct vorlatek-host", "getChunk 0", "mains 0",
                                                        "close"}));
}

TEST(HostChunk, LoadsThenSavesInTheChosenForm) {
    TempDir dir;
    const std::string input = dir.file("in.xml");
    writeText(input, "<preset name=\"x\"/>\n");

    const std::string programLog = dir.file("program.log");
    RunResult r = runHost({"chunk", fixture(), "--program", "--load", input, "-o", dir.file("program.bin")},
                          {"VORLATEK_FIXTURE_LOG=" + programLog});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir.file("program.bin")), std::string("PROG\0\xff\n<preset name=\"x\"/>\n", 26));
    auto lines = readLines(programLog);
    auto at = std::find(lines.begin(), lines.end(), "setChunk 1 <preset name=\"x\"/>");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), "");  // the chunk's own newline
    EXPECT_EQ(*(at + 2), "getChunk 1");

    const std::string bankLog = dir.file("bank.log");
    r = runHost({"chunk", fixture(), "--load", input, "-o", dir.file("bank.bin")}, {"VORLATEK_FIXTURE_LOG=" + bankLog});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir.file("bank.bin")), std::string("BANK\0\xff\n<preset name=\"x\"/>\n", 26));
    lines = readLines(bankLog);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "setChunk 0 <preset name=\"x\"/>"), lines.end());
}

TEST(HostChunk, UnwritableOutputFails) {
    TempDir dir;
    RunResult r = runHost({"chunk", fixture(), "-o", dir.file("missing/bank.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_TRUE(fs::is_empty(dir.path()));
}
