#include "editor/MainPanel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/PanelTags.h"
#include "engine/ParameterIndex.h"
#include "plugin/DrumPlugin.h"
#include "plugin/PresetSlot.h"
#include "toolkit/CFrame.h"

namespace vorlatek::editor {

using namespace toolkit;

namespace {

const char* const kDigitNames[4] = {"Pattern Num Digit 01", "Pattern Num Digit 1", "Pattern Num Digit 10",
                                    "Pattern Num Digit 100"};
const char* const kTempoDigitNames[4] = {"Tempo Digit 01", "Tempo Digit 1", "Tempo Digit 10", "Tempo Digit 100"};

// The pattern name editor opens over the name display; the two menus sit on the top bar.
constexpr Rect kNameEditorBox{270, 386, 383, 399};
constexpr Color kNameEditorText{255, 0, 0, 255};
constexpr Color kNameEditorBack{0x78, 0x0F, 0x1D, 255};
constexpr std::size_t kNameEditorChars = 127;
constexpr Rect kLoadPatternMenu{369, 20, 400, 59};
constexpr Rect kSavePatternMenu{401, 20, 432, 59};
constexpr int kLoadMenuBitmaps[2] = {800, 801};
constexpr int kSaveMenuBitmaps[2] = {802, 803};

// Automatic fill-in every n measures for the six positions of its knob (0: by hand).
constexpr int kFillInMeasures[6] = {0, 16, 12, 8, 4, 2};

std::string indexed(const char* prefix, int k) { return std::string(prefix) + std::to_string(k); }

// The digit a tempo digit knob shows: its value encodes digit d as (d + 2) / 11 (the
// hundreds digit h as (h + 1) / 4); the small margin keeps a value set from a digit on
// that digit whatever the rounding of the float.
int digitOf(float value, int divisions, int bias) { return int(std::floor(double(value) * divisions + 1e-4)) - bias; }

}  // namespace

MainPanel::MainPanel(DrumPlugin& plugin, const GuiLayout& layout, ImageStore& images, CFrame& frame, Inbox inbox,
                     PanelWindows* windows)
    : plugin_(plugin),
      frame_(frame),
      inbox_(inbox),
      windows_(windows),
      factory_(layout, images, frame, this, [&plugin](int tag) {
          return tag >= 0 && tag < param::kCount ? plugin.getParameter(tag) : 0.0f;
      }) {
    build();
    lastUsageTick_ = now();
    // Triggers from before the window opened light nothing.
    for (int row = 0; row < kRows; ++row) plugin_.takeInstrumentActivity(row);
    refreshAll();
}

MainPanel::~MainPanel() = default;

template <class T>
Ref<T> MainPanel::make(std::string_view name) {
    Ref<T> view = factory_.create<T>(name);
    if (view) byName_.emplace(std::string(name), view);
    return view;
}

CView* MainPanel::control(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second.get();
}

std::uint32_t MainPanel::now() const { return frame_.ticks(); }

void MainPanel::build() {
    const auto rowName = [](int row) { return std::string(kInstrumentNames[std::size_t(row)]); };
    for (int i = 0; i < kInstrumentCount; ++i) mute_[i] = make<CNStateButton>(rowName(i) + " Mute");
    for (int i = 0; i < kInstrumentCount; ++i) solo_[i] = make<CNStateButton>(rowName(i) + " Solo");
    for (int i = 0; i < kInstrumentCount; ++i) outputNumber_[i] = make<CAnimKnob>(rowName(i) + " Out Num");
    for (int r = 0; r < kRows; ++r) activity_[r] = make<CExMovieBitmap>(rowName(r) + " Activity");
    for (int r = 0; r < kRows; ++r) levelMode_[r] = make<CExMovieBitmap>(rowName(r) + " Level Knob Mode");
    for (int p = 0; p < param::kPresetCount; ++p) parameterControl_[p] = make<CControl>(plugin_.controlName(p));
    for (int r = 0; r < kRows; ++r) {
        const int levelParameter = r == kAccent ? param::kAccentLevel : param::kLevel[r];
        level_[r] = parameterControl_[levelParameter];
    }
    for (int r = 0; r < kRows; ++r) select_[r] = make<CNStateButton>(rowName(r) + " Select");
    writeMode_ = make<CNStateButton>("Pattern Write Mode");
    autoFollow_ = make<CNStateButton>("Pattern Auto Follow");
    randMode_ = make<CNStateButton>("Pattern Rand Mode");
    lastStep_ = make<CNStateButton>("Pattern Last Step");
    for (const char* name : {"Pattern Rand Undo", "Pattern Prev", "Pattern Next", "Pattern Shift Left",
                             "Pattern Shift Right", "Pattern Copy", "Pattern Paste", "Pattern Clear"})
        make<CControl>(name);
    for (int d = 3; d >= 0; --d) digits_[d] = make<CExMovieBitmap>(kDigitNames[d]);
    name_ = make<CBitmapDisplay>("Pattern Name");
    variation_[0] = make<CNStateButton>("Pattern Variation A");
    variation_[1] = make<CNStateButton>("Pattern Variation B");
    part_[0] = make<CNStateButton>("Pattern Part 1");
    part_[1] = make<CNStateButton>("Pattern Part 2");
    for (int k = 0; k < kSteps; ++k) step_[k] = make<CNStateButton>(indexed("Step ", k + 1));
    for (int k = 0; k < kSteps; ++k) length_[k] = make<CExMovieBitmap>(indexed("Patt Len ", k + 1));
    parameterControl_[param::kMasterVolume] = make<CControl>(plugin_.controlName(param::kMasterVolume));
    tempo_ = make<CControl>("Tempo");
    shuffle_ = make<CControl>("Shuffle");
    for (int d = 0; d < 4; ++d) tempoDigit_[d] = make<CControl>(kTempoDigitNames[d]);
    fillIn_ = make<CControl>("Measures Auto Fill In");
    for (const char* name : {"Start", "Stop", "Tap"}) make<CControl>(name);
    basicVariation_ = make<CControl>("Basic Variation");
    introVariation_ = make<CControl>("Intro FillIn Variation");
    partLed_[0] = make<CExMovieBitmap>("Pattern Part 1 Led");
    partLed_[1] = make<CExMovieBitmap>("Pattern Part 2 Led");
    variationLed_[0] = make<CExMovieBitmap>("Pattern Variation A Led");
    variationLed_[1] = make<CExMovieBitmap>("Pattern Variation B Led");
    for (int k = 0; k < 4; ++k) prescale_[k] = make<CNStateButton>(indexed("Pattern Prescale ", k + 1));
    make<CControl>("About");
    internalSequencer_ = make<CNStateButton>("Internal Seq State");
    externalSync_ = make<CNStateButton>("External Sync State");
    freeMode_ = make<CNStateButton>("Free Mode");
    noteOff_ = make<CNStateButton>("Note Off State");
    midiLearn_ = make<CNStateButton>("Midi Learn State");
    for (const char* name : {"Prev Preset", "Next Preset", "Browse Preset"}) make<CControl>(name);
    learnDescription_ = make<CTextLabel>("Midi Learn Desc");
    presetName_ = make<CTextEdit>("Preset Name");
    if (presetName_) presetName_->setMaxLength(kPresetNameChars);

    buildNameEditor();
    // The digits cannot be dragged below 0.
    for (int d = 0; d < 4; ++d)
        if (tempoDigit_[d]) tempoDigit_[d]->setMinimum(d == 3 ? 0.2f : 2.0f / 11.0f);
    // The internal sequencer is switched in the settings, not on the panel.
    if (internalSequencer_) internalSequencer_->setMouseEnabled(false);
    buildPatternMenus();
}

void MainPanel::buildNameEditor() {
    nameEditorBox_ = toolkit::make<CViewContainer>(kNameEditorBox);
    nameEditor_ = toolkit::make<CTextEdit>(Rect::fromSize(0, 0, kNameEditorBox.width(), kNameEditorBox.height()), this,
                                           tag::kNameEditor);
    nameEditor_->setFont(kNormalFontSmall);
    nameEditor_->setFontColor(kNameEditorText);
    nameEditor_->setBackColor(kNameEditorBack);
    nameEditor_->setHoriAlign(HorizontalAlign::Left);
    nameEditor_->setMaxLength(kNameEditorChars);
    nameEditorBox_->attach(nameEditor_);
}

void MainPanel::buildPatternMenus() {
    ImageStore& images = factory_.images();
    loadPatternMenu_ = toolkit::make<COptionMenu>(kLoadPatternMenu, this, tag::kLoadPatternMenu,
                                                  images.bitmap(kLoadMenuBitmaps[0]), images.bitmap(kLoadMenuBitmaps[1]),
                                                  COptionMenu::kNoTextStyle);
    savePatternMenu_ = toolkit::make<COptionMenu>(kSavePatternMenu, this, tag::kSavePatternMenu,
                                                  images.bitmap(kSaveMenuBitmaps[0]), images.bitmap(kSaveMenuBitmaps[1]),
                                                  COptionMenu::kNoTextStyle);
    // Patterns come in through the default banks and the host's state; loading by hand is not offered.
    loadPatternMenu_->setMouseEnabled(false);
    frame_.attach(loadPatternMenu_);
    frame_.attach(savePatternMenu_);
}

// Value changes -------------------------------------------------------------------------------------------

void MainPanel::valueChanged(CControl* control) {
    if (!control) return;
    handle(control->tag(), control->value(), frame_.buttons());
    drainInbox();
}

void MainPanel::controlBeginEdit(CControl* control) {
    if (control && control->tag() >= 0 && control->tag() <= tag::kLastParameter)
        if (PluginHost* host = plugin_.host()) host->beginEdit(control->tag());
}

void MainPanel::controlEndEdit(CControl* control) {
    if (!control) return;
    if (control->tag() >= 0 && control->tag() <= tag::kLastParameter)
        if (PluginHost* host = plugin_.host()) host->endEdit(control->tag());
    // However the name edit ends (Escape included), the field closes.
    if (control == nameEditor_.get()) closeNameEditor();
}

void MainPanel::muteOrSolo(int first, int t, float value, unsigned buttons) {
    if (!(buttons & kControl)) return;
    const float others = value > 0.5f ? 0.0f : 1.0f;
    for (int i = 0; i < kInstrumentCount; ++i)
        if (first + i != t) plugin_.editParameter(first + i, others);
}

void MainPanel::touchedInLearnMode(int t) {
    if (!plugin_.learnActive()) return;
    learnTouchTime_ = now();
    learnTouched_ = true;
    plugin_.setLearnTarget(t < plugin_.numParams() ? t : -1);
    refreshLearnDescription();
}

void MainPanel::handle(int t, float v, unsigned buttons) {
    const bool pressed = (buttons & kLButton) != 0;
    const bool onPress = pressed && v > 0.5f;
    const bool onRelease = !pressed;
    const Modifiers modifiers{(buttons & kShift) != 0, (buttons & kControl) != 0, (buttons & kAlt) != 0};

    if (t >= 0 && t <= tag::kLastParameter) {
        plugin_.editParameter(t, v);
        touchedInLearnMode(t);
        if (t >= param::kFirstMute && t < param::kFirstMute + kInstrumentCount) muteOrSolo(param::kFirstMute, t, v, buttons);
        if (t >= param::kFirstSolo && t < param::kFirstSolo + kInstrumentCount) muteOrSolo(param::kFirstSolo, t, v, buttons);
    } else if (t >= tag::kFirstSelect && t < tag::kFirstSelect + kRows) {
        plugin_.patternEditor()->selectButton(t - tag::kFirstSelect, v, modifiers);
        refreshSelectButtons();
    } else if (t >= tag::kFirstStep && t < tag::kFirstStep + kSteps) {
        plugin_.patternEditor()->stepButton(t - tag::kFirstStep, v);
        patternDisplays();
    } else if (t >= tag::kFirstActivity && t < tag::kFirstActivity + kRows) {
        plugin_.patternEditor()->activityLampClicked(t - tag::kFirstActivity);
    } else if (t >= tag::kFirstTempoDigit && t < tag::kFirstTempoDigit + 4) {
        tempoDigitMoved();
    } else if (t >= tag::kFirstPrescale && t < tag::kFirstPrescale + 4) {
        plugin_.patternEditor()->resolutionButton(t - tag::kFirstPrescale + 1);
        refreshPrescale();
    } else if (t >= tag::kFirstOutputNumber && t < tag::kFirstOutputNumber + kInstrumentCount) {
        plugin_.setOutAssign(t - tag::kFirstOutputNumber, std::clamp(int(std::floor(16.0f * v)), 0, 16));
        refreshOutputNumbers();
    } else {
        switch (t) {
            case tag::kShuffle:
                plugin_.patternEditor()->shuffleKnob(v);
                refreshShuffleTempo();
                break;
            case tag::kTempo:
                plugin_.patternEditor()->tempoKnob(v);
                refreshShuffleTempo();
                break;
            case tag::kWriteMode:
                if (!plugin_.patternEditor()->writeModeButton(v)) refreshModeButtons();
                break;
            case tag::kAutoFollow:
                if (!plugin_.patternEditor()->autoFollowButton(v)) refreshModeButtons();
                break;
            case tag::kRandMode:
                if (!plugin_.patternEditor()->randModeButton(v)) refreshModeButtons();
                break;
            case tag::kLastStep:
                if (!plugin_.patternEditor()->lengthModeButton(v)) refreshModeButtons();
                break;
            case tag::kRandUndo:
                if (onPress) plugin_.patternEditor()->randUndoButton();
                break;
            case tag::kPatternPrev:
            case tag::kPatternNext:
                if (!onPress) break;
                if (t == tag::kPatternPrev) plugin_.patternEditor()->previousButton();
                else plugin_.patternEditor()->nextButton();
                patternDisplays();
                refreshLevelKnobs();
                break;
            case tag::kShiftLeft:
            case tag::kShiftRight:
                if (onPress) plugin_.patternEditor()->shiftButton(t == tag::kShiftLeft ? -1 : 1);
                break;
            case tag::kCopy:
            case tag::kPaste:
            case tag::kClear: {
                if (!onPress) break;
                {
                    auto editor = plugin_.patternEditor();
                    if (t == tag::kCopy) editor->copyButton(modifiers);
                    else if (t == tag::kPaste) editor->pasteButton(modifiers);
                    else editor->clearButton(modifiers);
                }
                refreshSelectButtons();
                patternDisplays();
                break;
            }
            case tag::kPatternName:
                if (plugin_.patternEditor()->editAllowed()) openNameEditor();
                break;
            case tag::kVariationA:
            case tag::kVariationA + 1:
                if (!plugin_.patternEditor()->variationButton(t - tag::kVariationA)) refreshVariationPartButtons();
                break;
            case tag::kPart1:
            case tag::kPart1 + 1:
                if (!plugin_.patternEditor()->partButton(t - tag::kPart1)) refreshVariationPartButtons();
                break;
            case tag::kNameEditor:
                commitName();
                break;
            case tag::kAutoFillIn:
                plugin_.playbackSelection().setAutoFillIn(kFillInMeasures[std::clamp(int(std::floor(5.0f * v)), 0, 5)]);
                refreshSwitches();
                break;
            case tag::kStart:
            case tag::kStop:
                if (onPress && plugin_.sequencerSettings()->intSeqOn) {
                    if (t == tag::kStart) plugin_.requestStart();
                    else plugin_.requestStop();
                }
                break;
            case tag::kTap:
                if (onPress) plugin_.patternEditor()->tapButton(modifiers);
                break;
            case tag::kBasicVariation: {
                static constexpr int kChoice[3] = {PlaybackSelection::kVariationA, PlaybackSelection::kAlternateAB,
                                                   PlaybackSelection::kVariationB};
                plugin_.playbackSelection().setBasicVariation(kChoice[std::clamp(int(std::floor(2.0f * v)), 0, 2)]);
                refreshSwitches();
                break;
            }
            case tag::kIntroFillInVariation:
                plugin_.playbackSelection().setIntroFillInVariation(v > 0.5f ? PlaybackSelection::kVariationB
                                                                              : PlaybackSelection::kVariationA);
                refreshSwitches();
                break;
            case tag::kAbout:
                if (onRelease && windows_) {
                    if (modifiers.control) windows_->showSettings();
                    else windows_->showAbout();
                }
                break;
            case tag::kInternalSequencer:
                plugin_.setIntSeqOn(v > 0.5f);
                break;
            case tag::kExternalSync:
            case tag::kFreeMode:
            case tag::kNoteOff:
                if (!plugin_.sequencerSettings()->intSeqOn) {
                    refreshSequencerLeds();
                } else if (t == tag::kExternalSync) {
                    plugin_.setSyncInternal(v > 0.5f ? 1 : 0);
                } else if (t == tag::kFreeMode) {
                    plugin_.setHostMode(v > 0.5f);
                } else {
                    plugin_.setNoteOff(v > 0.5f);
                }
                break;
            case tag::kMidiLearn:
                plugin_.setMidiLearn(v > 0.5f);
                break;
            case tag::kSavePatternMenu:
                if (savePatternMenu_ && windows_ && plugin_.sequencerSettings()->intSeqOn) {
                    const int entry = savePatternMenu_->lastResult();
                    if (entry >= 0 && entry <= 2) windows_->savePattern(entry);
                }
                break;
            case tag::kPrevPreset:
            case tag::kNextPreset:
                if (!onPress) break;
                if (const int program = plugin_.currentProgram() + (t == tag::kPrevPreset ? -1 : 1);
                    program >= 0 && program < DrumPlugin::kNumPrograms)
                    plugin_.selectProgram(program);
                refreshPresetName();
                break;
            case tag::kBrowsePreset:
                if (onPress && windows_) windows_->showPresetManager();
                break;
            case tag::kPresetName:
                if (presetName_) {
                    plugin_.setProgramName(presetName_->text().substr(0, kPresetNameChars).c_str());
                    plugin_.selectProgram(-1);
                }
                refreshPresetName();
                break;
            default:
                break;
        }
    }
}

void MainPanel::tempoDigitMoved() {
    const auto valueOf = [&](int d) { return tempoDigit_[d] ? tempoDigit_[d]->value() : 0.0f; };
    const double bpm = (digitOf(valueOf(3), 4, 1)) * 100.0 + digitOf(valueOf(2), 11, 2) * 10.0 +
                       digitOf(valueOf(1), 11, 2) + digitOf(valueOf(0), 11, 2) * 0.1;
    plugin_.patternEditor()->setEditedTempo(std::clamp(bpm, kMinBpm, kMaxBpm));
    refreshShuffleTempo();
}

// Pattern name editor ---------------------------------------------------------------------------------------

void MainPanel::openNameEditor() {
    if (!nameEditorBox_ || nameEditorBox_->parent()) return;
    {
        const DrumPlugin::Scope scope(plugin_);
        const PatternEdition& edition = *plugin_.patternEdition();
        nameEditSimple_ = edition.editedSimplePattern;
        nameEditExtended_ = edition.editedExtendedPattern;
    }
    nameEditor_->setText(name_ ? name_->text() : std::string());
    frame_.attach(nameEditorBox_);
    frame_.setFocusView(nameEditor_.get());
}

void MainPanel::commitName() {
    {
        const DrumPlugin::Scope scope(plugin_);
        if (plugin_.patternEditor()->editAllowed()) {
            const std::string text = nameEditor_->text().substr(0, kNameEditorChars);
            auto store = plugin_.patternStore();
            if (plugin_.sequencerSettings()->hostMode) {
                if (StepPattern* pattern = store->simplePattern(nameEditSimple_)) pattern->setName(text);
            } else if (ExtendedPattern* pattern = store->extendedPattern(nameEditExtended_)) {
                pattern->setName(text);
            }
        }
    }
    refreshPatternName();
    closeNameEditor();
}

void MainPanel::closeNameEditor() {
    if (!nameEditorBox_ || !nameEditorBox_->parent()) return;
    if (frame_.focusView() == nameEditor_.get()) frame_.setFocusView(nullptr);
    frame_.detach(nameEditorBox_.get());
    frame_.invalidAll();
}

}  // namespace vorlatek::editor
