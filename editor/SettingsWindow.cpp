#include "editor/SettingsWindow.h"

#include "editor/GuiLayout.h"
#include "editor/LoadSaveFlows.h"
#include "editor/WindowTags.h"
#include "engine/Instrument.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/CFrame.h"

namespace vorlatek::editor {

using namespace toolkit;

namespace {

const char* const kButtonNames[] = {
    "Window Settings Int Seq Radio Sync With Host By Transport",
    "Window Settings Int Seq Radio Sync With Host By Lowest Note",
    "Window Settings Int Seq Radio Int Seq State On",
    "Window Settings Int Seq Radio Int Seq State Off",
    "Window Settings Int Seq Radio Int Sync State On",
    "Window Settings Int Seq Radio Int Sync State Off",
    "Window Settings Int Seq Radio Host Mode State On",
    "Window Settings Int Seq Radio Host Mode State Off",
    "Window Settings Int Seq Radio Note Off State On",
    "Window Settings Int Seq Radio Note Off State Off",
    "Window Settings Outputs Checkbox Master Present",
    "Window Settings Outputs Radio Instr Type Mono",
    "Window Settings Outputs Radio Instr Type Stereo",
    "Window Settings Outputs Checkbox Trigger Present",
};
// Shown only while their output is on: made detached, attached by the checkbox.
const char* const kMasterViews[] = {
    "Window Settings Outputs Radio Master Type Mono",
    "Window Settings Outputs Radio Master Type Stereo",
    "Window Settings Outputs Bitmap Master Mono Text",
    "Window Settings Outputs Bitmap Master Stereo Text",
};
const char* const kTriggerViews[] = {
    "Window Settings Outputs Radio Trigger CowBell",
    "Window Settings Outputs Radio Trigger HandClap",
    "Window Settings Outputs Radio Trigger Accent",
    "Window Settings Outputs Bitmap Trigger CowBell Text",
    "Window Settings Outputs Bitmap Trigger HandClap Text",
    "Window Settings Outputs Bitmap Trigger Accent Text",
};
const char* const kKickButtonNames[] = {
    "Window Settings Close",
    "Window Settings Cancel",
    "Window Settings OK",
    "Window Settings Button Browse Presets",
    "Window Settings Button Browse Simple Patterns",
    "Window Settings Button Browse Extended Patterns",
    "Window Settings Button Load MidiCC Map",
    "Window Settings Button Save MidiCC Map",
    "Window Settings Outputs Button Assigns Set Current",
    "Window Settings Outputs Button Assigns Reset",
};
const char* const kBankPathNames[3] = {
    "Window Settings Resources Edit Presets",
    "Window Settings Resources Edit Simple Patterns",
    "Window Settings Resources Edit Extended Patterns",
};
std::string DefaultResources::* const kBankPaths[3] = {&DefaultResources::presetBank, &DefaultResources::simplePatternBank,
                                                       &DefaultResources::extendedPatternBank};

// The radio groups: one of each is lit.
constexpr int kSyncGroup = tag::kSyncByTransport;
constexpr int kIntSeqGroup = tag::kIntSeqOn;
constexpr int kIntSyncGroup = tag::kIntSyncOn;
constexpr int kHostModeGroup = tag::kHostModeOn;
constexpr int kNoteOffGroup = tag::kNoteOffOn;
constexpr int kMasterGroup = tag::kMasterMono;
constexpr int kInstrumentsGroup = tag::kInstrumentsMono;
constexpr int kTriggerGroup = tag::kTriggerCowBell;
struct RadioGroup {
    int first;
    int count;
};
constexpr RadioGroup kGroups[] = {{kSyncGroup, 2},    {kIntSeqGroup, 2},      {kIntSyncGroup, 2}, {kHostModeGroup, 2},
                                 {kNoteOffGroup, 2}, {kMasterGroup, 2},      {kInstrumentsGroup, 2},
                                 {kTriggerGroup, 3}};
// The trigger output follows one of these, in the order of the radios.
constexpr int kTriggerInstruments[3] = {kCowBell, kHandClap, kAccent};

std::string assignLabelName(int k) {
    const std::string number = std::to_string(k);
    return "Window Settings Outputs Label Assigns " + std::string(number.size() < 2 ? "0" : "") + number;
}

// At most `bytes` bytes of `text`, not ending inside a UTF-8 character.
std::string cutText(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

SettingsWindow::SettingsWindow(const WindowContext& context) : EditorWindow(context, "Window Settings") {
    for (const char* name : kKickButtonNames) make<CControl>(name);
    for (int b = 0; b < 3; ++b) {
        bankPaths_[b] = make<CTextEdit>(kBankPathNames[b]);
        if (bankPaths_[b]) bankPaths_[b]->setMaxLength(DefaultResources::kMaxPath);
    }
    for (const char* name : kButtonNames)
        if (Ref<CNStateButton> b = make<CNStateButton>(name)) buttons_[b->tag()] = b;
    outputs_[0].checkbox = tag::kMasterPresent;
    outputs_[1].checkbox = tag::kTriggerPresent;
    const auto detached = [this](Output& output, const auto& names) {
        for (const char* name : names) {
            Ref<CView> view = make<CView>(name, false);
            if (!view) continue;
            if (auto* radio = dynamic_cast<CNStateButton*>(view.get())) buttons_[radio->tag()] = Ref<CNStateButton>(radio);
            output.views.push_back(std::move(view));
        }
    };
    detached(outputs_[0], kMasterViews);
    detached(outputs_[1], kTriggerViews);
    for (int k = 0; k < kInstruments; ++k) assigns_[k] = make<CTextLabel>(assignLabelName(k));
}

SettingsWindow::~SettingsWindow() = default;

CNStateButton* SettingsWindow::button(int t) const {
    const auto it = buttons_.find(t);
    return it == buttons_.end() ? nullptr : it->second.get();
}

float SettingsWindow::value(int t) const {
    const CNStateButton* b = button(t);
    return b ? b->value() : 0.0f;
}

void SettingsWindow::set(int t, bool lit) {
    if (CNStateButton* b = button(t)) b->setValue(lit ? 1.0f : 0.0f);
}

void SettingsWindow::light(int first, int count, int index) {
    for (int k = 0; k < count; ++k) set(first + k, k == index);
}

void SettingsWindow::showOutputGroup(const Output& output) {
    CViewContainer* window = container();
    if (!window) return;
    const bool shown = value(output.checkbox) == 1.0f;
    for (const Ref<CView>& view : output.views) {
        if (shown && !view->parent()) window->attach(view);
        else if (!shown && view->parent() == window) window->detach(view.get());
    }
    context_.frame.invalidAll();
}

void SettingsWindow::setAssignLabels(const std::array<int, kInstruments>& outputs) {
    for (int k = 0; k < kInstruments; ++k)
        if (assigns_[k]) assigns_[k]->setText(std::to_string(outputs[k] + 1));
}

void SettingsWindow::open() {
    fill();
    show();
}

void SettingsWindow::close() {
    context_.files.cancel(this);
    hide();
}

void SettingsWindow::fill() {
    DrumPlugin& plugin = context_.plugin;
    const int syncType = plugin.sequencerSettings()->extSyncType;
    const UserDefaults defaults = *plugin.userDefaults();
    const DefaultResources resources = *plugin.defaultResources();

    for (int b = 0; b < 3; ++b)
        if (bankPaths_[b]) bankPaths_[b]->setText(resources.*kBankPaths[b]);
    light(kSyncGroup, 2, syncType == kExtSyncTransportChange ? 0 : 1);
    const SequencerSettings& sequencer = defaults.sequencer;
    light(kIntSeqGroup, 2, sequencer.intSeqOn ? 0 : 1);
    light(kIntSyncGroup, 2, sequencer.syncInternal != 0 ? 0 : 1);
    light(kHostModeGroup, 2, sequencer.hostMode ? 0 : 1);
    light(kNoteOffGroup, 2, sequencer.noteOff ? 0 : 1);
    set(tag::kMasterPresent, defaults.output.masterOn);
    light(kMasterGroup, 2, defaults.output.masterStereo ? 1 : 0);
    light(kInstrumentsGroup, 2, defaults.output.instrumentsStereo ? 1 : 0);
    set(tag::kTriggerPresent, defaults.output.triggerOn);
    for (int k = 0; k < 3; ++k) set(kTriggerGroup + k, defaults.triggerSource == kTriggerInstruments[k]);
    std::array<int, kInstruments> outputs{};
    for (int k = 0; k < kInstruments; ++k) outputs[k] = defaults.outAssign[k];
    setAssignLabels(outputs);
    for (const Output& output : outputs_) showOutputGroup(output);
}

void SettingsWindow::apply() {
    DrumPlugin& plugin = context_.plugin;
    {
        const auto resources = plugin.defaultResources();
        for (int b = 0; b < 3; ++b)
            if (bankPaths_[b]) (*resources).*kBankPaths[b] = cutText(bankPaths_[b]->text(), DefaultResources::kMaxPath);
    }
    {
        const auto defaults = plugin.userDefaults();
        OutputConfig& output = defaults->output;
        const auto store = [this](int t, bool& field) {
            if (button(t)) field = value(t) > 0.5f;
        };
        store(tag::kMasterPresent, output.masterOn);
        store(tag::kMasterStereo, output.masterStereo);
        store(tag::kInstrumentsStereo, output.instrumentsStereo);
        store(tag::kTriggerPresent, output.triggerOn);
        // Cow bell unless another radio is lit, whether or not the trigger output is on.
        if (button(tag::kTriggerCowBell) || button(tag::kTriggerHandClap) || button(tag::kTriggerAccent)) {
            defaults->triggerSource = kCowBell;
            if (value(tag::kTriggerHandClap) == 1.0f) defaults->triggerSource = kHandClap;
            if (value(tag::kTriggerAccent) == 1.0f) defaults->triggerSource = kAccent;
        }
        SequencerSettings& sequencer = defaults->sequencer;
        store(tag::kIntSeqOn, sequencer.intSeqOn);
        if (button(tag::kIntSyncOn)) sequencer.syncInternal = value(tag::kIntSyncOn) > 0.5f ? 1 : 0;
        store(tag::kHostModeOn, sequencer.hostMode);
        store(tag::kNoteOffOn, sequencer.noteOff);
        // An assign label that does not start with an output number 1..17 leaves its default.
        for (int k = 0; k < kInstruments; ++k) {
            if (!assigns_[k]) continue;
            const int n = layoutNumber(assigns_[k]->text());
            if (n >= 1 && n <= kInstruments) defaults->outAssign[k] = n - 1;
        }
    }
    if (button(tag::kSyncByTransport))
        plugin.setExtSyncType(value(tag::kSyncByTransport) > 0.5f ? kExtSyncTransportChange : kExtSyncLowestNote);
}

void SettingsWindow::browse(int bank) {
    if (!bankPaths_[bank]) return;
    context_.files.chooseDefaultBank(static_cast<DefaultBank>(bank), bankPaths_[bank]->text(), this,
                                     [this, bank](const std::string& path) { bankPaths_[bank]->setText(path); });
}

void SettingsWindow::handle(CControl& control) {
    const int t = control.tag();
    for (const RadioGroup& group : kGroups) {
        if (t >= group.first && t < group.first + group.count) {
            // The clicked radio is lit whatever its click made of it.
            light(group.first, group.count, t - group.first);
            return;
        }
    }
    if (t == tag::kMasterPresent || t == tag::kTriggerPresent) {
        showOutputGroup(outputs_[t == tag::kMasterPresent ? 0 : 1]);
        return;
    }
    if (t >= tag::kFirstBankEdit && t < tag::kFirstBankEdit + 3) return;  // kept until OK
    if (!released(control)) return;
    switch (t) {
        case tag::kSettingsOk:
            apply();
            close();
            break;
        case tag::kSettingsClose:
        case tag::kSettingsCancel:
            close();
            break;
        case tag::kFirstBankBrowse:
        case tag::kFirstBankBrowse + 1:
        case tag::kFirstBankBrowse + 2:
            browse(t - tag::kFirstBankBrowse);
            break;
        case tag::kLoadCcMap:
            context_.files.loadMidiCcMap(this);
            break;
        case tag::kSaveCcMap:
            context_.files.saveMidiCcMap(this);
            break;
        case tag::kAssignsSetCurrent: {
            std::array<int, kInstruments> outputs{};
            for (int k = 0; k < kInstruments; ++k) outputs[k] = context_.plugin.outAssign(k);
            setAssignLabels(outputs);
            break;
        }
        case tag::kAssignsReset: {
            std::array<int, kInstruments> outputs{};
            for (int k = 0; k < kInstruments; ++k) outputs[k] = k;
            setAssignLabels(outputs);
            break;
        }
        default:
            break;
    }
}

}  // namespace vorlatek::editor
