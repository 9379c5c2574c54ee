// The load and save flows end to end: a menu or button of the editor, the file dialog's
// answer, and what lands on disk or in the plug-in; the question before a name the user did
// not see replaces a file; notices for files that cannot be written or read.

#include "editor/LoadSaveFlows.h"

#include <cstdio>

#include "WindowsTestSupport.h"
#include "editor/FileBrowser.h"
#include "editor/FileBrowserBackEnd.h"
#include "editor/PanelTags.h"
#include "editor/WindowTags.h"
#include "plugin/VstEffect.h"
#include "sequencer/XmlDocument.h"
#include "toolkit/CTextEdit.h"

namespace vorlatek::editor::testing {
namespace {

using namespace toolkit;

std::string rootOf(const std::string& path) {
    const xml::Document doc = xml::Document::parseFile(path);
    return doc.root() ? reinterpret_cast<const char*>(doc.root()->name) : "";
}

TEST(LoadSaveFlowsRules, SavePatternMenuAsksForTheFamilyOfTheModeAndTheExtensionDecides) {
    const FileType* simple[] = {&fileTypes::kSimplePattern, &fileTypes::kSimpleSet, &fileTypes::kSimplePatternBank};
    const FileType* extended[] = {&fileTypes::kExtendedPattern, &fileTypes::kExtendedSet, &fileTypes::kExtendedPatternBank};
    for (int entry = 0; entry < 3; ++entry) {
        const FileDialogRequest host = savePatternRequest(true, entry), ext = savePatternRequest(false, entry);
        EXPECT_EQ(host.mode, FileDialogMode::Save);
        EXPECT_EQ(host.title, "Save Simple Patterns");
        EXPECT_EQ(host.type.description, simple[entry]->description);
        EXPECT_EQ(ext.title, "Save Extended Patterns");
        EXPECT_EQ(ext.type.extension, extended[entry]->extension);
    }
    struct Case {
        const char* path;
        bool host, extended;
    };
    for (const Case& c : {Case{"/a/Groove.vsp", true, false}, Case{"/a/g.VSS", true, false}, Case{"b.vsb", true, false},
                          Case{"/a/Fill.vep", false, true}, Case{"/a/f.Ves", false, true}, Case{"/a/all.veb", false, true},
                          Case{"/a.vsp/noextension", false, false}, Case{"/a/Groove", false, false},
                          Case{"/a/g.vpp", false, false}, Case{"/a/g.vsp.", false, false}, Case{"", false, false}}) {
        EXPECT_EQ(savesPatternFamily(c.path, true), c.host) << c.path;
        EXPECT_EQ(savesPatternFamily(c.path, false), c.extended) << c.path;
    }
    EXPECT_EQ(defaultBankRequest(DefaultBank::SimplePatterns, "/banks/Old.vsb").initialFolder, "/banks");
    EXPECT_EQ(defaultBankRequest(DefaultBank::ExtendedPatterns, "").title, "Select Vorlatek Extended Pattern Bank");
}

class LoadSaveFlowsTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        plugin.setIntSeqOn(true);
        editor.idle();
    }
    // Saves through the panel's save-pattern menu, answering `typed`.
    std::string savePattern(bool hostMode, int entry, const std::string& typed) {
        plugin.setHostMode(hostMode);
        editor.idle();
        choose(tag::kSavePatternMenu, entry);
        answer(folder / typed);
        return dialog->requests.back().title;
    }
};

