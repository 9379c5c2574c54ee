#pragma once
// The plug-in's editor: the window the host shows, built from the layout whenever the host
// opens it and torn down when it closes: the main panel, and the about window, the preset
// manager and the settings window over it. It owns the layout (read once), the pictures, the
// file dialog, and what other threads hand it while the window is open: parameter values and
// notification codes wait in lock-free inboxes until the window's idle applies them.
//
// The host's editor calls (size, open, close, idle, keys) may come from different threads
// but never at once: a lock keeps them in turn. Parameter changes and notifications never
// take it; they only store into the inboxes, and only while the window is open.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "editor/AboutWindow.h"
#include "editor/GuiLayout.h"
#include "editor/LoadSaveFlows.h"
#include "editor/MainPanel.h"
#include "editor/NotificationQueue.h"
#include "editor/ParameterInbox.h"
#include "editor/PresetManager.h"
#include "editor/SettingsWindow.h"
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

    // An editor on X11: a child window of the host's window, at the host's or the desktop's
    // scale; files are chosen through the host's selector when it has one (`hostFiles` may be
    // null), else through the desktop's dialogs or the browser drawn inside the editor.
    explicit Editor(DrumPlugin& plugin, HostFileSelector* hostFiles = nullptr);
    // An editor whose windows `opener` makes (a headless window in tests and tools), asking
    // for files through `dialogs` (the usual ways without the host's when empty).
    Editor(DrumPlugin& plugin, WindowOpener opener, ScaleSource desktopScale,
           std::shared_ptr<toolkit::ImageSource> images = nullptr, FileDialog::Chain dialogs = {});
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
    AboutWindow* aboutWindow() const { return about_.get(); }
    PresetManager* presetManager() const { return presetManager_.get(); }
    SettingsWindow* settingsWindow() const { return settings_.get(); }
    LoadSaveFlows& files() { return files_; }
    double scale() const { return scale_; }

private:
    class Busy;
    // PanelWindows
    void showAbout() override;
    void showSettings() override;
    void showPresetManager() override;
    void savePattern(int entry) override;

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
    LoadSaveFlows files_;
    // The windows over the panel, while the window is open; the preset manager's page is
    // kept from one open to the next.
    std::unique_ptr<SettingsWindow> settings_;
    std::unique_ptr<PresetManager> presetManager_;
    std::unique_ptr<AboutWindow> about_;
    int presetPage_ = 0;

    std::atomic<bool> open_{false};
    std::atomic<bool> replaced_{false};
    NotificationQueue notifications_;
    ParameterInbox parameters_;
};

// The factory the module hands the VST adapter.
std::unique_ptr<PluginEditor> makeEditor(DrumPlugin& plugin, HostFileSelector& hostFiles);

}  // namespace vorlatek::editor
