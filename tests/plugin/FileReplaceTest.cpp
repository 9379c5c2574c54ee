// Reading and replacing whole files as every platform does it (Windows too): the new content
// takes an existing file's place completely with nothing left beside it, and a read takes
// the whole file or, past the cap, nothing.

#include "sequencer/FileAccess.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

using files::ReadStatus;
using test::ScratchDirectory;

TEST(FileReplace, ReadsWholeFilesWithinTheCap) {
    ScratchDirectory dir;
    dir.write("ten", "0123456789");
    dir.write("empty", "");
    EXPECT_EQ(files::readRegularFile(dir.file("ten"), 10).bytes, "0123456789");
    EXPECT_EQ(files::readRegularFile(dir.file("ten"), 9).status, ReadStatus::Refused);
    EXPECT_EQ(files::readRegularFile(dir.file("empty"), 10).status, ReadStatus::Empty);
    EXPECT_EQ(files::readRegularFile(dir.file("none"), 10).status, ReadStatus::Missing);
    EXPECT_EQ(files::readRegularFile(dir.file("ten/below"), 10).status, ReadStatus::Missing);
    EXPECT_EQ(files::readRegularFile("", 10).status, ReadStatus::Missing);
}

TEST(FileReplace, NewContentReplacesAnExistingFileWholeAndLeavesNothingBeside) {
    ScratchDirectory dir;
    dir.write("f", "old contents, longer than the new");
    EXPECT_TRUE(files::replaceFile(dir.file("f"), "new"));
    EXPECT_EQ(dir.read("f"), "new");
    EXPECT_TRUE(files::replaceFile(dir.file("f"), ""));
    EXPECT_EQ(files::readRegularFile(dir.file("f"), 10).status, ReadStatus::Empty);
    EXPECT_TRUE(files::replaceFile(dir.file("g"), "fresh"));
    EXPECT_EQ(dir.read("g"), "fresh");
    EXPECT_FALSE(files::replaceFile(dir.file("no/such/folder/f"), "x"));
    EXPECT_FALSE(files::replaceFile("", "x"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"f", "g"}));
}

}  // namespace
}  // namespace vorlatek
