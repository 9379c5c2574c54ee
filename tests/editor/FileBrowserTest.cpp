// The browser drawn inside the editor, driven by clicks and keys on a headless frame: browsing,
// filtering, typing a name, saving and loading through the plug-in's own file operations, and
// the guards against overwriting or choosing what is not there.

#include "editor/FileBrowser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "FileDialogTestSupport.h"
#include "editor/FileBrowserBackEnd.h"
#include "editor/FileDialog.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMenuPopup.h"
#include "toolkit/HeadlessWindow.h"

namespace vorlatek::editor::testing {
namespace {

using namespace toolkit;
using Status = FileDialogResult::Status;

TEST(FileBrowserFolderTest, ListingsShowFoldersThenMatchingFilesInReadingOrder) {
    TemporaryFolder root;
    for (const char* name : {"Take 10.vsp", "take 2.vsp", "Take 2.vsp", "Take 02b.vsp", "a.VSP", ".hidden.vsp", "x.vspx", "vsp"})
        root.write(name, "");
    root.makeFolder("Kits 10");
    root.makeFolder("Kits 9");
    ASSERT_EQ(symlink((root / "Kits 9").c_str(), (root / "link to kits").c_str()), 0);
    ASSERT_EQ(symlink((root / "nowhere").c_str(), (root / "broken.vsp").c_str()), 0);
    ASSERT_EQ(mkfifo((root / "pipe.vsp").c_str(), 0644), 0);

    std::vector<std::string> names;
    for (const FileBrowserEntry& entry : listFolder(root.path(), "vsp").entries) names.push_back(entry.name + (entry.folder ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"Kits 9/", "Kits 10/", "link to kits/", "a.VSP", "Take 2.vsp", "take 2.vsp",
                                               "Take 02b.vsp", "Take 10.vsp"}));
    EXPECT_EQ(listFolder(root.path(), "").entries.size(), 10u);
    EXPECT_FALSE(listFolder(root / "nowhere", "").readable);

    EXPECT_EQ(parentFolder("/a/b/"), "/a");
    EXPECT_EQ(parentFolder("/a"), "/");
    EXPECT_EQ(parentFolder("/"), "/");
    EXPECT_EQ(joinPath("/a", "b.vsp", "/home/u"), "/a/b.vsp");
    EXPECT_EQ(joinPath("/", "b", "/home/u"), "/b");
    EXPECT_EQ(joinPath("/a", "/c/d", "/home/u"), "/c/d");
    EXPECT_EQ(joinPath("/a", "~/k", "/home/u"), "/home/u/k");
    EXPECT_EQ(joinPath("/a", "~", "/home/u"), "/home/u");
    EXPECT_EQ(joinPath("/a", "~x", "/home/u"), "/a/~x");
    EXPECT_EQ(canonicalFolder(root / "Kits 10/../link to kits/."), root / "Kits 9");
    EXPECT_EQ(canonicalFolder(root / "a.VSP"), "");
}

class FileBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.makeFolder("Kits");
        root.makeFolder("zeta");
        root.write("Kits/Old.vpp", "<old/>");
        root.write("a.vpp", "");
        root.write("B.VPP", "");
        root.write("readme.txt", "");
        root.write(".hidden.vpp", "");
        frame = make<CFrame>(Rect{0, 0, 640, 480});
        window = &HeadlessWindow::openOn(*frame);
        FileDialog::Chain chain;
        chain.push_back(std::make_unique<FileBrowserBackEnd>(root.path()));
        dialog = std::make_unique<FileDialog>(std::move(chain));
        dialog->setParent({frame.get(), 0});
    }

    void start(FileDialogMode mode, std::string folder) {
        ASSERT_TRUE(dialog->start({mode, mode == FileDialogMode::Save ? "Save Vorlatek Presets" : "Load Vorlatek Presets",
                                   fileTypes::kPreset, std::move(folder)},
                                  [this](const std::string& path) { completions.push_back(path); }));
        frame->idle();
    }
    FileBrowser& browser() const { return *static_cast<FileBrowser*>(frame->modalView()); }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const FileBrowserEntry& entry : browser().list().entries()) result.push_back(entry.folder ? entry.name + "/" : entry.name);
        return result;
    }
    static Point centre(const Rect& r) { return {r.left + r.width() / 2, r.top + r.height() / 2}; }
    void click(Point p) {
        window->click(p.x, p.y);
        frame->idle();
    }
    void clickRow(const std::string& name, bool twice = false) {
        const auto& entries = browser().list().entries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].name != name) continue;
            const Point p = centre(browser().list().rowRect(int(i)));
            click(p);
            if (twice) click(p);
            return;
        }
        ADD_FAILURE() << name << " is not listed";
    }
    FileDialogResult poll() {
        frame->idle();
        return dialog->poll();
    }

    TemporaryFolder root;
    Ref<CFrame> frame;
    HeadlessWindow* window = nullptr;
    std::unique_ptr<FileDialog> dialog;
    std::vector<std::string> completions;
};

