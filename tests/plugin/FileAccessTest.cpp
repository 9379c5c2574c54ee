// Files the plug-in reads and writes: nothing blocks, nothing that is not a regular file is
// replaced, links are written through, modes are kept, and a user settings file the plug-in
// could not read is still there, unchanged, after it closes.

#include "plugin/DrumPlugin.h"
#include "sequencer/FileAccess.h"
#include "sequencer/XmlDocument.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vorlatek {
namespace {

namespace fs = std::filesystem;
using files::ReadStatus;
using test::ScratchDirectory;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// Names in the folder other than the ones given: a temporary left behind shows here.
std::vector<std::string> strayNames(const ScratchDirectory& dir, std::vector<std::string> expected) {
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) stray.push_back(name);
    }
    return stray;
}

// Every kind of thing that is not a regular file, made at `path`.
enum class Special { Fifo, Folder, Socket };

void makeSpecial(Special kind, const std::string& path) {
    if (kind == Special::Fifo) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    } else if (kind == Special::Folder) {
        ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    } else {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof address.sun_path);
        std::copy(path.begin(), path.end(), address.sun_path);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
}

class SpecialFileTest : public ::testing::TestWithParam<Special> {};

TEST_P(SpecialFileTest, IsNeitherReadNorReplacedAndNothingWaits) {
    ScratchDirectory dir;
    const std::string path = dir.file("thing");
    makeSpecial(GetParam(), path);
    const mode_t before = modeOf(path);
    ::symlink("thing", dir.file("link").c_str());

    for (const std::string& name : {path, dir.file("link")}) {
        // A FIFO with no writer would block an ordinary open for ever.
        EXPECT_EQ(files::readRegularFile(name, 1000).status, ReadStatus::Refused) << name;
        EXPECT_FALSE(files::replaceFile(name, "bytes")) << name;
    }
    EXPECT_EQ(modeOf(path), before);
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("link"))));
    EXPECT_EQ(strayNames(dir, {"thing", "link"}), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Files, SpecialFileTest, ::testing::Values(Special::Fifo, Special::Folder, Special::Socket));

TEST(FileAccess, AHugeFileIsRefusedFromItsSizeAlone) {
    ScratchDirectory dir;
    dir.write("sparse", "");
    ASSERT_EQ(::truncate(dir.file("sparse").c_str(), 1ll << 40), 0);
    EXPECT_EQ(files::readRegularFile(dir.file("sparse"), xml::kMaxDocumentSize).status, ReadStatus::Refused);
}

TEST(FileAccess, ReplacesAFileWholeAndKeepsItsMode) {
    ScratchDirectory dir;
    for (const mode_t mode : {0600, 0640, 0664, 0200}) {
        dir.write("f", "old contents");
        ASSERT_EQ(::chmod(dir.file("f").c_str(), mode), 0);
        EXPECT_TRUE(files::replaceFile(dir.file("f"), "new"));
        EXPECT_EQ(modeOf(dir.file("f")) & 07777, mode);
        ::chmod(dir.file("f").c_str(), 0600);
        EXPECT_EQ(dir.read("f"), "new");
    }
    // A new file gets what the umask leaves of rw-rw-rw-.
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(files::replaceFile(dir.file("g"), ""));
    ::umask(mask);
    EXPECT_EQ(modeOf(dir.file("g")) & 07777, 0644u);
    EXPECT_EQ(strayNames(dir, {"f", "g"}), std::vector<std::string>());
}

TEST(FileAccess, ReadOnlyFilesAreLeftAlone) {
    ScratchDirectory dir;
    dir.write("locked", "keep me");
    ::chmod(dir.file("locked").c_str(), 0444);
    EXPECT_FALSE(files::replaceFile(dir.file("locked"), "lost"));  // even for root
    EXPECT_EQ(dir.read("locked"), "keep me");
    EXPECT_EQ(strayNames(dir, {"locked"}), std::vector<std::string>());
}

