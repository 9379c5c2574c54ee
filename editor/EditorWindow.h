#pragma once
// What the editor's windows (about, preset manager, settings) have in common: a container
// from the layout, the size of its background picture and centred in the frame, holding the
// window's controls; shown as the frame's modal view (one window at a time, clicks elsewhere
// ignored) and hidden by clearing it. Each window listens to its own controls; after every
// value change the notifications that waited are applied, as on the main panel.
//
// Everything here runs on the thread that opened the editor.

#include <map>
#include <string>
#include <string_view>

#include "editor/ControlFactory.h"
#include "toolkit/CViewContainer.h"

namespace vorlatek {
class DrumPlugin;
}

namespace vorlatek::editor {

class LoadSaveFlows;
class MainPanel;

// What a window works with; all of it outlives the window.
struct WindowContext {
    DrumPlugin& plugin;
    const GuiLayout& layout;
    toolkit::ImageStore& images;
    toolkit::CFrame& frame;
    MainPanel& panel;
    LoadSaveFlows& files;
};

class EditorWindow : public toolkit::IControlListener {
public:
    // Makes the window from the layout's container entry `containerName`; a layout without it
    // gives a window that has no controls and never shows.
    EditorWindow(const WindowContext& context, std::string_view containerName);
    virtual ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    toolkit::CViewContainer* container() const { return container_.get(); }
    bool isShown() const;
    // Makes the window the modal view, in place of any other, and redraws it.
    void show();
    // Hides the window when it is the one shown; the panel is redrawn.
    void hide();

    // A control of the window by its layout name, for tests and tools (null when absent).
    toolkit::CView* control(std::string_view name) const;

    void valueChanged(toolkit::CControl* control) final;
    void controlBeginEdit(toolkit::CControl* control) override;
    void controlEndEdit(toolkit::CControl* control) override;

protected:
    // The control named `name` in the window (attached unless `attach` is false); null when
    // the layout has no such entry or names another class.
    template <class T>
    toolkit::Ref<T> make(std::string_view name, bool attach = true) {
        toolkit::Ref<T> view = factory_.create<T>(name, container_.get(), attach && container_);
        if (view) byName_.emplace(std::string(name), view);
        return view;
    }
    // A control the window makes itself, placed in the window and attached.
    void add(toolkit::Ref<toolkit::CView> view, std::string_view name);

    // What a value change of one of the window's controls does.
    virtual void handle(toolkit::CControl& control) = 0;

    // Kick buttons report 1 when pressed and whenever the pointer comes back over them, 0
    // when it leaves, and 0 at the release wherever that is. These tell the two moments a
    // handler acts on: the first press, and a release over the button (one dragged off and
    // released elsewhere does nothing).
    bool pressed(const toolkit::CControl& button);
    bool released(const toolkit::CControl& button);
    // Mouse buttons and modifier keys of the event being handled.
    unsigned buttons() const;

    WindowContext context_;

private:
    ControlFactory factory_;
    toolkit::Ref<toolkit::CViewContainer> container_;
    std::map<std::string, toolkit::Ref<toolkit::CView>, std::less<>> byName_;
    // The kick button under a press: whether the pointer is over it, whether the report being
    // handled is the press itself, and whether the release came over it.
    const toolkit::CControl* held_ = nullptr;
    bool over_ = false;
    bool pressReport_ = false;
    bool releaseOver_ = false;
};

}  // namespace vorlatek::editor