TEST_F(LoadSaveFlowsTest, SavePatternMenuWritesWhatTheCompletedExtensionNamesInEitherMode) {
    struct Case {
        bool hostMode;
        int entry;
        const char* typed;
        const char* written;
        const char* root;
    };
    const Case cases[] = {
        {true, 0, "Groove", "Groove.vsp", "VorlatekSimplePattern"},
        {true, 0, "Loud.VSP", "Loud.VSP.vsp", "VorlatekSimplePattern"},  // the tail comparison minds the case
        {true, 0, "Typed.vsb", "Typed.vsb.vsp", "VorlatekSimplePattern"},
        {true, 1, "Set", "Set.vss", "VorlatekSimpleSet"},
        {true, 2, "Bank.vsb", "Bank.vsb", "VorlatekSimplePatternBank"},
        {false, 0, "Fill", "Fill.vep", "VorlatekExtendedPattern"},
        {false, 0, "Old.vsp", "Old.vsp.vep", "VorlatekExtendedPattern"},
        {false, 1, "Set", "Set.ves", "VorlatekExtendedSet"},
        {false, 2, "All", "All.veb", "VorlatekExtendedPatternBank"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(savePattern(c.hostMode, c.entry, c.typed), c.hostMode ? "Save Simple Patterns" : "Save Extended Patterns");
        EXPECT_EQ(rootOf(folder / c.written), c.root) << c.written;
        EXPECT_EQ(message(), nullptr) << c.written;
    }

    // The mode left host mode while the dialog was up: a simple pattern name writes nothing.
    plugin.setHostMode(true);
    editor.idle();
    choose(tag::kSavePatternMenu, 0);
    plugin.setHostMode(false);
    answer(folder / "Late");
    EXPECT_FALSE(pathExists(folder / "Late.vsp"));
    ASSERT_NE(message(), nullptr);
    message()->answer(true);

    // A cancel writes nothing and says nothing; with the sequencer off the menu asks nothing.
    choose(tag::kSavePatternMenu, 2);
    answer("");
    EXPECT_EQ(shown(), nullptr);
    const std::size_t asked = dialog->requests.size();
    plugin.setIntSeqOn(false);
    editor.idle();
    choose(tag::kSavePatternMenu, 0);
    EXPECT_EQ(dialog->requests.size(), asked);
}

TEST_F(LoadSaveFlowsTest, ANameCompletedOverAnExistingFileIsReplacedOnlyAfterAskingButAPickedOneIsNot) {
    const std::string kit = folder.write("Kit.vpp", "<kept/>");
    plugin.setProgramName("New Sound");
    click("Browse Preset");
    // "Kit" became "Kit.vpp", which the user never saw: asked, and No keeps the file.
    choose(tag::kPresetSaveMenu, 0);
    EXPECT_EQ(dialog->requests.back().title, "Save Vorlatek Presets");
    answer(folder / "Kit");
    ASSERT_NE(message(), nullptr);
    EXPECT_EQ(message()->lines()[0], "\u201CKit.vpp\u201D already exists.");
    message()->answer(false);
    EXPECT_EQ(readFile(kit), "<kept/>");
    EXPECT_EQ(shown(), editor.presetManager()->container());  // the manager is back

    choose(tag::kPresetSaveMenu, 0);
    answer(folder / "Kit");
    message()->answer(true);
    EXPECT_EQ(rootOf(kit), "VorlatekPreset");

    // The very name of an existing file was chosen: the dialog asked already.
    folder.write("Bank.vpb", "<old/>");
    choose(tag::kPresetSaveMenu, 1);
    answer(folder / "Bank.vpb");
    EXPECT_EQ(message(), nullptr);
    EXPECT_EQ(rootOf(folder / "Bank.vpb"), "VorlatekPresetBank");
}

TEST_F(LoadSaveFlowsTest, LoadsChangeThePluginOnlyWhenTheFileParsesAndFailuresAreTold) {
    plugin.setProgramName("Saved");
    ASSERT_TRUE(plugin.savePresetFile(folder / "One.vpp"));
    plugin.setProgramName("Changed");
    const float level = plugin.getParameter(0);
    click("Browse Preset");
    choose(tag::kPresetLoadMenu, 0);
    EXPECT_EQ(dialog->requests.back().title, "Load Vorlatek Presets");
    answer(folder / "One.vpp");
    EXPECT_EQ(control<CTextEdit>("Preset Manager Edit 00")->text(), "Saved");
    EXPECT_EQ(control<CTextEdit>("Preset Name")->text(), "Saved");

    folder.write("Broken.vpp", "<VorlatekPreset name=\"Broken\"><param");
    choose(tag::kPresetLoadMenu, 0);
    EXPECT_EQ(dialog->requests.back().initialFolder, folder.path());  // where the last file was
    answer(folder / "Broken.vpp");
    ASSERT_NE(message(), nullptr);
    EXPECT_EQ(message()->lines()[0], "\u201CBroken.vpp\u201D could not be loaded.");
    message()->answer(true);
    EXPECT_EQ(plugin.presets()->slot(0).name, std::string("Saved"));
    EXPECT_EQ(plugin.getParameter(0), level);

    // A file that cannot be written is told too.
    choose(tag::kPresetSaveMenu, 0);
    answer(folder / "gone/Kit");
    ASSERT_NE(message(), nullptr);
    EXPECT_EQ(message()->lines()[0], "\u201CKit.vpp\u201D could not be saved.");
    EXPECT_FALSE(pathExists(folder / "gone"));
}

TEST_F(LoadSaveFlowsTest, SettingsBrowseFillsTheFieldsAndTheMidiCcMapGoesBothWays) {
    click("About", kControl);
    auto* presets = control<CTextEdit>("Window Settings Resources Edit Presets");
    presets->setText("/old/Kits.vpb");
    click("Window Settings Button Browse Presets");
    EXPECT_EQ(dialog->requests.back().title, "Select Vorlatek Preset Bank");
    EXPECT_EQ(dialog->requests.back().initialFolder, "/old");
    answer("");
    EXPECT_EQ(presets->text(), "/old/Kits.vpb");  // a cancel keeps the path
    click("Window Settings Button Browse Extended Patterns");
    answer(folder / "Grooves");
    EXPECT_EQ(control<CTextEdit>("Window Settings Resources Edit Extended Patterns")->text(), folder / "Grooves.veb");
    EXPECT_EQ(plugin.defaultResources()->extendedPatternBank, "");  // not before OK

    plugin.assignController(7, 12);
    click("Window Settings Button Save MidiCC Map");
    answer(folder / "Map");
    EXPECT_EQ(rootOf(folder / "Map.vcc"), "MidiCCMap");
    plugin.assignController(7, 30);
    click("Window Settings Button Load MidiCC Map");
    EXPECT_EQ(dialog->requests.back().mode, FileDialogMode::Load);
    answer(folder / "Map.vcc");
    EXPECT_EQ(plugin.midiCcMap().parameterFor(7), 12);

    // Leaving the window drops the dialog it asked for.
    click("Window Settings Button Browse Simple Patterns");
    click("Window Settings Cancel");
    EXPECT_EQ(dialog->cancels, 1);
    EXPECT_FALSE(editor.files().dialog().isBusy());
}

// The browser drawn in the editor: the user browses into a folder, types a name and saves;
// the preset manager is back when the browser goes.
class BuiltInBrowserFlowTest : public WindowsTest {
protected:
    static FileDialog::Chain browserOnly() {
        FileDialog::Chain chain;
        chain.push_back(std::make_unique<FileBrowserBackEnd>(""));
        return chain;
    }
    BuiltInBrowserFlowTest() : WindowsTest(browserOnly()) {}
};

TEST_F(BuiltInBrowserFlowTest, BrowseIntoAFolderTypeANameAndTheBankIsSaved) {
    folder.makeFolder("Banks");
    folder.write("Banks/Old.vpb", "<old/>");
    plugin.setProgramName("In The Bank");
    click("Browse Preset");
    choose(tag::kPresetSaveMenu, 1);
    auto* browser = dynamic_cast<FileBrowser*>(shown());
    ASSERT_NE(browser, nullptr);
    // A folder's path typed into the name opens it; a double click opens a folder listed.
    window->typeText(folder.path());
    window->key(VirtualKey::Enter);
    editor.idle();
    ASSERT_EQ(browser->folder(), folder.path());
    ASSERT_EQ(browser->list().entries().at(0).name, "Banks");
    const Rect row = browser->list().rowRect(0);
    for (int click = 0; click < 2; ++click) window->click(row.left + 20, (row.top + row.bottom) / 2.0);
    editor.idle();
    EXPECT_EQ(browser->folder(), folder / "Banks");
    window->typeText("Mine");
    window->key(VirtualKey::Enter);
    editor.idle();
    EXPECT_EQ(rootOf(folder / "Banks/Mine.vpb"), "VorlatekPresetBank");
    EXPECT_NE(readFile(folder / "Banks/Mine.vpb").find("In The Bank"), std::string::npos);
    EXPECT_EQ(readFile(folder / "Banks/Old.vpb"), "<old/>");
    EXPECT_EQ(shown(), editor.presetManager()->container());
}

// The host's own selector, reached through the VST adapter: asked about once, opened from the
// editor's idle, and an idle the host sends from inside its dialog is left alone.
struct SelectorHost {
    int asks = 0, opens = 0, closes = 0;
    std::string title, answer;
    vst::AEffect* effect = nullptr;
};
SelectorHost* gSelector = nullptr;

vst::VstIntPtr selectorHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void* ptr, float) {
    using namespace vst;
    if (opcode == audioMasterVersion) return 2400;
    if (!gSelector) return 0;
    switch (opcode) {
        case audioMasterCanDo: {
            ++gSelector->asks;
            const std::string what = static_cast<const char*>(ptr);
            return what == "openFileSelector" || what == "closeFileSelector" ? 1 : 0;
        }
        case audioMasterOpenFileSelector: {
            auto& select = *static_cast<VstFileSelect*>(ptr);
            ++gSelector->opens;
            gSelector->title = select.title;
            gSelector->effect->dispatcher(gSelector->effect, effEditIdle, 0, 0, nullptr, 0.0f);
            std::snprintf(select.returnPath, std::size_t(select.sizeReturnPath), "%s", gSelector->answer.c_str());
            return 1;
        }
        case audioMasterCloseFileSelector: ++gSelector->closes; return 1;
        default: return 0;
    }
}

