// zenity and kdialog as child processes: their arguments, how their answers are read, where
// they are found, and whole requests through fake programs put first on PATH.

#include "editor/FileDialogCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "FileDialogTestSupport.h"
#include "editor/FileDialog.h"

namespace vorlatek::editor::testing {
namespace {

using Strings = std::vector<std::string>;
using Status = FileDialogAnswer::Status;

TEST(FileDialogCommandTest, ArgumentsCarryTheModeTitleFolderAndTheOneFileTypeWithAnyFile) {
    const FileDialogRequest save{FileDialogMode::Save, "Save Simple Patterns", fileTypes::kSimpleSet, "/music/kits"};
    const FileDialogRequest load{FileDialogMode::Load, "Select Vorlatek MidiCC Map", fileTypes::kMidiCcMap, ""};
    EXPECT_EQ(dialogProgramArguments(DialogProgram::Zenity, save, "/home/u"),
              (Strings{"--file-selection", "--title=Save Simple Patterns", "--save", "--confirm-overwrite",
                       "--filename=/music/kits/",
                       "--file-filter=Vorlatek Simple Set (Pattern + Preset) (*.vss) | *.vss",
                       "--file-filter=All Files (*) | *"}));
    EXPECT_EQ(dialogProgramArguments(DialogProgram::Zenity, load, "/home/u"),
              (Strings{"--file-selection", "--title=Select Vorlatek MidiCC Map",
                       "--file-filter=Vorlatek MidiCC Map (*.vcc) | *.vcc", "--file-filter=All Files (*) | *"}));
    EXPECT_EQ(dialogProgramArguments(DialogProgram::Kdialog, save, "/home/u"),
              (Strings{"--title", "Save Simple Patterns", "--getsavefilename", "/music/kits/",
                       "*.vss|Vorlatek Simple Set (Pattern + Preset) (*.vss)\n*|All Files (*)"}));
    // Without a folder kdialog starts at home, or at the root without one.
    EXPECT_EQ(dialogProgramArguments(DialogProgram::Kdialog, load, "/home/u")[3], "/home/u/");
    EXPECT_EQ(dialogProgramArguments(DialogProgram::Kdialog, load, "")[2], "--getopenfilename");
    EXPECT_EQ(dialogProgramArguments(DialogProgram::Kdialog, load, "")[3], "/");
}

TEST(FileDialogCommandTest, AnswersAreReadFromTheExitCodeAndTheFirstLine) {
    struct Case {
        int exitCode;
        std::string_view output;
        Status status;
        const char* path;
    };
    const Case cases[] = {
        {0, "/music/Groove.vsp\n", Status::Chosen, "/music/Groove.vsp"},
        {0, "/music/with space\n/second\n", Status::Chosen, "/music/with space"},
        {0, "/no/newline", Status::Chosen, "/no/newline"},
        {0, "", Status::Cancelled, ""},
        {0, "\n", Status::Cancelled, ""},
        {1, "", Status::Cancelled, ""},
        {-1, "/reaped/elsewhere\n", Status::Chosen, "/reaped/elsewhere"},  // the host took the status
        {-1, "", Status::Cancelled, ""},
        {5, "", Status::Failed, ""},
        {255, "cannot open display", Status::Failed, ""},
        {128 + SIGSEGV, "/half", Status::Failed, ""},
        {0, "relative/path\n", Status::Failed, ""},
        {0, std::string_view("/a\0b\n", 5), Status::Failed, ""},
    };
    for (const Case& c : cases) {
        const FileDialogAnswer answer = readDialogProgramAnswer(c.exitCode, c.output);
        EXPECT_EQ(answer.status, c.status) << c.exitCode << " " << c.output;
        EXPECT_EQ(answer.path, c.path) << c.exitCode << " " << c.output;
    }
}

TEST(FileDialogCommandTest, ProgramsAreFoundOnlyAsExecutableFilesInAbsoluteFolders) {
    TemporaryFolder folder;
    folder.write("relative/zenity", "#!/bin/sh\n", 0755);
    folder.write("plain/zenity", "not executable", 0644);
    folder.makeFolder("folder/zenity");
    const std::string good = folder.write("good/zenity", "#!/bin/sh\n", 0755);
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    const Strings environment{"PATH=relative::" + folder / "plain" + ":" + folder / "folder" + ":" + folder / "good/"};
    EXPECT_EQ(ChildProcess::findProgram("zenity", environment), good);
    EXPECT_EQ(ChildProcess::findProgram("zenity", {"PATH=relative:"}), "");
    EXPECT_EQ(ChildProcess::findProgram("../good/zenity", environment), "");
    EXPECT_TRUE(ChildProcess::findProgram("sh", {}).ends_with("bin/sh")) << "without PATH the usual folders are searched";
    ASSERT_EQ(chdir(cwd), 0);

    EXPECT_EQ(ChildProcess::childEnvironment({"A=1", "LD_LIBRARY_PATH=/host/lib", "LD_LIBRARY_PATHS=x", "LD_LIBRARY_PATH="}),
              (Strings{"A=1", "LD_LIBRARY_PATHS=x"}));
}

// ---- fake programs ----------------------------------------------------------------------------

class FakeDialogProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        bin = folder.makeFolder("bin");
        environment = {"PATH=" + bin + ":/usr/bin:/bin", "DISPLAY=:99", "HOME=" + folder.path(),
                       "LD_LIBRARY_PATH=/opt/host/lib", "VORLATEK_PROBE=kept"};
    }
    // A fake `name` that records its arguments (NUL-separated), environment, working folder and
    // process id in the temporary folder, then runs `body`.
    void fake(const std::string& name, const std::string& body) {
        const std::string log = folder / name;
        folder.write("bin/" + name,
                     "#!/bin/sh\n"
                     "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + log + ".args'\n"
                     "printf '%s|%s' \"${LD_LIBRARY_PATH-unset}\" \"$VORLATEK_PROBE\" > '" + log + ".env'\n"
                     "pwd > '" + log + ".cwd'\n"
                     "if [ -e /proc/$$/fd/50 ]; then echo leaked > '" + log + ".fd'; fi\n"
                     "echo $$ > '" + log + ".pid'\n" +
                         body + "\n",
                     0755);
    }
    void build() {
        FileDialog::Chain chain;
        chain.push_back(std::make_unique<FileDialogCommand>(DialogProgram::Zenity, environment));
        chain.push_back(std::make_unique<FileDialogCommand>(DialogProgram::Kdialog, environment));
        browser = new ScriptedBackEnd("browser", true, {FileDialogAnswer::pending()});
        chain.emplace_back(browser);
        dialog = std::make_unique<FileDialog>(std::move(chain));
    }
    // Polls as the editor's idle would until the request is answered or the browser asks.
    FileDialogResult run() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const FileDialogResult result = dialog->poll();
            if (result.status != FileDialogResult::Status::Pending || dialog->activeBackEnd() == "browser") return result;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ADD_FAILURE() << "no answer";
        return {};
    }
    Strings arguments(const std::string& name) const {
        const std::string text = readFile(folder / (name + ".args"));
        Strings result;
        for (std::size_t begin = 0, end; (end = text.find('\0', begin)) != std::string::npos; begin = end + 1)
            result.push_back(text.substr(begin, end - begin));
        return result;
    }
    // The process id a fake wrote, once it has.
    pid_t waitForPid(const std::string& name) {
        for (int i = 0; i < 5000 && readFile(folder / (name + ".pid")).empty(); ++i) {
            dialog->poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return pid_t(std::atoi(readFile(folder / (name + ".pid")).c_str()));
    }

    TemporaryFolder folder;
    std::string bin;
    Strings environment;
    std::unique_ptr<FileDialog> dialog;
    ScriptedBackEnd* browser = nullptr;
};

