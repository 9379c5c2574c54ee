// The about window, the preset manager and the settings window over the panel: showing and
// hiding them, paging and moving presets, and the settings window's copy that only OK writes.

#include "WindowsTestSupport.h"
#include "editor/WindowTags.h"
#include "engine/Instrument.h"
#include "plugin/ModuleServices.h"
#include "toolkit/CTextEdit.h"

namespace vorlatek::editor::testing {
namespace {

using namespace toolkit;

class EditorWindowsTest : public WindowsTest {
protected:
    std::string text(const std::string& name) {
        auto* label = control<CTextLabel>(name);
        return label ? label->text() : std::string();
    }
    std::string presetName(int n) { return plugin.presets()->slot(n).name; }
    CView* settingsView() { return editor.settingsWindow()->container(); }
    bool inSettings(const std::string& name) { return control<CView>(name)->parent() == settingsView(); }
};

TEST_F(EditorWindowsTest, AboutShowsVersionAndModuleAndLeadsToTheSettings) {
    click("About");
    EXPECT_EQ(shown(), editor.aboutWindow()->container());
    EXPECT_EQ(text("About Label Version"), "v.1.0.5");
    EXPECT_EQ(text("About Label Plugin Path"), moduleFileName().substr(0, 256));
    // Clicks outside the window reach nothing.
    const float mute = plugin.getParameter(59);
    click("BD Mute");
    EXPECT_EQ(plugin.getParameter(59), mute);
    // A press dragged off Close and released elsewhere leaves the window up.
    const Rect close = control<CView>("About Close")->frameRect();
    window->press(close.left + 2, close.top + 2);
    window->move(10, 10);
    window->release(10, 10, 0);
    EXPECT_EQ(shown(), editor.aboutWindow()->container());
    click("About Close");
    EXPECT_EQ(shown(), nullptr);

    click("About");
    click("About Settings");
    EXPECT_EQ(shown(), settingsView());
    click("Window Settings Close");
    click("About", kControl);
    EXPECT_EQ(shown(), settingsView());
}

TEST_F(EditorWindowsTest, PresetManagerPagesSelectsRenamesAndMovesPresets) {
    plugin.selectProgram(40);
    click("Browse Preset");
    EXPECT_EQ(shown(), editor.presetManager()->container());
    EXPECT_EQ(editor.presetManager()->page(), 1);
    EXPECT_EQ(value("Preset Manager Page2"), 1.0f);
    EXPECT_EQ(value("Preset Manager Radio 08"), 1.0f);
    EXPECT_EQ(text("Preset Manager Edit 00"), presetName(32));

    click("Preset Manager Page4");
    EXPECT_EQ(value("Preset Manager Page2"), 0.0f);
    EXPECT_EQ(text("Preset Manager Edit 31"), presetName(127));
    EXPECT_EQ(value("Preset Manager Radio 08"), 0.0f);
    click("Preset Manager Radio 03");
    EXPECT_EQ(plugin.currentProgram(), 99);
    click("Preset Manager Radio 03");  // the lit radio stays lit
    EXPECT_EQ(value("Preset Manager Radio 03"), 1.0f);

    click("Preset Manager Edit 05");
    window->typeText("A name far longer than twenty-three");
    window->key(VirtualKey::Enter);
    editor.idle();
    EXPECT_EQ(presetName(101), "A name far longer than ");

    // Ctrl moves the preset: from 31 to 32, and the page follows.
    plugin.selectProgram(31);
    plugin.setProgramName("Mover");
    const float tone = plugin.getParameter(1);
    plugin.presets()->slot(32).setName("Neighbour");
    click("Preset Manager Next", kControl);
    EXPECT_EQ(plugin.currentProgram(), 32);
    EXPECT_EQ(presetName(32), "Mover");
    EXPECT_EQ(presetName(31), "Neighbour");
    EXPECT_EQ(plugin.getParameter(1), tone);
    EXPECT_EQ(editor.presetManager()->page(), 1);
    EXPECT_EQ(value("Preset Manager Radio 00"), 1.0f);
    EXPECT_EQ(control<CTextEdit>("Preset Name")->text(), "Mover");

    plugin.selectProgram(0);
    const std::string first = presetName(0);
    click("Preset Manager Prev", kControl);
    click("Preset Manager Prev");
    EXPECT_EQ(plugin.currentProgram(), 0);
    EXPECT_EQ(presetName(0), first);
    click("Preset Manager Next");
    EXPECT_EQ(plugin.currentProgram(), 1);

    // The page outlives the window and the editor's window.
    click("Preset Manager Page3");
    click("Preset Manager Close");
    editor.close();
    ASSERT_TRUE(editor.open(nullptr));
    EXPECT_EQ(editor.presetManager()->page(), 2);
}

TEST_F(EditorWindowsTest, SettingsShowTheUserDefaultsAndTheRadiosBehaveAsGroups) {
    {
        auto defaults = plugin.userDefaults();
        defaults->output.triggerOn = true;
        defaults->output.masterStereo = false;
        defaults->triggerSource = kHandClap;
        defaults->outAssign[2] = 9;
        defaults->sequencer.noteOff = true;
    }
    plugin.defaultResources()->presetBank = "/kits/My Kits.vpb";
    plugin.setExtSyncType(kExtSyncLowestNote);
    click("About", kControl);

    EXPECT_EQ(text("Window Settings Resources Edit Presets"), "/kits/My Kits.vpb");
    EXPECT_EQ(value("Window Settings Int Seq Radio Sync With Host By Lowest Note"), 1.0f);
    EXPECT_EQ(value("Window Settings Int Seq Radio Note Off State On"), 1.0f);
    EXPECT_EQ(value("Window Settings Outputs Radio Master Type Mono"), 1.0f);
    EXPECT_EQ(value("Window Settings Outputs Radio Trigger HandClap"), 1.0f);
    EXPECT_EQ(value("Window Settings Outputs Radio Trigger CowBell"), 0.0f);
    EXPECT_EQ(text("Window Settings Outputs Label Assigns 02"), "10");
    EXPECT_TRUE(inSettings("Window Settings Outputs Radio Trigger Accent"));
    EXPECT_TRUE(inSettings("Window Settings Outputs Bitmap Master Stereo Text"));

    // A lit radio stays lit; another one takes over from its partners.
    click("Window Settings Int Seq Radio Note Off State On");
    EXPECT_EQ(value("Window Settings Int Seq Radio Note Off State On"), 1.0f);
    click("Window Settings Outputs Radio Trigger Accent");
    EXPECT_EQ(value("Window Settings Outputs Radio Trigger Accent"), 1.0f);
    EXPECT_EQ(value("Window Settings Outputs Radio Trigger HandClap"), 0.0f);

    // The checkboxes take their groups out of the window and back.
    click("Window Settings Outputs Checkbox Master Present");
    EXPECT_FALSE(inSettings("Window Settings Outputs Radio Master Type Stereo"));
    EXPECT_FALSE(inSettings("Window Settings Outputs Bitmap Master Mono Text"));
    click("Window Settings Outputs Checkbox Master Present");
    EXPECT_TRUE(inSettings("Window Settings Outputs Radio Master Type Stereo"));
    click("Window Settings Outputs Checkbox Trigger Present");
    EXPECT_FALSE(inSettings("Window Settings Outputs Radio Trigger CowBell"));
}

TEST_F(EditorWindowsTest, CancelAndCloseDropTheCopyAndOkWritesAllOfIt) {
    const UserDefaults before = *plugin.userDefaults();
    plugin.setOutAssign(4, 11);
    for (const char* leave : {"Window Settings Cancel", "Window Settings Close"}) {
        click("About", kControl);
        click("Window Settings Outputs Button Assigns Set Current");
        EXPECT_EQ(text("Window Settings Outputs Label Assigns 04"), "12");
        click("Window Settings Outputs Button Assigns Reset");
        EXPECT_EQ(text("Window Settings Outputs Label Assigns 04"), "5");
        click("Window Settings Int Seq Radio Host Mode State On");
        click(leave);
        EXPECT_EQ(shown(), nullptr);
        EXPECT_EQ(plugin.userDefaults()->outAssign, before.outAssign);
        EXPECT_EQ(plugin.userDefaults()->sequencer.hostMode, before.sequencer.hostMode);
    }

    click("About", kControl);
    click("Window Settings Resources Edit Simple Patterns");
    window->typeText("/banks/Grooves.vsb");
    window->key(VirtualKey::Enter);
    click("Window Settings Int Seq Radio Sync With Host By Lowest Note");
    click("Window Settings Int Seq Radio Int Seq State On");
    click("Window Settings Int Seq Radio Int Sync State On");
    click("Window Settings Int Seq Radio Host Mode State On");
    click("Window Settings Outputs Radio Instr Type Mono");
    click("Window Settings Outputs Button Assigns Set Current");
    control<CTextLabel>("Window Settings Outputs Label Assigns 06")->setText("18");  // not an output
    control<CTextLabel>("Window Settings Outputs Label Assigns 07")->setText("3 (CL)");
    // With the trigger output off its instrument is still taken from the hidden radios.
    click("Window Settings Outputs Checkbox Trigger Present");
    click("Window Settings Outputs Radio Trigger Accent");
    click("Window Settings Outputs Checkbox Trigger Present");
    click("Window Settings OK");

    EXPECT_EQ(shown(), nullptr);
    EXPECT_EQ(plugin.defaultResources()->simplePatternBank, "/banks/Grooves.vsb");
    EXPECT_EQ(plugin.sequencerSettings()->extSyncType, kExtSyncLowestNote);
    const UserDefaults after = *plugin.userDefaults();
    EXPECT_TRUE(after.sequencer.intSeqOn);
    EXPECT_EQ(after.sequencer.syncInternal, 1);
    EXPECT_TRUE(after.sequencer.hostMode);
    EXPECT_FALSE(after.output.instrumentsStereo);
    EXPECT_FALSE(after.output.triggerOn);
    EXPECT_EQ(after.triggerSource, kAccent);
    EXPECT_EQ(after.outAssign[4], 11);
    EXPECT_EQ(after.outAssign[6], before.outAssign[6]);
    EXPECT_EQ(after.outAssign[7], 2);
}

}  // namespace
}  // namespace vorlatek::editor::testing