std::unique_ptr<PluginEditor> selectorEditor(DrumPlugin& plugin, HostFileSelector& files) {
    return std::make_unique<Editor>(
        plugin, [](CFrame& frame, void*) { return &HeadlessWindow::openOn(frame) != nullptr; }, [] { return 1.0; },
        nullptr, FileDialog::standardChain(&files));
}

TEST(HostSelectorFlowTest, TheHostsSelectorIsAskedFirstAndItsPathIsSaved) {
    TemporaryFolder folder;
    SelectorHost host;
    host.answer = folder / "From Host";
    gSelector = &host;
    vst::AEffect* effect = VstEffect::create(selectorHost, folder.path(), &selectorEditor);
    ASSERT_NE(effect, nullptr);
    host.effect = effect;
    auto& adapter = *static_cast<VstEffect*>(effect->object);
    int parent = 1;
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, &parent, 0.0f), 1);
    auto& editor = *dynamic_cast<Editor*>(adapter.editor());
    for (int entry = 0; entry < 2; ++entry) {
        ASSERT_TRUE(editor.files().savePresets(entry));
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    }
    EXPECT_EQ(host.asks, 2);  // once for each capability, then remembered
    EXPECT_EQ(host.opens, 2);
    EXPECT_EQ(host.closes, 2);
    EXPECT_EQ(host.title, "Save Vorlatek Presets");
    EXPECT_EQ(rootOf(folder / "From Host.vpp"), "VorlatekPreset");
    EXPECT_EQ(rootOf(folder / "From Host.vpb"), "VorlatekPresetBank");
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    gSelector = nullptr;
}

}  // namespace
}  // namespace vorlatek::editor::testing