TEST_F(FileBrowserTest, BrowseIntoAFolderTypeANameAndThePresetIsSavedThere) {
    DrumPlugin plugin(nullptr, root.path());
    plugin.setProgramName("Dusty Kit");
    ASSERT_TRUE(dialog->start({FileDialogMode::Save, "Save Vorlatek Presets", fileTypes::kPreset, root.path()},
                              [&](const std::string& path) { completions.push_back(path), plugin.savePresetFile(path); }));
    frame->idle();
    EXPECT_EQ(names(), (std::vector<std::string>{"Kits/", "zeta/", "a.vpp", "B.VPP"}));
    EXPECT_EQ(frame->focusView(), &browser().nameField()) << "saving starts in the name field";
    EXPECT_EQ(browser().okButton().caption(), "Save");
    if (const char* folder = std::getenv("VORLATEK_DIALOG_PNG")) window->writePng(std::string(folder) + "/file-browser.png");

    clickRow("Kits", true);
    EXPECT_EQ(browser().folder(), root / "Kits");
    EXPECT_EQ(names(), std::vector<std::string>{"Old.vpp"});
    window->typeText("Groove");  // the list has the keyboard: typing goes to the name field
    EXPECT_EQ(poll().status, Status::Pending);
    EXPECT_TRUE(window->key(VirtualKey::Enter));
    const FileDialogResult result = poll();
    ASSERT_EQ(result.status, Status::Chosen);
    EXPECT_EQ(result.path, root / "Kits/Groove.vpp");
    EXPECT_EQ(frame->modalView(), nullptr);
    const std::string saved = readFile(root / "Kits/Groove.vpp");
    EXPECT_NE(saved.find("<VorlatekPreset"), std::string::npos);
    EXPECT_NE(saved.find("Dusty Kit"), std::string::npos);
    EXPECT_EQ(readFile(root / "Kits/Old.vpp"), "<old/>");
}

TEST_F(FileBrowserTest, LoadingFiltersBrowsesUpAndChoosesWithTheKeyboard) {
    start(FileDialogMode::Load, root / "Kits");
    EXPECT_EQ(browser().okButton().caption(), "Open");
    EXPECT_EQ(frame->focusView(), &browser().list());
    click(centre(browser().upButton().rect()));
    EXPECT_EQ(browser().folder(), root.path());

    // Any file: through the filter menu's popup.
    click(centre(browser().filterMenu().rect()));
    auto* popup = static_cast<CMenuPopup*>(frame->popup());
    ASSERT_TRUE(popup);
    click({popup->rect().left + 10, popup->rect().top + 1 + popup->rowHeight() + popup->rowHeight() / 2});
    EXPECT_EQ(names(), (std::vector<std::string>{"Kits/", "zeta/", "a.vpp", "B.VPP", "readme.txt"}));

    // Down from nothing selects the first entry, a folder; its name shows and Enter opens it.
    frame->setFocusView(&browser().list());
    window->key(VirtualKey::Down);
    EXPECT_EQ(browser().nameField().text(), "Kits");
    window->key(VirtualKey::Enter);
    EXPECT_EQ(browser().folder(), root / "Kits");
    EXPECT_EQ(browser().nameField().text(), "");
    window->key(VirtualKey::Backspace);
    EXPECT_EQ(browser().folder(), root.path());
    window->key(VirtualKey::End);
    window->key(VirtualKey::Up);
    window->key(VirtualKey::Up);
    EXPECT_EQ(browser().nameField().text(), "a.vpp");
    window->key(VirtualKey::Enter);
    const FileDialogResult result = poll();
    EXPECT_EQ(result.status, Status::Chosen);
    EXPECT_EQ(result.path, root / "a.vpp");
}