TEST_F(FakeDialogProgramTest, ZenityIsSpawnedWithTheRequestInAClearedEnvironmentAndItsPathIsCompleted) {
    fake("zenity", "echo '" + folder.path() + "/My Groove'");
    fake("kdialog", "exit 0");
    build();
    // A descriptor of the host's without close-on-exec must not reach the child.
    const int hostFile = open("/dev/null", O_RDONLY);
    ASSERT_EQ(dup2(hostFile, 50), 50);
    char cwdBefore[4096], cwdAfter[4096];
    ASSERT_TRUE(getcwd(cwdBefore, sizeof cwdBefore));

    std::string completed;
    ASSERT_TRUE(dialog->start({FileDialogMode::Save, "Save Simple Patterns", fileTypes::kSimplePattern, folder.path()},
                              [&](const std::string& path) { completed = path; }));
    EXPECT_EQ(dialog->activeBackEnd(), "zenity");
    const FileDialogResult result = run();
    close(50);
    close(hostFile);

    EXPECT_EQ(result.status, FileDialogResult::Status::Chosen);
    EXPECT_EQ(result.path, folder.path() + "/My Groove.vsp");
    EXPECT_EQ(completed, result.path);
    EXPECT_EQ(arguments("zenity"),
              (Strings{"--file-selection", "--title=Save Simple Patterns", "--save", "--confirm-overwrite",
                       "--filename=" + folder.path() + "/", "--file-filter=Vorlatek Simple Pattern (*.vsp) | *.vsp",
                       "--file-filter=All Files (*) | *"}));
    EXPECT_EQ(readFile(folder / "zenity.env"), "unset|kept");
    EXPECT_EQ(readFile(folder / "zenity.fd"), "");
    EXPECT_EQ(readFile(folder / "zenity.cwd"), std::string(cwdBefore) + "\n");
    ASSERT_TRUE(getcwd(cwdAfter, sizeof cwdAfter));
    EXPECT_STREQ(cwdAfter, cwdBefore);
    EXPECT_EQ(readFile(folder / "kdialog.args"), "") << "kdialog is not asked once zenity answered";
    EXPECT_EQ(browser->starts, 0);
}