TEST(FileAccess, LinksAreWrittenThroughAndStayLinks) {
    ScratchDirectory dir;
    ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0700), 0);
    dir.write("real/target", "old");
    ::chmod(dir.file("real/target").c_str(), 0600);
    ::symlink("real/target", dir.file("relative").c_str());
    ::symlink(dir.file("relative").c_str(), dir.file("chain").c_str());  // absolute, to a link
    ::symlink("real/new", dir.file("dangling").c_str());
    ::symlink("loop", dir.file("loop").c_str());

    EXPECT_TRUE(files::replaceFile(dir.file("chain"), "through two links"));
    EXPECT_EQ(dir.read("real/target"), "through two links");
    EXPECT_EQ(modeOf(dir.file("real/target")) & 07777, 0600u);
    EXPECT_TRUE(files::replaceFile(dir.file("dangling"), "created"));
    EXPECT_EQ(dir.read("real/new"), "created");
    EXPECT_FALSE(files::replaceFile(dir.file("loop"), "x"));
    for (const char* link : {"relative", "chain", "dangling", "loop"}) EXPECT_TRUE(S_ISLNK(modeOf(dir.file(link))));
    EXPECT_EQ(strayNames(dir, {"real", "relative", "chain", "dangling", "loop"}), std::vector<std::string>());
}

// The user settings file ------------------------------------------------------------------

const std::string kSettings = "<?xml version=\"1.0\"?>\n<VorlatekUserSettings><Statistics ttm=\"77\"/></VorlatekUserSettings>\n";

TEST(UserSettingsFile, WhatCouldNotBeReadIsNotReplacedAtClose) {
    const std::vector<std::string> unread = {"not xml", "<Other/>", kSettings.substr(0, 50),
                                             "<!DOCTYPE x><VorlatekUserSettings/>"};
    for (const std::string& text : unread) {
        ScratchDirectory dir;
        dir.write("Vorlatek.ini", text);
        { DrumPlugin plugin(nullptr, dir.path()); }
        EXPECT_EQ(dir.read("Vorlatek.ini"), text);
    }
    ScratchDirectory dir;
    dir.write("Vorlatek.ini", kSettings);
    ASSERT_EQ(::truncate(dir.file("Vorlatek.ini").c_str(), xml::kMaxDocumentSize + 1), 0);
    { DrumPlugin plugin(nullptr, dir.path()); }
    EXPECT_EQ(fs::file_size(dir.file("Vorlatek.ini")), xml::kMaxDocumentSize + 1);
}

TEST(UserSettingsFile, OursIsUpdatedThroughALinkWithItsMode) {
    ScratchDirectory dir;
    ASSERT_EQ(::mkdir(dir.file("dotfiles").c_str(), 0700), 0);
    dir.write("dotfiles/vorlatek.xml", kSettings);
    ::chmod(dir.file("dotfiles/vorlatek.xml").c_str(), 0600);
    ::symlink("dotfiles/vorlatek.xml", dir.file("Vorlatek.ini").c_str());
    {
        DrumPlugin plugin(nullptr, dir.path());
        EXPECT_EQ(plugin.usageSeconds(), 77);
        plugin.assignController(20, 3);
    }
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("Vorlatek.ini"))));
    EXPECT_EQ(modeOf(dir.file("dotfiles/vorlatek.xml")) & 07777, 0600u);
    EXPECT_NE(dir.read("dotfiles/vorlatek.xml").find("CC=\"20\""), std::string::npos);
    // An empty file holds nothing to lose: it becomes the settings.
    dir.write("dotfiles/vorlatek.xml", "");
    { DrumPlugin plugin(nullptr, dir.path()); }
    EXPECT_NE(dir.read("dotfiles/vorlatek.xml").find("<VorlatekUserSettings>"), std::string::npos);
}

TEST(UserSettingsFile, FifosAsSettingsOrDefaultBanksNeitherHangNorAreReplaced) {
    ScratchDirectory dir;
    makeSpecial(Special::Fifo, dir.file("Vorlatek.ini"));
    { DrumPlugin plugin(nullptr, dir.path()); }
    EXPECT_TRUE(S_ISFIFO(modeOf(dir.file("Vorlatek.ini"))));

    ScratchDirectory other;
    makeSpecial(Special::Fifo, other.file("bank"));
    const std::string bank = other.file("bank");
    other.write("Vorlatek.ini", "<VorlatekUserSettings><DefaultResources presetBank='" + bank +
                                    "' simplePatternBank='" + bank + "' extendedPatternBank='" + bank +
                                    "'/></VorlatekUserSettings>");
    DrumPlugin plugin(nullptr, other.path());
    EXPECT_EQ(plugin.defaultResources()->presetBank, bank);
    EXPECT_FALSE(plugin.loadPresetFile(other.file("bank.vpb")));
}

}  // namespace
}  // namespace vorlatek