TEST_F(FileBrowserTest, NothingIsChosenThatIsMissingOrWouldBeOverwrittenUnasked) {
    start(FileDialogMode::Save, root.path());
    auto typeAndSave = [&](const std::string& name) {
        frame->setFocusView(&browser().nameField());
        window->typeText(name);
        click(centre(browser().okButton().rect()));
        return poll().status;
    };
    EXPECT_EQ(typeAndSave("nowhere/Groove"), Status::Pending);
    EXPECT_NE(browser().notice().find("does not exist"), std::string::npos);
    // "a" becomes "a.vpp", which exists: a second Save replaces it.
    EXPECT_EQ(typeAndSave("a"), Status::Pending);
    EXPECT_NE(browser().notice().find("a.vpp"), std::string::npos);
    click(centre(browser().okButton().rect()));
    FileDialogResult result = poll();
    EXPECT_EQ(result.status, Status::Chosen);
    EXPECT_EQ(result.path, root / "a.vpp");

    // A name that is a folder opens it; "~/" starts at home.
    start(FileDialogMode::Save, root / "Kits");
    EXPECT_EQ(typeAndSave("~/zeta"), Status::Pending);
    EXPECT_EQ(browser().folder(), root / "zeta");
    EXPECT_EQ(browser().nameField().text(), "");
    dialog->cancel();
    EXPECT_EQ(frame->modalView(), nullptr);

    // Loading a name that is not there stays open; so does an empty name.
    start(FileDialogMode::Load, root.path());
    click(centre(browser().okButton().rect()));
    EXPECT_EQ(browser().notice(), "Choose a file.");
    frame->setFocusView(&browser().nameField());
    window->typeText("gone.vpp");
    window->key(VirtualKey::Enter);
    EXPECT_EQ(poll().status, Status::Pending);
    EXPECT_NE(browser().notice().find("was not found"), std::string::npos);
    EXPECT_EQ(completions.size(), 1u);
}

TEST_F(FileBrowserTest, CancelAndEscapeReportAnEmptyPathAndGiveTheModalViewBack) {
    // The settings window is modal when its browse button asks for a file.
    auto settings = make<CViewContainer>(Rect{100, 100, 300, 200});
    frame->setModalView(settings);
    start(FileDialogMode::Load, "");
    EXPECT_EQ(browser().folder(), root.path()) << "without a folder the browser opens at home";
    click(centre(browser().cancelButton().rect()));
    EXPECT_EQ(poll().status, Status::Cancelled);
    EXPECT_EQ(frame->modalView(), settings.get());

    for (bool inNameField : {false, true}) {
        start(FileDialogMode::Save, root / "missing/folder");
        if (inNameField)
            window->typeText("half");
        else
            frame->setFocusView(&browser().list());
        EXPECT_TRUE(window->key(VirtualKey::Escape));
        EXPECT_EQ(poll().status, Status::Cancelled);
        EXPECT_EQ(frame->modalView(), settings.get());
    }
    EXPECT_EQ(completions, (std::vector<std::string>{"", "", ""}));

    // A click outside the box does nothing; the editor closing takes the browser away.
    start(FileDialogMode::Load, root.path());
    click({2, 2});
    EXPECT_EQ(poll().status, Status::Pending);
    dialog->setParent({});
    EXPECT_EQ(frame->modalView(), settings.get());
    EXPECT_FALSE(dialog->isBusy());
}

}  // namespace
}  // namespace vorlatek::editor::testing