TEST_F(FakeDialogProgramTest, ExitCodesDecideBetweenACancelAndHandingOver) {
    struct Case {
        const char* zenity;   // body, or nullptr for no zenity on PATH
        const char* kdialog;  // the same for kdialog
        FileDialogResult::Status status;
        const char* path;
        const char* asking;  // the way asking at the end
    };
    const Case cases[] = {
        {"exit 1", "echo /k/Chosen", FileDialogResult::Status::Cancelled, "", ""},
        {"exit 255", "echo /k/Chosen", FileDialogResult::Status::Chosen, "/k/Chosen.vpb", ""},
        {"kill -SEGV $$", "exit 1", FileDialogResult::Status::Cancelled, "", ""},
        {nullptr, "echo /k/Bank.vpb", FileDialogResult::Status::Chosen, "/k/Bank.vpb", ""},
        {"exit 3", "exit 3", FileDialogResult::Status::Pending, "", "browser"},
        {nullptr, nullptr, FileDialogResult::Status::Pending, "", "browser"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(bin);
        folder.makeFolder("bin");
        if (c.zenity) fake("zenity", c.zenity);
        if (c.kdialog) fake("kdialog", c.kdialog);
        build();
        ASSERT_TRUE(dialog->start({FileDialogMode::Load, "Load Vorlatek Presets", fileTypes::kPresetBank, ""}));
        const FileDialogResult result = run();
        EXPECT_EQ(result.status, c.status) << (c.zenity ? c.zenity : "-") << " / " << (c.kdialog ? c.kdialog : "-");
        EXPECT_EQ(result.path, c.path);
        EXPECT_EQ(dialog->activeBackEnd(), c.asking);
    }
    // Kdialog was given its own arguments.
    EXPECT_EQ(arguments("kdialog"),
              (Strings{"--title", "Load Vorlatek Presets", "--getopenfilename", folder.path() + "/",
                       "*.vpb|Vorlatek Preset Bank (*.vpb)\n*|All Files (*)"}));

    // Without a display neither program is started.
    fake("zenity", "echo /z/Chosen");
    environment = {"PATH=" + bin, "HOME=/"};
    build();
    ASSERT_TRUE(dialog->start({}));
    EXPECT_EQ(dialog->activeBackEnd(), "browser");
}

TEST_F(FakeDialogProgramTest, CancellingClosingTheEditorOrDroppingTheDialogEndsAndReapsTheChild) {
    fake("zenity", "exec sleep 30");
    enum class End { Cancel, EditorClosed, Destroyed };
    for (End end : {End::Cancel, End::EditorClosed, End::Destroyed}) {
        std::filesystem::remove(folder / "zenity.pid");
        build();
        ASSERT_TRUE(dialog->start({}));
        const pid_t pid = waitForPid("zenity");
        ASSERT_GT(pid, 0);
        EXPECT_EQ(dialog->poll().status, FileDialogResult::Status::Pending);
        const auto before = std::chrono::steady_clock::now();
        if (end == End::Cancel) dialog->cancel();
        if (end == End::EditorClosed) dialog->setParent({});
        if (end == End::Destroyed) dialog.reset();
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before);
        // Gone and reaped: not even a zombie is left to signal.
        EXPECT_EQ(kill(pid, 0), -1);
        EXPECT_EQ(errno, ESRCH);
        std::printf("ending the dialog program took %lld us\n", static_cast<long long>(took.count()));
        if (dialog) {
            EXPECT_FALSE(dialog->isBusy());
        }
    }
}

}  // namespace
}  // namespace vorlatek::editor::testing
