// The file dialog's request: path completion, the chain of ways of asking, and the host's own
// selector with its record and its re-entry guard.

#include "editor/FileDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "FileDialogTestSupport.h"
#include "editor/FileDialogHostSelector.h"

namespace vorlatek::editor::testing {
namespace {

using Status = FileDialogResult::Status;

TEST(FileDialogPathTest, CompletionAppendsTheExtensionUnlessThePathEndsWithItExactly) {
    struct Case {
        const char* path;
        FileType type;
        const char* completed;
    };
    const Case cases[] = {
        {"/music/Groove", fileTypes::kSimplePattern, "/music/Groove.vsp"},
        {"/music/Groove.vsp", fileTypes::kSimplePattern, "/music/Groove.vsp"},
        // The comparison is case-sensitive, so an upper-case extension gets a second one.
        {"/music/Groove.VSP", fileTypes::kSimplePattern, "/music/Groove.VSP.vsp"},
        // Another family's extension is kept and completed; what it then names is the caller's.
        {"/music/Groove.vsb", fileTypes::kSimplePattern, "/music/Groove.vsb.vsp"},
        {"/music/Groovevsp", fileTypes::kSimplePattern, "/music/Groovevsp.vsp"},
        {"vsp", fileTypes::kSimplePattern, "vsp.vsp"},
        {"/kits/Live", fileTypes::kPresetBank, "/kits/Live.vpb"},
        {"/maps/desk.vcc", fileTypes::kMidiCcMap, "/maps/desk.vcc"},
        {"", fileTypes::kPreset, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(completePath(c.path, c.type), c.completed) << c.path;
    EXPECT_EQ(fileTypes::kExtendedSet.filterName(), "Vorlatek Extended Set (Pattern + Preset) (*.ves)");
}

// ---- the chain ----------------------------------------------------------------------------

class FileDialogChainTest : public ::testing::Test {
protected:
    // A dialog over the given ways; pointers to them stay valid.
    void build(std::vector<ScriptedBackEnd*> ways) {
        FileDialog::Chain chain;
        for (ScriptedBackEnd* way : ways) chain.emplace_back(way);
        backEnds = ways;
        dialog = std::make_unique<FileDialog>(std::move(chain));
    }
    bool start(FileDialogMode mode = FileDialogMode::Save) {
        return dialog->start({mode, "Save Simple Patterns", fileTypes::kSimplePattern, "/music"},
                             [this](const std::string& path) { completions.push_back(path); });
    }

    std::vector<ScriptedBackEnd*> backEnds;
    std::unique_ptr<FileDialog> dialog;
    std::vector<std::string> completions;
};

TEST_F(FileDialogChainTest, TheFirstWayThatStartsAsksAndItsPathComesBackCompletedOnce) {
    build({new ScriptedBackEnd("host", false, {FileDialogAnswer::failed()}),
           new ScriptedBackEnd("portal", true, {FileDialogAnswer::pending(), FileDialogAnswer::chosen("/music/Groove")}),
           new ScriptedBackEnd("browser", true, {FileDialogAnswer::cancelled()})});
    EXPECT_EQ(dialog->poll().status, Status::Idle);
    ASSERT_TRUE(start());
    EXPECT_EQ(backEnds[0]->starts, 1);
    EXPECT_EQ(backEnds[1]->lastRequest.title, "Save Simple Patterns");
    EXPECT_EQ(dialog->activeBackEnd(), "portal");
    EXPECT_FALSE(start()) << "one request at a time";

    EXPECT_EQ(dialog->poll().status, Status::Pending);
    EXPECT_TRUE(completions.empty());
    const FileDialogResult result = dialog->poll();
    EXPECT_EQ(result.status, Status::Chosen);
    EXPECT_EQ(result.path, "/music/Groove.vsp");
    EXPECT_EQ(completions, std::vector<std::string>{"/music/Groove.vsp"});
    EXPECT_FALSE(dialog->isBusy());
    EXPECT_EQ(dialog->poll().status, Status::Idle);
    EXPECT_EQ(completions.size(), 1u);
    EXPECT_EQ(backEnds[2]->starts, 0);
}

TEST_F(FileDialogChainTest, AnExistingFileChosenForLoadingKeepsItsNameEverythingElseIsCompleted) {
    TemporaryFolder folder;
    const std::string bank = folder.write("Kit.VPB", "");
    folder.makeFolder("Kit");
    struct Case {
        FileDialogMode mode;
        std::string chosen;
        std::string path;
    };
    const Case cases[] = {
        {FileDialogMode::Load, bank, bank},
        {FileDialogMode::Save, bank, bank + ".vsp"},
        {FileDialogMode::Load, folder / "Missing", folder / "Missing.vsp"},
        {FileDialogMode::Load, folder / "Kit", folder / "Kit.vsp"},
    };
    for (const Case& c : cases) {
        build({new ScriptedBackEnd("portal", true, {FileDialogAnswer::chosen(c.chosen)})});
        ASSERT_TRUE(start(c.mode));
        EXPECT_EQ(dialog->poll().path, c.path);
    }
}

TEST_F(FileDialogChainTest, AWayThatFailsHandsOverAndWhenNoneIsLeftTheRequestIsCancelled) {
    build({new ScriptedBackEnd("portal", true, {FileDialogAnswer::failed()}),
           new ScriptedBackEnd("zenity", true, {FileDialogAnswer::failed()})});
    ASSERT_TRUE(start());
    EXPECT_EQ(dialog->poll().status, Status::Pending);
    EXPECT_EQ(dialog->activeBackEnd(), "zenity");
    const FileDialogResult result = dialog->poll();
    EXPECT_EQ(result.status, Status::Cancelled);
    EXPECT_EQ(completions, std::vector<std::string>{""}) << "a cancel reports an empty path";

    // A way that says it chose nothing, or a path with a NUL in it, counts as a cancel.
    for (const std::string& path : {std::string(), std::string("/a\0b", 4)}) {
        build({new ScriptedBackEnd("browser", true, {FileDialogAnswer::chosen(path)})});
        ASSERT_TRUE(start());
        EXPECT_EQ(dialog->poll().status, Status::Cancelled);
    }

    // No way can start at all: the request does not begin.
    build({new ScriptedBackEnd("browser", false, {FileDialogAnswer::failed()})});
    EXPECT_FALSE(start());
    EXPECT_FALSE(dialog->isBusy());
}

TEST_F(FileDialogChainTest, CancelAndClosingTheEditorEndTheDialogWithoutAReport) {
    build({new ScriptedBackEnd("zenity", true, {FileDialogAnswer::pending()})});
    toolkit::CFrame* someFrame = reinterpret_cast<toolkit::CFrame*>(0x1000);  // never used by the scripted way
    dialog->setParent({someFrame, 0x2a00001});
    ASSERT_TRUE(start());
    dialog->cancel();
    EXPECT_EQ(backEnds[0]->cancels, 1);
    EXPECT_EQ(dialog->poll().status, Status::Idle);

    ASSERT_TRUE(start());
    dialog->setParent({});  // the editor closes
    EXPECT_EQ(backEnds[0]->cancels, 2);
    EXPECT_FALSE(dialog->isBusy());
    EXPECT_TRUE(completions.empty());

    // A new request may start from the completion of the last.
    build({new ScriptedBackEnd("browser", true, {FileDialogAnswer::cancelled()})});
    ASSERT_TRUE(start());
    bool restarted = false;
    dialog->cancel();
    ASSERT_TRUE(dialog->start({}, [&](const std::string&) { restarted = start(); }));
    dialog->poll();
    EXPECT_TRUE(restarted);
    EXPECT_TRUE(dialog->isBusy());
}

// ---- the host's selector --------------------------------------------------------------------

// A host that answers with a path, may do things from inside its modal dialog, and counts calls.
struct FakeHost : HostFileSelector {
    bool capable = true;
    vst::VstIntPtr answer = 1;
    std::string path = "/home/user/Kit";
    std::function<void()> whileOpen;
    int opens = 0;
    int closes = 0;
    vst::VstFileSelect seen{};
    vst::VstFileType seenType{};

    bool canSelectFiles() override { return capable; }
    vst::VstIntPtr openFileSelector(vst::VstFileSelect& select) override {
        ++opens;
        seen = select;
        if (select.fileTypes) seenType = select.fileTypes[0];
        if (whileOpen) whileOpen();
        std::strncpy(select.returnPath, path.c_str(), std::size_t(select.sizeReturnPath));
        return answer;
    }
    vst::VstIntPtr closeFileSelector(vst::VstFileSelect&) override {
        ++closes;
        return 1;
    }
};

TEST(FileDialogHostSelectorTest, TheRecordCarriesTheRequestAndTheAnswerIsReadSafely) {
    HostFileSelectRecord record;
    buildHostFileSelect({FileDialogMode::Load, "Select Vorlatek Preset Bank", fileTypes::kPresetBank, "/kits"}, record);
    EXPECT_EQ(record.select.command, vst::kVstFileLoad);
    EXPECT_EQ(record.select.type, vst::kVstFileType);
    EXPECT_EQ(record.select.nbFileTypes, 1);
    EXPECT_STREQ(record.select.title, "Select Vorlatek Preset Bank");
    EXPECT_STREQ(record.select.initialPath, "/kits");
    EXPECT_STREQ(record.type.name, "Vorlatek Preset Bank");
    for (const char* extension : {record.type.macType, record.type.dosType, record.type.unixType}) EXPECT_STREQ(extension, "vpb");
    EXPECT_STREQ(record.type.mimeType1, "");
    EXPECT_EQ(record.select.sizeReturnPath, HostFileSelectRecord::kPathCapacity);

    buildHostFileSelect({FileDialogMode::Save, std::string(2000, 't'), fileTypes::kMidiCcMap, ""}, record);
    EXPECT_EQ(record.select.command, vst::kVstFileSave);
    EXPECT_EQ(std::strlen(record.select.title), sizeof record.select.title - 1);
    EXPECT_EQ(record.select.initialPath, nullptr);

    auto read = [&](const char* path, vst::VstIntPtr answer) {
        std::strcpy(record.returnPath, path);
        return readHostFileSelect(record, answer);
    };
    EXPECT_EQ(read("/maps/desk", 1).path, "/maps/desk");
    EXPECT_EQ(read("/maps/desk", 0).status, FileDialogAnswer::Status::Cancelled);
    EXPECT_EQ(read("", 1).status, FileDialogAnswer::Status::Cancelled);
    // A path that fills its buffer without an end is not trusted.
    std::memset(record.returnPath, 'a', sizeof record.returnPath);
    EXPECT_EQ(readHostFileSelect(record, 1).status, FileDialogAnswer::Status::Cancelled);
    // A host may answer in a buffer of its own, of the size it gives.
    char hostBuffer[8] = "/a/b.vc";
    record.select.returnPath = hostBuffer;
    record.select.sizeReturnPath = sizeof hostBuffer;
    EXPECT_EQ(readHostFileSelect(record, 1).path, "/a/b.vc");
    hostBuffer[7] = 'c';
    EXPECT_EQ(readHostFileSelect(record, 1).status, FileDialogAnswer::Status::Cancelled);
}

TEST(FileDialogHostSelectorTest, TheHostIsAskedFromPollAndAnIdleFromInsideItsDialogIsHarmless) {
    FakeHost host;
    FileDialog::Chain chain;
    chain.push_back(std::make_unique<FileDialogHostSelector>(host));
    chain.push_back(std::make_unique<ScriptedBackEnd>("browser", true, std::vector{FileDialogAnswer::cancelled()}));
    FileDialog dialog(std::move(chain));

    // From inside its dialog the host idles the editor, whose idle polls and may click again.
    std::vector<FileDialogResult::Status> nested;
    bool nestedStart = true;
    bool insideSeen = false;
    host.whileOpen = [&] {
        insideSeen = dialog.insideHostDialog();
        nested.push_back(dialog.poll().status);
        nestedStart = dialog.start({}, {});
    };
    std::string reported;
    ASSERT_TRUE(dialog.start({FileDialogMode::Save, "Save Vorlatek Presets", fileTypes::kPreset, ""},
                             [&](const std::string& path) { reported = path; }));
    EXPECT_EQ(host.opens, 0) << "the host's modal dialog never runs inside a control's handler";

    const FileDialogResult result = dialog.poll();
    EXPECT_EQ(host.opens, 1);
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(host.seen.command, vst::kVstFileSave);
    EXPECT_STREQ(host.seenType.dosType, "vpp");
    EXPECT_TRUE(insideSeen);
    EXPECT_EQ(nested, std::vector{FileDialogResult::Status::Pending});
    EXPECT_FALSE(nestedStart);
    EXPECT_FALSE(dialog.insideHostDialog());
    EXPECT_EQ(result.status, FileDialogResult::Status::Chosen);
    EXPECT_EQ(reported, "/home/user/Kit.vpp");

    // A zero answer is the user's cancel (the host is not asked to close); a cancel from inside
    // the host's dialog (the editor closed meanwhile) drops its answer.
    host.whileOpen = nullptr;
    host.answer = 0;
    ASSERT_TRUE(dialog.start({}, {}));
    EXPECT_EQ(dialog.poll().status, FileDialogResult::Status::Cancelled);
    EXPECT_EQ(host.closes, 1);
    host.answer = 1;
    host.whileOpen = [&] { dialog.cancel(); };
    reported = "untouched";
    ASSERT_TRUE(dialog.start({}, [&](const std::string& path) { reported = path; }));
    EXPECT_EQ(dialog.poll().status, FileDialogResult::Status::Idle);
    EXPECT_EQ(reported, "untouched");
    EXPECT_FALSE(dialog.isBusy());

    // A host without the capability is passed over.
    host.capable = false;
    ASSERT_TRUE(dialog.start({}, {}));
    EXPECT_EQ(dialog.activeBackEnd(), "browser");
}

}  // namespace
}  // namespace vorlatek::editor::testing
