#pragma once
// The main panel: the controls of the layout's main window and what each does when the user
// moves it, the refresh routine of every display (each display is redrawn from the plug-in's
// state, never from a copy of its own), the notifications and parameter changes that ask for
// them, and the idle pass that animates the running light, the activity lamps and blinking.
//
// Everything here runs on the thread that opened the editor. It reaches the plug-in only
// through its thread-safe operations and editing scopes, and never holds a scope across a
// call that may reach the host.

#include <array>
#include <cstdint>
#include <string>

#include "editor/ControlFactory.h"
#include "editor/NotificationQueue.h"
#include "editor/ParameterInbox.h"
#include "sequencer/PatternEditor.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CBitmapDisplay.h"
#include "toolkit/CExMovieBitmap.h"
#include "toolkit/CNStateButton.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CSwitch.h"
#include "toolkit/CTextEdit.h"

namespace vorlatek {
class DrumPlugin;
}

namespace vorlatek::editor {

// The editor's other windows and file flows, as far as the main panel leads to them.
class PanelWindows {
public:
    virtual void showAbout() {}
    virtual void showSettings() {}
    virtual void showPresetManager() {}
    // An entry of the save-pattern menu was chosen (0 pattern, 1 set, 2 bank).
    virtual void savePattern(int /*entry*/) {}

protected:
    ~PanelWindows() = default;
};

class MainPanel : public toolkit::IControlListener {
public:
    static constexpr int kRows = 18;  // the instruments, then the accent
    static constexpr int kSteps = 16;
    static constexpr std::uint32_t kActivityLit = 80;      // ms an activity lamp stays lit
    static constexpr std::uint32_t kLearnTimeout = 5000;   // ms until the learn description clears
    static constexpr std::uint32_t kLearnAssignedShown = 1000;

    // What reaches the panel from other threads, waiting to be applied on its own.
    struct Inbox {
        NotificationQueue& notifications;
        ParameterInbox& parameters;
    };

    // Builds the panel's controls in `frame` from `layout`; `windows` may be null.
    MainPanel(DrumPlugin& plugin, const GuiLayout& layout, toolkit::ImageStore& images, toolkit::CFrame& frame,
              Inbox inbox, PanelWindows* windows);
    ~MainPanel();
    MainPanel(const MainPanel&) = delete;
    MainPanel& operator=(const MainPanel&) = delete;

    // IControlListener
    void valueChanged(toolkit::CControl* control) override;
    void controlBeginEdit(toolkit::CControl* control) override;
    void controlEndEdit(toolkit::CControl* control) override;

    // Applies the waiting parameter values and notification codes; every value change ends
    // with it, and so does every idle pass.
    void drainInbox();
    // A notification code, applied now.
    void applyNotification(int code);
    // A parameter's value changed elsewhere: the control that shows it follows.
    void parameterChanged(int index, float value);
    // The idle pass: learn timeout, activity lamps, blinking, running light, play state.
    void idle();
    // Redraws every display.
    void refreshAll();

    // Displays, one routine per group.
    void refreshSequencerLeds();
    void refreshModeButtons();
    void refreshVariationPartButtons();
    void refreshVariationPartLeds();
    void refreshPatternNumber();
    void refreshPatternName();
    void refreshSteps();
    void refreshRunningLight();
    void refreshLengthLeds();
    void refreshPrescale();
    void refreshShuffleTempo();
    void refreshSwitches();
    void refreshOutputNumbers();
    void refreshSelectButtons();
    void refreshLevelKnobs();
    void refreshLearnDescription();
    void refreshPresetName();
    void fillSavePatternMenu();

    // The tick count of the window's clock.
    std::uint32_t now() const;
    // A control the panel made, by its layout name, for tests and tools (null when absent).
    toolkit::CView* control(std::string_view name) const;
    // Names the panel asked the layout for in vain.
    const std::vector<std::string>& missingControls() const { return factory_.missingNames(); }

private:
    template <class T>
    toolkit::Ref<T> make(std::string_view name);
    void build();
    void buildNameEditor();
    void buildPatternMenus();

    void handle(int tag, float value, unsigned buttons);
    void muteOrSolo(int first, int tag, float value, unsigned buttons);
    void touchedInLearnMode(int tag);
    void tempoDigitMoved();
    void openNameEditor();
    void commitName();
    void closeNameEditor();
    void patternDisplays();
    void sequencerDisplays();

    // What the displays show when not editing: the extended pattern playing, or the one that
    // will start.
    struct Shown {
        int pattern = 0;
        int variation = 0;
        int part = 0;
    };
    Shown shownPlayPattern() const;
    const StepPattern* displayedPattern() const;  // under a scope
    double displayedTempo() const;                // under a scope

    DrumPlugin& plugin_;
    toolkit::CFrame& frame_;
    Inbox inbox_;
    PanelWindows* windows_;
    ControlFactory factory_;
    std::map<std::string, toolkit::Ref<toolkit::CView>, std::less<>> byName_;

    std::array<toolkit::Ref<toolkit::CNStateButton>, 17> mute_, solo_;
    std::array<toolkit::Ref<toolkit::CAnimKnob>, 17> outputNumber_;
    std::array<toolkit::Ref<toolkit::CExMovieBitmap>, kRows> activity_, levelMode_;
    std::array<toolkit::Ref<toolkit::CControl>, kRows> level_;
    std::array<toolkit::Ref<toolkit::CControl>, 59> parameterControl_;  // sound knobs and master volume
    std::array<toolkit::Ref<toolkit::CNStateButton>, kRows> select_;
    toolkit::Ref<toolkit::CNStateButton> writeMode_, autoFollow_, randMode_, lastStep_;
    std::array<toolkit::Ref<toolkit::CExMovieBitmap>, 4> digits_;  // "01", "1", "10", "100"
    toolkit::Ref<toolkit::CBitmapDisplay> name_;
    std::array<toolkit::Ref<toolkit::CNStateButton>, 2> variation_, part_;
    std::array<toolkit::Ref<toolkit::CNStateButton>, kSteps> step_;
    std::array<toolkit::Ref<toolkit::CExMovieBitmap>, kSteps> length_;
    toolkit::Ref<toolkit::CControl> shuffle_, tempo_, fillIn_;
    std::array<toolkit::Ref<toolkit::CControl>, 4> tempoDigit_;  // tenths, units, tens, hundreds
    toolkit::Ref<toolkit::CControl> basicVariation_, introVariation_;
    std::array<toolkit::Ref<toolkit::CExMovieBitmap>, 2> partLed_, variationLed_;
    std::array<toolkit::Ref<toolkit::CNStateButton>, 4> prescale_;
    toolkit::Ref<toolkit::CNStateButton> internalSequencer_, externalSync_, freeMode_, noteOff_, midiLearn_;
    toolkit::Ref<toolkit::CTextLabel> learnDescription_;
    toolkit::Ref<toolkit::CTextEdit> presetName_;
    toolkit::Ref<toolkit::CViewContainer> nameEditorBox_;
    toolkit::Ref<toolkit::CTextEdit> nameEditor_;
    toolkit::Ref<toolkit::COptionMenu> loadPatternMenu_, savePatternMenu_;

    std::array<std::uint32_t, kRows> activityTime_{};
    std::array<bool, kRows> activityLit_{};
    std::uint32_t learnTouchTime_ = 0;
    bool learnTouched_ = false;
    bool playingSnapshot_ = false;
    Shown playingSeen_;
    int nameEditSimple_ = 0;
    int nameEditExtended_ = 0;
    std::uint32_t lastUsageTick_ = 0;
};

}  // namespace vorlatek::editor
