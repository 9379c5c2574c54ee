#pragma once
// The settings window: what the user settings file keeps for new instances. The default
// banks loaded at start (with buttons that choose them), how the host starts the sequencer,
// the sequencer's defaults, the output configuration with its output assigns, and buttons
// that load and save the MIDI CC map.
//
// The window shows a copy: it is filled from the plug-in when shown, and only OK writes it
// back; Close and Cancel drop it. The master type radios and the trigger radios, with their
// captions, show only while their output is switched on.

#include <array>
#include <map>

#include "editor/EditorWindow.h"
#include "toolkit/CNStateButton.h"
#include "toolkit/CTextEdit.h"

namespace vorlatek::editor {

class SettingsWindow : public EditorWindow {
public:
    static constexpr int kInstruments = 17;

    explicit SettingsWindow(const WindowContext& context);
    ~SettingsWindow() override;

    // Fills the window from the plug-in and shows it.
    void open();
    // Hides it without applying; a dialog it asked for goes too.
    void close();
    // What the window shows, from the plug-in's user settings; and back.
    void fill();
    void apply();

private:
    // An output that is switched on or off, with the radios and captions shown while on.
    struct Output {
        int checkbox = 0;
        std::vector<toolkit::Ref<toolkit::CView>> views;
    };

    void handle(toolkit::CControl& control) override;
    toolkit::CNStateButton* button(int tag) const;
    float value(int tag) const;
    void set(int tag, bool lit);
    // Lights radio `index` of the `count` radios from tag `first` on, and no other.
    void light(int first, int count, int index);
    void showOutputGroup(const Output& output);
    void setAssignLabels(const std::array<int, kInstruments>& outputs);  // 0-based outputs
    void browse(int bank);

    std::map<int, toolkit::Ref<toolkit::CNStateButton>> buttons_;  // radios and checkboxes by tag
    std::array<toolkit::Ref<toolkit::CTextEdit>, 3> bankPaths_;
    std::array<toolkit::Ref<toolkit::CTextLabel>, kInstruments> assigns_;
    std::array<Output, 2> outputs_;  // master, trigger
};

}  // namespace vorlatek::editor
