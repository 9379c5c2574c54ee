#pragma once
// A plug-in object with its editor open on a headless window: clicks by control name, a
// clock moved by hand, and a host that passes the plug-in's reports to the editor as the
// VST adapter does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/EditorLink.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/CFrame.h"
#include "toolkit/HeadlessWindow.h"

namespace vorlatek::editor::testing {

// Records what the plug-in reports to its host besides.
class RecordingLink : public EditorLink {
public:
    std::vector<std::pair<int, float>> automated;
    std::vector<std::pair<char, int>> edits;  // 'b' or 'e', parameter

    void automate(int index, float value) override { automated.emplace_back(index, value); }
    void beginEdit(int index) override { edits.emplace_back('b', index); }
    void endEdit(int index) override { edits.emplace_back('e', index); }
};

class PanelTest : public ::testing::Test {
protected:
    PanelTest()
        : plugin(&host, ""),
          editor(
              plugin,
              [this](toolkit::CFrame& frame, void*) {
                  window = &toolkit::HeadlessWindow::openOn(frame);
                  return true;
              },
              [] { return 1.0; }) {
        host.editor = &editor;
    }
    ~PanelTest() override { host.editor = nullptr; }

    void SetUp() override { ASSERT_TRUE(editor.open(nullptr)); }

    MainPanel& panel() { return *editor.mainPanel(); }
    template <class T = toolkit::CControl>
    T* control(const std::string& name) {
        T* c = dynamic_cast<T*>(panel().control(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    float value(const std::string& name) {
        auto* c = control(name);
        return c ? c->value() : -1.0f;
    }
    // A left click in the middle of a control, with modifier keys held.
    void click(const std::string& name, unsigned modifiers = 0) {
        toolkit::CView* view = panel().control(name);
        ASSERT_NE(view, nullptr) << name;
        const toolkit::Rect r = view->frameRect();
        window->click((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, toolkit::kLButton | modifiers);
        editor.idle();
    }
    // Moves the clock and runs idle.
    void idle(std::uint32_t ms = 0) {
        window->advance(ms);
        editor.idle();
    }
    // Plays `seconds` of audio with the host transport running at 120 bpm, idling every block.
    void play(double seconds, bool transportPlaying = true) {
        constexpr int kBlock = 441;
        std::vector<std::vector<float>> pins(static_cast<std::size_t>(plugin.numOutputs()), std::vector<float>(kBlock));
        std::vector<float*> pointers;
        for (auto& p : pins) pointers.push_back(p.data());
        plugin.setProcessing(true);
        for (int b = 0; b < int(seconds * 100); ++b) {
            transport.valid = transport.tempoValid = transport.ppqValid = true;
            transport.playing = transportPlaying;
            transport.tempo = 120.0;
            plugin.process(pointers.data(), kBlock, &transport, true);
            if (transportPlaying) transport.ppqPos += 0.02;
            idle(10);
        }
    }

    RecordingLink host;
    DrumPlugin plugin;
    Editor editor;
    toolkit::HeadlessWindow* window = nullptr;
    TimeSnapshot transport;
};

}  // namespace vorlatek::editor::testing
