#pragma once
// The plug-in's editor: the window the host shows, built from the layout whenever the host
// opens it and torn down when it closes. It owns the layout (read once), the pictures, and
// what other threads hand it while the window is open: parameter values and notification
// codes wait in lock-free inboxes until the window's idle applies them.
//
// The host's editor calls (size, open, close, idle, keys) may come from different threads
// but never at once: a lock keeps them in turn. Parameter changes and notifications never
// take it; they only store into the inboxes, and only while the window is open.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "editor/GuiLayout.h"
#include "editor/MainPanel.h"
#include "editor/NotificationQueue.h"
#include "editor/ParameterInbox.h"
#include "plugin/PluginEditor.h"
#include "toolkit/CFrame.h"
#include "toolkit/ImageSource.h"
#include "toolkit/ImageStore.h"

namespace vorlatek::editor {

class Editor final : public PluginEditor, private PanelWindows {
public:
    static constexpr int kBackgroundBitmap = 100;

    // Puts `frame` on screen inside the host's window `parent`; false when it cannot.
    using WindowOpener = std::function<bool(toolkit::CFrame& frame, void* parent)>;
    // The scale the desktop asks for, when the host gives none.
    using ScaleSource = std::function<double()>;

    // An editor on X11: a child window of the host's window, at the host's or the desktop's scale.
    explicit Editor(DrumPlugin& plugin);
    // An editor whose windows `opener` makes (a headless window in tests and tools).
    Editor(DrumPlugin& plugin, WindowOpener opener, ScaleSource desktopScale,
           std::shared_ptr<toolkit::ImageSource> images = nullptr);
    ~Editor() override;

    Size size() override;
    void setHostScale(double scale) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() const override { return open_.load(std::memory_order_acquire); }
    void idle() override;
    bool keyDown(int character, int virtualKey, int modifiers) override;
    bool keyUp(int character, int virtualKey, int modifiers) override;
    void setKnobMode(int mode) override;

    void parameterChanged(int index, float value) override;
    void notify(int code) override;
    void stateReplaced() override;

    const GuiLayout& layout() const { return layout_; }
    // The size of the main panel in logical pixels.
    toolkit::Rect panelRect() const { return panel_; }
    // While open (editor thread only): the frame and the main panel.
    toolkit::CFrame* frame() const { return frame_.get(); }
    MainPanel* mainPanel() const { return mainPanel_.get(); }
    double scale() const { return scale_; }

private:
    class Busy;
    double scaleForOpen();
    void closeLocked();

    DrumPlugin& plugin_;
    GuiLayout layout_;
    std::shared_ptr<toolkit::ImageSource> images_;
    toolkit::Rect panel_;
    WindowOpener opener_;
    ScaleSource desktopScale_;

    // The host's editor calls, one at a time. A host may call back into the editor from a
    // request the editor made (an automation report, say): such a nested open, close or
    // idle is ignored rather than run inside the call that caused it.
    std::recursive_mutex lock_;
    bool busy_ = false;
    double hostScale_ = 0.0;
    double desktop_ = 0.0;  // asked once, 0 until then
    double scale_ = 1.0;    // of the window open or last opened
    toolkit::KnobMode knobMode_ = toolkit::KnobMode::Linear;
    std::unique_ptr<toolkit::ImageStore> store_;  // pictures at the scale of the last open
    toolkit::Ref<toolkit::CFrame> frame_;
    std::unique_ptr<MainPanel> mainPanel_;

    std::atomic<bool> open_{false};
    std::atomic<bool> replaced_{false};
    NotificationQueue notifications_;
    ParameterInbox parameters_;
};

// The factory the module hands the VST adapter.
std::unique_ptr<PluginEditor> makeEditor(DrumPlugin& plugin);

}  // namespace vorlatek::editor
