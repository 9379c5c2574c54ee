// The editor behind the VST adapter: the editor opcodes as hosts send them, in the orders
// hosts get wrong, with the editor drawn on a headless window.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "editor/Editor.h"
#include "plugin/DrumPlugin.h"
#include "plugin/VstEffect.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/HeadlessWindow.h"

namespace vorlatek::editor {
namespace {

using namespace vst;

struct HostLog {
    std::vector<std::pair<VstInt32, VstInt32>> requests;  // opcode, index
};
HostLog* gLog = nullptr;
toolkit::HeadlessWindow* gWindow = nullptr;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (gLog) gLog->requests.emplace_back(opcode, index);
    return 0;
}

std::unique_ptr<PluginEditor> headlessEditor(DrumPlugin& plugin, HostFileSelector&) {
    return std::make_unique<Editor>(
        plugin,
        [](toolkit::CFrame& frame, void* parent) {
            if (!parent) return false;  // no host window: nothing to open in
            gWindow = &toolkit::HeadlessWindow::openOn(frame);
            return true;
        },
        [] { return 1.0; });
}

class EditorHostingTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = &log;
        std::filesystem::create_directories(dir);
        effect = VstEffect::create(hostCallback, dir.string(), &headlessEditor);
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (effect) dispatch(effClose);
        gLog = nullptr;
        std::filesystem::remove_all(dir);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    ERect rect() {
        ERect* r = nullptr;
        EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &r), 1);
        return r ? *r : ERect{};
    }
    Editor& editor() { return *dynamic_cast<Editor*>(static_cast<VstEffect*>(effect->object)->editor()); }
    DrumPlugin& core() { return static_cast<VstEffect*>(effect->object)->core(); }
    void clickOn(const char* name) {
        const toolkit::Rect r = editor().mainPanel()->control(name)->frameRect();
        gWindow->click((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
    }

    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("vorlatek-hosting-" + std::to_string(::getpid()));
    HostLog log;
    AEffect* effect = nullptr;
    int parent = 1;  // stands for the host's window
};

TEST_F(EditorHostingTest, AnnouncesTheEditorAndGivesItsSizeBeforeAndAfterOpenAtTheHostsScale) {
    EXPECT_TRUE(effect->flags & effFlagsHasEditor);
    const ERect before = rect();
    EXPECT_EQ(before.top, 0);
    EXPECT_EQ(before.left, 0);
    EXPECT_EQ(before.right, editor().panelRect().width());
    EXPECT_EQ(before.bottom, editor().panelRect().height());
    EXPECT_GT(before.right, 800);

    EXPECT_EQ(dispatch(effVendorSpecific, kVendorScaleIndex, kVendorScaleValue, nullptr, 2.0f), 1);
    EXPECT_EQ(dispatch(effVendorSpecific, kVendorScaleIndex, 0, nullptr, 2.0f), 0);
    EXPECT_EQ(rect().right, 2 * before.right);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(rect().bottom, 2 * before.bottom);
    EXPECT_EQ(editor().frame()->windowWidth(), 2 * before.right);
    // A new scale waits for the next open.
    dispatch(effVendorSpecific, kVendorScaleIndex, kVendorScaleValue, nullptr, 1.0f);
    EXPECT_EQ(rect().right, 2 * before.right);
    dispatch(effEditClose);
    EXPECT_EQ(rect().right, before.right);
}

TEST_F(EditorHostingTest, SurvivesTheOpenAndCloseOrdersHostsGetWrong) {
    EXPECT_EQ(dispatch(effEditClose), 1);  // close without open
    dispatch(effEditIdle);                 // idle before open
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);  // no window to open in
    EXPECT_FALSE(editor().isOpen());
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
        if (i % 2) {
            ASSERT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);  // opened twice
        }
        dispatch(effEditIdle);
        dispatch(effEditClose);
        if (i % 3 == 0) dispatch(effEditClose);
        dispatch(effEditIdle);  // idle after close
        EXPECT_EQ(dispatch(effEditKeyDown, 'a'), 0);
    }
    // Parameter changes and notifications while closed are dropped, and open shows the state.
    effect->setParameter(effect, 60, 1.0f);
    core().setIntSeqOn(false);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(dynamic_cast<toolkit::CControl*>(editor().mainPanel()->control("SD Mute"))->value(), 1.0f);
    EXPECT_EQ(dynamic_cast<toolkit::CControl*>(editor().mainPanel()->control("Internal Seq State"))->value(), 0.0f);
    // The host closes the plug-in with its editor open (TearDown).
}

TEST_F(EditorHostingTest, HostKeysFromAnotherThreadReachAnEditedTextFieldOnly) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(dispatch(effEditKeyDown, 'x'), 0);  // no field edits: the host keeps its keys
    clickOn("Preset Name");
    std::thread host([&] {
        dispatch(effEditKeyDown, 0, VKEY_BACK);
        for (char c : std::string("Tight Kit")) EXPECT_EQ(dispatch(effEditKeyDown, c), 1);
        EXPECT_EQ(dispatch(effEditKeyUp, 't'), 1);
        dispatch(effEditIdle);  // idle from this thread too
        EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_RETURN), 1);
    });
    host.join();
    dispatch(effEditIdle);
    char name[32] = {};
    dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Tight Kit");
    EXPECT_EQ(dispatch(effEditKeyDown, 'x'), 0);
}

TEST_F(EditorHostingTest, AClickIsReportedAsOneBracketedAutomationAndProgramChangesRedraw) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    log.requests.clear();
    clickOn("BD Mute");
    const std::vector<std::pair<VstInt32, VstInt32>> expected = {
        {audioMasterBeginEdit, 59}, {audioMasterAutomate, 59}, {audioMasterEndEdit, 59}};
    EXPECT_EQ(log.requests, expected);
    EXPECT_EQ(effect->getParameter(effect, 59), 1.0f);

    dispatch(effSetProgram, 0, 5);
    dispatch(effEditIdle);
    char name[32] = {};
    dispatch(effGetProgramName, 0, 0, name);
    EXPECT_EQ(dynamic_cast<toolkit::CTextEdit*>(editor().mainPanel()->control("Preset Name"))->text(), name);
}

}  // namespace
}  // namespace vorlatek::editor
