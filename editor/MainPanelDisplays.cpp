// The main panel's displays: one refresh routine per group of controls, each reading the
// plug-in's state under one editing scope; the notifications and parameter changes that
// call them; and the idle pass.

#include <cmath>
#include <cstdio>

#include "editor/MainPanel.h"
#include "engine/ParameterIndex.h"
#include "plugin/DrumPlugin.h"
#include "plugin/PresetSlot.h"
#include "sequencer/EditorNotification.h"
#include "sequencer/PlaybackPosition.h"
#include "toolkit/CFrame.h"

namespace vorlatek::editor {

using namespace toolkit;

namespace {

constexpr std::uint32_t kFastBlink = 200;      // steps, mode buttons, the random target
constexpr std::uint32_t kClipboardBlink = 85;  // select buttons of rows waiting on the clipboard
constexpr std::uint32_t kRandomRowBlink = 100;  // level-knob mode lamps of randomised rows
constexpr std::uint32_t kNameAlternation = 600;
constexpr std::uint32_t kStoppedNameBlink = 250;
constexpr const char* kBlankName = "                ";

constexpr int kNoteLetter[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr bool kSharp[12] = {false, true, false, true, false, false, true, false, true, false, true, false};
constexpr int kFillInMeasures[6] = {0, 16, 12, 8, 4, 2};

constexpr int kEditMap[3] = {1, 2, 0};
constexpr int kLockedMap[3] = {0, 0, 0};
constexpr int kPatternMap[3] = {2, 0, 0};

void set(CControl* control, float value) {
    if (control) control->setValue(value);
}
void set(CControl* control, bool on) { set(control, on ? 1.0f : 0.0f); }

// Blinks `control` with the given timing, or stops it; a blink already running with the
// same timing goes on undisturbed.
template <class Control, class Alternate>
void blink(Control* control, bool on, std::uint32_t period, Alternate alternate) {
    if (!control) return;
    if (!on) {
        if (control->isBlinking()) control->stopBlink();
        return;
    }
    const Blink& b = control->blink();
    if (control->isBlinking() && b.onTime == period && b.offTime == period) return;
    control->startBlink(period, period, Blink::kForever, alternate);
}

// A step lamp's value for a cell: on 0.5, on and accented 1.0, anything else off.
float stepValue(int cell) { return cell == kCellAccented ? 1.0f : cell == kCellOn ? 0.5f : 0.0f; }

int levelParameter(int row) { return row == kAccent ? param::kAccentLevel : param::kLevel[row]; }

}  // namespace

MainPanel::Shown MainPanel::shownPlayPattern() const {
    const PlaybackPosition& position = plugin_.playbackPosition();
    if (position.running()) return {position.currentPattern(), position.currentVariation(), position.currentPart()};
    const PlaybackSelection& selection = plugin_.playbackSelection();
    if (selection.startPatternType() == PlaybackSelection::kStartIntro)
        return {selection.introFillInPattern(), selection.introFillInVariation() == PlaybackSelection::kVariationB, 0};
    return {selection.basicPattern(), selection.basicVariation() == PlaybackSelection::kVariationB, 0};
}

const StepPattern* MainPanel::displayedPattern() const {
    const PatternEditor& editor = *plugin_.patternEditor();
    if (editor.editAllowed()) return editor.editedPattern();
    const Shown shown = shownPlayPattern();
    return plugin_.patternStore()->part(shown.pattern, shown.variation, shown.part);
}

double MainPanel::displayedTempo() const {
    const PatternEditor& editor = *plugin_.patternEditor();
    if (plugin_.sequencerSettings()->hostMode) {
        const StepPattern* pattern = editor.editedPattern();
        return pattern ? pattern->bpm : 0.0;
    }
    if (editor.editAllowed()) {
        const PatternEdition& edition = *plugin_.patternEdition();
        const PatternVariation* variation =
            plugin_.patternStore()->variation(edition.editedExtendedPattern, edition.editedExtendedVariation);
        return variation ? variation->bpm : 0.0;
    }
    const Shown shown = shownPlayPattern();
    const PatternVariation* variation = plugin_.patternStore()->variation(shown.pattern, shown.variation);
    return variation ? variation->bpm : 0.0;
}

// Displays ------------------------------------------------------------------------------------------------

void MainPanel::refreshSequencerLeds() {
    const SequencerSettings settings = *plugin_.sequencerSettings();
    set(internalSequencer_.get(), settings.intSeqOn);
    set(externalSync_.get(), settings.intSeqOn && settings.syncInternal == 1);
    set(freeMode_.get(), settings.intSeqOn && settings.hostMode);
    set(noteOff_.get(), settings.intSeqOn && settings.noteOff);
    set(midiLearn_.get(), plugin_.learnActive());
}

void MainPanel::refreshModeButtons() {
    const DrumPlugin::Scope scope(plugin_);
    PatternEditor& editor = *plugin_.patternEditor();
    editor.refreshRandomGate();
    const bool edit = editor.editAllowed();
    const PatternEdition& edition = *plugin_.patternEdition();
    set(writeMode_.get(), edit);
    set(autoFollow_.get(), edit && edition.autoFollow);
    set(randMode_.get(), edit && edition.randMode);
    set(lastStep_.get(), edit && edition.lengthMode);
    blink(randMode_.get(), edit && edition.randMode && !edition.lengthMode, kFastBlink, 0);
    blink(lastStep_.get(), edit && edition.lengthMode, kFastBlink, 0);
}

void MainPanel::refreshVariationPartButtons() {
    const DrumPlugin::Scope scope(plugin_);
    const SequencerSettings& settings = *plugin_.sequencerSettings();
    const PatternEdition& edition = *plugin_.patternEdition();
    const bool on = settings.intSeqOn && !settings.hostMode && edition.writeMode;
    for (int k = 0; k < 2; ++k) {
        set(variation_[k].get(), on && edition.editedExtendedVariation == k);
        set(part_[k].get(), on && edition.editedExtendedPart == k);
    }
}

void MainPanel::refreshVariationPartLeds() {
    const SequencerSettings settings = *plugin_.sequencerSettings();
    const PlaybackPosition& position = plugin_.playbackPosition();
    const bool playing = settings.intSeqOn && !settings.hostMode && position.running();
    const int pattern = position.currentPattern();
    for (int k = 0; k < 2; ++k) {
        set(variationLed_[k].get(), playing && pattern < kBasicPatternCount && position.currentVariation() == k);
        set(partLed_[k].get(), playing && position.currentPart() == k);
    }
}

void MainPanel::refreshPatternNumber() {
    // "01", "1", "10", "100"
    float value[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    {
        const DrumPlugin::Scope scope(plugin_);
        const SequencerSettings& settings = *plugin_.sequencerSettings();
        const PatternEdition& edition = *plugin_.patternEdition();
        if (settings.intSeqOn && settings.hostMode) {
            // A simple pattern is named by the note that plays it: letter, sharp, octave.
            const int n = edition.editedSimplePattern;
            const int semitone = n % 12;
            value[3] = 1.0f;
            value[2] = float(kNoteLetter[semitone] + 11) / 17.0f;
            value[1] = kSharp[semitone] ? 11.0f / 12.0f : 1.0f;
            value[0] = float(n / 12 + 2) / 10.0f;
        } else if (settings.intSeqOn) {
            const int number =
                (plugin_.patternEditor()->editAllowed() ? edition.editedExtendedPattern : shownPlayPattern().pattern) + 1;
            value[2] = float(number / 10 + 1) / 17.0f;
            value[1] = float(number % 10 + 1) / 12.0f;
        }
    }
    for (int d = 0; d < 4; ++d) set(digits_[d].get(), value[d]);
}

void MainPanel::refreshPatternName() {
    if (!name_) return;
    std::string text;
    std::optional<std::string> alternate;
    std::uint32_t period = kNameAlternation;
    {
        const DrumPlugin::Scope scope(plugin_);
        const SequencerSettings& settings = *plugin_.sequencerSettings();
        const PatternEdition& edition = *plugin_.patternEdition();
        const PatternEditor& editor = *plugin_.patternEditor();
        const auto store = plugin_.patternStore();
        if (!settings.intSeqOn) {
            text.clear();
        } else if (editor.editAllowed() && edition.lengthMode) {
            const bool secondPart = !settings.hostMode && edition.editedExtendedPart == 1;
            text = secondPart ? "Set len. / Clear" : "   Set length   ";
            alternate = kBlankName;
        } else if (editor.editAllowed() && edition.randMode) {
            text = store->seedHistory().empty() ? "      Next      " : "  Prev / Next   ";
            alternate = editor.randomPending() ? "  Accpt / Undo  " : kBlankName;
        } else if (editor.editAllowed()) {
            if (settings.hostMode) {
                if (const StepPattern* pattern = store->simplePattern(edition.editedSimplePattern))
                    text = patternName(pattern->name);
            } else if (const ExtendedPattern* pattern = store->extendedPattern(edition.editedExtendedPattern)) {
                text = patternName(pattern->name);
            }
        } else {
            if (const ExtendedPattern* pattern = store->extendedPattern(shownPlayPattern().pattern))
                text = patternName(pattern->name);
            if (!plugin_.playbackPosition().running()) {
                alternate = std::string();
                period = kStoppedNameBlink;
            }
        }
    }
    name_->setText(text);
    if (alternate) name_->showAlternate(*alternate, period, period);
    else if (name_->isAlternating()) name_->stopAlternate();
}

void MainPanel::refreshSteps() {
    float value[kSteps] = {};
    const int* map[kSteps] = {};
    bool blinking[kSteps] = {};
    {
        const DrumPlugin::Scope scope(plugin_);
        const SequencerSettings& settings = *plugin_.sequencerSettings();
        const PatternEdition& edition = *plugin_.patternEdition();
        const PatternEditor& editor = *plugin_.patternEditor();
        const bool edit = editor.editAllowed();
        std::fill(std::begin(map), std::end(map), kLockedMap);
        if (!settings.intSeqOn) {
            // all dark
        } else if (edit && edition.lengthMode) {
            std::fill(std::begin(value), std::end(value), 1.0f);
            std::fill(std::begin(blinking), std::end(blinking), true);
        } else if (edit && editor.randomPending()) {
            const int target = editor.randomTarget();
            const bool randomised = plugin_.patternStore()->rowRandomised(target);
            for (int k = 0; k < kSteps && target >= 0; ++k) {
                value[k] = stepValue(editor.displayCell(target, k));
                map[k] = kEditMap;
                blinking[k] = randomised;
            }
        } else if (edit) {
            const StepPattern* pattern = editor.editedPattern();
            for (int k = 0; k < kSteps && pattern; ++k) {
                if (k >= pattern->length) continue;
                map[k] = kEditMap;
                int common = -1;
                for (int row = 0; row < kRows; ++row) {
                    if (!edition.selectedInstrument[std::size_t(row)]) continue;
                    const int cell = editor.displayCell(row, k);
                    common = common == -1 || common == cell ? cell : kCellOff;
                }
                value[k] = stepValue(common);
            }
        } else {
            const PlaybackSelection& selection = plugin_.playbackSelection();
            const bool stopped = !plugin_.playbackPosition().running();
            const int starting = selection.startPatternType() == PlaybackSelection::kStartIntro
                                     ? selection.introFillInPattern()
                                     : selection.basicPattern();
            for (int k = 0; k < kSteps; ++k) {
                map[k] = kPatternMap;
                value[k] = k == selection.basicPattern() || k == selection.introFillInPattern() ? 1.0f : 0.0f;
                blinking[k] = stopped && k == starting;
            }
        }
    }
    for (int k = 0; k < kSteps; ++k) {
        CNStateButton* button = step_[k].get();
        if (!button) continue;
        button->setNextStateMap(map[k], 3);
        set(button, value[k]);
        blink(button, blinking[k], kFastBlink, 0);
    }
}

void MainPanel::refreshRunningLight() {
    for (auto& button : step_)
        if (button) button->setForcedImage(-1);
    int step = -1;
    double beat = 0.0;
    {
        const DrumPlugin::Scope scope(plugin_);
        const SequencerSettings& settings = *plugin_.sequencerSettings();
        const PatternEdition& edition = *plugin_.patternEdition();
        const PlaybackPosition& position = plugin_.playbackPosition();
        if (!settings.intSeqOn) return;
        if (settings.hostMode) {
            if (position.currentSimplePattern() >= 0 && position.currentSimplePattern() == edition.editedSimplePattern)
                step = position.simpleStep();
            beat = position.simpleBeat();
        } else if (position.running()) {
            const bool shownPlays = !plugin_.patternEditor()->editAllowed() ||
                                    (edition.editedExtendedPattern == position.currentPattern() &&
                                     edition.editedExtendedVariation == position.currentVariation() &&
                                     edition.editedExtendedPart == position.currentPart());
            if (shownPlays) step = position.currentStep();
            beat = position.extendedBeat();
        }
    }
    // Lit in the first and third quarter of every beat.
    if (step < 0 || step >= kSteps || !step_[step] || long(std::floor(4.0 * beat)) % 2 != 0) return;
    const float v = step_[step]->value();
    if (v == 0.0f) step_[step]->setForcedImage(2);
    else if (v == 0.5f || v == 1.0f) step_[step]->setForcedImage(0);
}

void MainPanel::refreshLengthLeds() {
    int length = 0;
    {
        const DrumPlugin::Scope scope(plugin_);
        if (plugin_.sequencerSettings()->intSeqOn)
            if (const StepPattern* pattern = displayedPattern()) length = pattern->length;
    }
    for (int k = 0; k < kSteps; ++k) set(length_[k].get(), k < length);
}

void MainPanel::refreshPrescale() {
    int lit = -1;
    {
        const DrumPlugin::Scope scope(plugin_);
        if (plugin_.sequencerSettings()->intSeqOn) {
            if (const StepPattern* pattern = displayedPattern()) {
                const int steps = pattern->stepsPerBeat;
                lit = steps == 3 ? 0 : steps == 6 ? 1 : steps == 8 ? 3 : 2;
            }
        }
    }
    for (int k = 0; k < 4; ++k) set(prescale_[k].get(), k == lit);
}

void MainPanel::refreshShuffleTempo() {
    float shuffle = 0.0f;
    float tempo = 0.0f;
    bool digitsShown = false;
    long tenths = 0;  // the tempo in tenths of a beat per minute
    {
        const DrumPlugin::Scope scope(plugin_);
        const SequencerSettings& settings = *plugin_.sequencerSettings();
        const PatternEditor& editor = *plugin_.patternEditor();
        const bool sync = settings.syncInternal == 1;
        if (editor.editAllowed()) {
            if (settings.hostMode) {
                if (const StepPattern* pattern = editor.editedPattern()) shuffle = float(pattern->shuffle);
            } else {
                const PatternEdition& edition = *plugin_.patternEdition();
                if (const PatternVariation* variation = plugin_.patternStore()->variation(
                        edition.editedExtendedPattern, edition.editedExtendedVariation))
                    shuffle = float(variation->shuffle);
            }
            if (sync) tempo = float((displayedTempo() - kMinBpm) / (kMaxBpm - kMinBpm));
        }
        digitsShown = sync && settings.intSeqOn;
        if (digitsShown) tenths = std::lround(displayedTempo() * 10.0);
    }
    set(shuffle_.get(), shuffle);
    set(tempo_.get(), tempo);
    const long digit[4] = {tenths % 10, tenths / 10 % 10, tenths / 100 % 10, tenths / 1000 % 10};
    for (int d = 0; d < 4; ++d) {
        CControl* knob = tempoDigit_[d].get();
        if (!knob) continue;
        // Shown digits cannot be dragged below 0; hidden ones are blank (value 0).
        knob->setMinimum(digitsShown ? (d == 3 ? 0.2f : 2.0f / 11.0f) : 0.0f);
        if (!digitsShown) set(knob, 0.0f);
        else if (d == 3) set(knob, float(digit[3] + 1) * 0.25f);
        else set(knob, float(digit[d] + 2) / 11.0f);
    }
}

void MainPanel::refreshSwitches() {
    const PlaybackSelection& selection = plugin_.playbackSelection();
    int position = 0;
    for (int k = 0; k < 6; ++k)
        if (kFillInMeasures[k] == selection.autoFillIn()) position = k;
    set(fillIn_.get(), float(position) * 0.2f);
    const int basic = selection.basicVariation();
    set(basicVariation_.get(), basic == PlaybackSelection::kAlternateAB ? 0.5f
                               : basic == PlaybackSelection::kVariationB ? 1.0f
                                                                         : 0.0f);
    set(introVariation_.get(), selection.introFillInVariation() == PlaybackSelection::kVariationB);
}

void MainPanel::refreshOutputNumbers() {
    for (int i = 0; i < kInstrumentCount; ++i)
        set(outputNumber_[i].get(), float(plugin_.outAssign(i)) * 0.0625f + 0.03125f);
}

void MainPanel::refreshSelectButtons() {
    bool lit[kRows] = {};
    std::uint32_t period[kRows] = {};  // 0: steady
    {
        const DrumPlugin::Scope scope(plugin_);
        const PatternEditor& editor = *plugin_.patternEditor();
        const PatternEdition& edition = *plugin_.patternEdition();
        if (plugin_.sequencerSettings()->intSeqOn && editor.editAllowed()) {
            const bool pending = editor.randomPending();
            for (int r = 0; r < kRows; ++r) {
                const bool selected = edition.selectedInstrument[std::size_t(r)];
                if (pending) {
                    lit[r] = selected || r == editor.randomTarget();
                    if (r == editor.randomTarget()) period[r] = kFastBlink;
                } else {
                    lit[r] = selected || editor.rowClipboard().holds(r);
                    if (editor.rowClipboard().holds(r)) period[r] = kClipboardBlink;
                }
            }
        }
    }
    for (int r = 0; r < kRows; ++r) {
        set(select_[r].get(), lit[r]);
        blink(select_[r].get(), period[r] != 0, period[r], 0);
    }
}

void MainPanel::refreshLevelKnobs() {
    bool randomised[kRows] = {};
    {
        const DrumPlugin::Scope scope(plugin_);
        const PatternEditor& editor = *plugin_.patternEditor();
        if (editor.randomPending())
            for (int r = 0; r < kRows; ++r) randomised[r] = plugin_.patternStore()->rowRandomised(r);
    }
    for (int r = 0; r < kRows; ++r) {
        set(levelMode_[r].get(), randomised[r]);
        blink(levelMode_[r].get(), randomised[r], kRandomRowBlink, 0.0f);
        if (CControl* knob = level_[r].get()) {
            // A randomised row's level knob turns its random threshold instead.
            const int t = randomised[r] ? param::kFirstRandomThreshold + r : levelParameter(r);
            knob->setTag(t);
            knob->setValue(plugin_.getParameter(t));
        }
    }
}

void MainPanel::refreshLearnDescription() {
    if (!learnDescription_) return;
    const int target = plugin_.learnTarget();
    if (target < 0) {
        learnDescription_->setText("");
        return;
    }
    const std::string name = plugin_.controlName(target);
    const int controller = plugin_.midiCcMap().controllerFor(target);
    char text[300];
    if (controller >= 0) std::snprintf(text, sizeof text, "%s - %03d", name.c_str(), controller);
    else std::snprintf(text, sizeof text, "%s - ...", name.c_str());
    learnDescription_->setText(text);
}

void MainPanel::refreshPresetName() {
    if (!presetName_ || presetName_->isEditing()) return;
    char name[kPresetNameChars + 1] = {};
    plugin_.getProgramName(name);
    presetName_->setText(name);
}

void MainPanel::fillSavePatternMenu() {
    if (!savePatternMenu_) return;
    savePatternMenu_->removeAllEntries();
    const SequencerSettings settings = *plugin_.sequencerSettings();
    if (!settings.intSeqOn) return;
    if (settings.hostMode) {
        for (const char* entry : {"Save Vorlatek Simple Pattern", "Save Vorlatek Simple Set (Pattern + Preset)",
                                  "Save Vorlatek Simple Pattern Bank"})
            savePatternMenu_->addEntry(entry);
    } else {
        for (const char* entry : {"Save Vorlatek Extended Pattern", "Save Vorlatek Extended Set (Pattern + Preset)",
                                  "Save Vorlatek Extended Pattern Bank"})
            savePatternMenu_->addEntry(entry);
    }
}

void MainPanel::patternDisplays() {
    refreshPatternName();
    refreshPrescale();
    refreshPatternNumber();
    refreshShuffleTempo();
    refreshLengthLeds();
    refreshSteps();
}

void MainPanel::sequencerDisplays() {
    refreshSequencerLeds();
    refreshModeButtons();
    refreshVariationPartButtons();
    refreshVariationPartLeds();
    patternDisplays();
    refreshSelectButtons();
    refreshLevelKnobs();
    fillSavePatternMenu();
}

void MainPanel::refreshAll() {
    sequencerDisplays();
    refreshSwitches();
    refreshOutputNumbers();
    refreshLearnDescription();
    refreshPresetName();
    refreshRunningLight();
    for (int r = 0; r < kInstrumentCount; ++r) {
        set(mute_[r].get(), plugin_.getParameter(param::kFirstMute + r));
        set(solo_[r].get(), plugin_.getParameter(param::kFirstSolo + r));
    }
    for (int p = 0; p <= param::kMasterVolume; ++p)
        if (parameterControl_[p] && parameterControl_[p]->tag() == p) set(parameterControl_[p].get(), plugin_.getParameter(p));
}

// Notifications and parameters -------------------------------------------------------------------------------

void MainPanel::drainInbox() {
    inbox_.parameters.drain([this](int index, float value) { parameterChanged(index, value); });
    inbox_.notifications.drain([this](int code) { applyNotification(code); });
}

void MainPanel::applyNotification(int code) {
    switch (code) {
        case kNotifyInternalSequencer:
        case kNotifyHostMode:
            sequencerDisplays();
            break;
        case kNotifySyncMode:
            refreshSequencerLeds();
            refreshShuffleTempo();
            break;
        case kNotifyNoteOff:
            refreshSequencerLeds();
            break;
        case kNotifyMidiLearnAssigned:
            learnTouchTime_ = now() - (kLearnTimeout - kLearnAssignedShown);
            learnTouched_ = true;
            [[fallthrough]];
        case kNotifyMidiLearn:
            refreshSequencerLeds();
            refreshLearnDescription();
            break;
        case kNotifyWriteMode:
            refreshModeButtons();
            refreshVariationPartButtons();
            patternDisplays();
            refreshSelectButtons();
            refreshLevelKnobs();
            break;
        case kNotifyAutoFollow:
            refreshModeButtons();
            break;
        case kNotifyRandomMode:
            refreshModeButtons();
            refreshLevelKnobs();
            refreshSteps();
            refreshSelectButtons();
            refreshPatternName();
            break;
        case kNotifyLengthMode:
            refreshModeButtons();
            refreshLengthLeds();
            refreshSteps();
            refreshPatternName();
            break;
        case kNotifySelectionEdited:
        case kNotifyPlayPatternSelected:
            refreshSteps();
            if (code == kNotifyPlayPatternSelected) patternDisplays();
            break;
        case kNotifySelectedInstruments:
            refreshSelectButtons();
            refreshSteps();
            break;
        case kNotifyEditedSimplePattern:
        case kNotifyEditedExtendedPattern:
        case kNotifyStartPatternType:
            patternDisplays();
            break;
        case kNotifyEditedVariation:
        case kNotifyEditedPart:
            refreshVariationPartButtons();
            patternDisplays();
            break;
        case kNotifyOutputAssigns:
            refreshOutputNumbers();
            break;
        default:
            break;  // 19 (activity): the lamps are timed at idle
    }
}

void MainPanel::parameterChanged(int index, float value) {
    if (index >= param::kFirstMute && index < param::kFirstMute + kInstrumentCount) {
        set(mute_[index - param::kFirstMute].get(), value);
    } else if (index >= param::kFirstSolo && index < param::kFirstSolo + kInstrumentCount) {
        set(solo_[index - param::kFirstSolo].get(), value);
    } else if (index >= param::kFirstRandomThreshold && index < param::kCount) {
        CControl* knob = level_[index - param::kFirstRandomThreshold].get();
        if (knob && knob->tag() == index) set(knob, value);
        refreshSteps();
    } else if (index >= 0 && index <= param::kMasterVolume) {
        // A level knob turning a random threshold leaves its level alone.
        CControl* knob = parameterControl_[index].get();
        if (knob && knob->tag() == index) set(knob, value);
    }
}

// Idle ----------------------------------------------------------------------------------------------------

void MainPanel::idle() {
    const std::uint32_t t = now();
    if (t - lastUsageTick_ >= 1000) {
        plugin_.updateUsageTime();
        lastUsageTick_ = t;
    }
    drainInbox();
    if (learnTouched_ && t - learnTouchTime_ > kLearnTimeout) {
        learnTouched_ = false;
        plugin_.setLearnTarget(-1);
        refreshLearnDescription();
    }
    for (int r = 0; r < kRows; ++r) {
        if (plugin_.takeInstrumentActivity(r)) {
            activityTime_[r] = t;
            activityLit_[r] = true;
        }
        if (activityLit_[r] && t - activityTime_[r] > kActivityLit) activityLit_[r] = false;
        set(activity_[r].get(), activityLit_[r]);
    }
    for (auto& button : step_)
        if (button) button->advanceBlink();
    for (auto& button : select_)
        if (button) button->advanceBlink();
    for (auto& lamp : levelMode_)
        if (lamp) lamp->advanceBlink();
    if (randMode_) randMode_->advanceBlink();
    if (lastStep_) lastStep_->advanceBlink();
    if (name_ && !frame_.modalView()) name_->advance();

    refreshVariationPartLeds();
    refreshSteps();
    refreshRunningLight();

    // The play displays follow the sequencer when it starts, stops or moves to another pattern.
    const bool playing = plugin_.playbackPosition().running();
    const Shown shown = shownPlayPattern();
    if (playing != playingSnapshot_ || shown.pattern != playingSeen_.pattern ||
        shown.variation != playingSeen_.variation || shown.part != playingSeen_.part) {
        playingSnapshot_ = playing;
        playingSeen_ = shown;
        patternDisplays();
    }
    if (CView* modal = frame_.modalView()) modal->setDirty();
}

}  // namespace vorlatek::editor
