#include "sequencer/PatternEditor.h"

#include "sequencer/EditorNotification.h"
#include "sequencer/SequencerListener.h"

#include <algorithm>

namespace vorlatek {

namespace {

constexpr int kLastSimplePattern = kSimplePatternCount - 1;
constexpr int kLastExtendedPattern = kExtendedPatternCount - 1;
constexpr double kTempoRange = kMaxBpm - kMinBpm;  // the tempo knob's span, 273 bpm

bool validRow(int row) { return row >= 0 && row < kPatternRows; }

// The place of a row on the panel: the accent button comes first, then BD..CH.
int screenPosition(int row) { return (row + 1) % kPatternRows; }

// The cell a three-state step button writes: 0.5 on, 1 on and accented, anything else off.
int cellForButton(float value) {
    if (value == 0.5f) return kCellOn;
    if (value == 1.0f) return kCellAccented;
    return kCellOff;
}

}  // namespace

PatternEditor::PatternEditor(PatternStore& store, const SequencerSettings& settings, PatternEdition& edition,
                             PlaybackSelection& selection, const PlaybackPosition& position,
                             SequencerRequests& requests, SequencerListener* listener)
    : store_(store),
      settings_(settings),
      edition_(edition),
      selection_(selection),
      position_(position),
      requests_(requests),
      listener_(listener) {}

void PatternEditor::notify(int code) const {
    if (listener_) listener_->notify(code);
}

// Gates and the edited pattern ----------------------------------------------------------------

bool PatternEditor::editAllowed() const { return settings_.intSeqOn && (edition_.writeMode || settings_.hostMode); }

bool PatternEditor::randomGate() const { return editAllowed() && edition_.randMode; }

bool PatternEditor::randomPending() const { return randomGate() && store_.randomPending(); }

StepPattern* PatternEditor::editedPattern() {
    if (settings_.hostMode) return store_.simplePattern(edition_.editedSimplePattern);
    return store_.part(edition_.editedExtendedPattern, edition_.editedExtendedVariation, edition_.editedExtendedPart);
}

const StepPattern* PatternEditor::editedPattern() const { return const_cast<PatternEditor*>(this)->editedPattern(); }

ExtendedPattern* PatternEditor::editedExtendedPattern() { return store_.extendedPattern(edition_.editedExtendedPattern); }

PatternVariation* PatternEditor::editedVariation() {
    return store_.variation(edition_.editedExtendedPattern, edition_.editedExtendedVariation);
}

// State setters -------------------------------------------------------------------------------------

void PatternEditor::setWriteMode(bool on) {
    if (on && (!settings_.intSeqOn || settings_.hostMode)) return;
    if (edition_.writeMode != on) {
        edition_.writeMode = on;
        notify(kNotifyWriteMode);
        refreshRandomGate();
    }
    if (edition_.writeMode) pointAtSequencer();
}

void PatternEditor::pointAtSequencer() {
    if (!position_.running()) {
        setEditedExtendedPattern(selection_.startPatternType() == PlaybackSelection::kStartBasic
                                     ? selection_.basicPattern()
                                     : selection_.introFillInPattern());
        setEditedExtendedPart(0);
        setEditedExtendedVariation(selection_.basicVariation() == PlaybackSelection::kVariationB ? 1 : 0);
        return;
    }
    setEditedExtendedPattern(position_.currentPattern());
    setEditedExtendedVariation(position_.currentVariation());
    setEditedExtendedPart(position_.currentPart());
    const int simple = position_.currentSimplePattern();
    setEditedSimplePattern(simple < 0 ? 0 : simple);
}

void PatternEditor::setAutoFollow(bool on) {
    if (edition_.autoFollow == on) return;
    edition_.autoFollow = on;
    notify(kNotifyAutoFollow);
}

void PatternEditor::setRandMode(bool on) {
    if (on) setLengthMode(false);
    if (edition_.randMode == on) return;
    edition_.randMode = on;
    notify(kNotifyRandomMode);
    refreshRandomGate();
}

void PatternEditor::setLengthMode(bool on) {
    if (on) setRandMode(false);
    if (edition_.lengthMode == on) return;
    edition_.lengthMode = on;
    notify(kNotifyLengthMode);
}

void PatternEditor::setEditedSimplePattern(int index) {
    index = std::clamp(index, 0, kLastSimplePattern);
    if (edition_.editedSimplePattern == index) return;
    edition_.editedSimplePattern = index;
    notify(kNotifyEditedSimplePattern);
}

void PatternEditor::setEditedExtendedPattern(int index) {
    index = std::clamp(index, 0, kLastExtendedPattern);
    if (edition_.editedExtendedPattern == index) return;
    edition_.editedExtendedPattern = index;
    notify(kNotifyEditedExtendedPattern);
}

void PatternEditor::setEditedExtendedVariation(int variation) {
    variation = std::clamp(variation, 0, 1);
    if (edition_.editedExtendedVariation == variation) return;
    edition_.editedExtendedVariation = variation;
    notify(kNotifyEditedVariation);
}

void PatternEditor::setEditedExtendedPart(int part) {
    part = std::clamp(part, 0, 1);
    if (edition_.editedExtendedPart == part) return;
    edition_.editedExtendedPart = part;
    notify(kNotifyEditedPart);
}

void PatternEditor::setSelectedInstrument(int row, bool on) {
    if (validRow(row)) edition_.selectedInstrument[static_cast<std::size_t>(row)] = on;
    notify(kNotifySelectedInstruments);
}

int PatternEditor::selectedCount() const {
    return static_cast<int>(std::count(edition_.selectedInstrument.begin(), edition_.selectedInstrument.end(), true));
}

void PatternEditor::applySelection(const Rows& rows) {
    if (edition_.selectedInstrument == rows) return;
    edition_.selectedInstrument = rows;
    notify(kNotifySelectedInstruments);
}

void PatternEditor::hostModeChanged() {
    // The random-mode lamp is refreshed whether or not random mode was on.
    edition_.randMode = false;
    notify(kNotifyRandomMode);
    setLengthMode(false);
    refreshRandomGate();
}

void PatternEditor::refreshRandomGate() { store_.updateRandomGate(randomGate()); }

void PatternEditor::followPlayback() {
    const bool followEdit = settings_.intSeqOn && (edition_.writeMode || settings_.hostMode) && edition_.autoFollow &&
                            !edition_.lengthMode && !edition_.randMode;
    const bool followPlay = settings_.intSeqOn && !settings_.hostMode && !edition_.writeMode && position_.running();

    const int simple = position_.currentSimplePattern();
    if (followEdit && simple != -1 && simple != edition_.editedSimplePattern) setEditedSimplePattern(simple);
    if (followPlay || (followEdit && position_.currentPattern() != -1)) {
        setEditedExtendedPattern(position_.currentPattern());
        setEditedExtendedVariation(position_.currentVariation());
        setEditedExtendedPart(position_.currentPart());
    }
}

// Mode buttons ------------------------------------------------------------------------------------------

bool PatternEditor::writeModeButton(float value) {
    if (!settings_.intSeqOn || settings_.hostMode) return false;
    setWriteMode(value > 0.5f);
    return true;
}

bool PatternEditor::autoFollowButton(float value) { return gatedModeButton(value, &PatternEditor::setAutoFollow); }

bool PatternEditor::randModeButton(float value) { return gatedModeButton(value, &PatternEditor::setRandMode); }

bool PatternEditor::lengthModeButton(float value) { return gatedModeButton(value, &PatternEditor::setLengthMode); }

bool PatternEditor::gatedModeButton(float value, void (PatternEditor::*setter)(bool)) {
    if (!editAllowed()) return false;
    (this->*setter)(value > 0.5f);
    return true;
}

// Steps and tap -------------------------------------------------------------------------------------------

void PatternEditor::stepButton(int step, float value) {
    if (step < 0 || step >= kPatternSteps) return;
    if (!editAllowed()) {
        if (settings_.intSeqOn) {
            selection_.selectPlayPattern(step);
            notify(kNotifyPlayPatternSelected);
        }
        return;
    }
    StepPattern* pattern = editedPattern();
    if (!pattern) return;
    if (edition_.lengthMode) {
        pattern->setLength(step + 1);
        return;
    }
    const int cell = cellForButton(value);
    if (randomPending()) {
        if (validRow(randomTarget_) && !store_.rowRandomised(randomTarget_)) pattern->setCell(cell, randomTarget_, step);
        return;
    }
    for (int row = 0; row < kPatternRows; ++row)
        if (edition_.selectedInstrument[static_cast<std::size_t>(row)]) pattern->setCell(cell, row, step);
}

void PatternEditor::tapButton(Modifiers modifiers) {
    if (randomPending()) {
        store_.acceptRandom();
        return;
    }
    if (editAllowed()) {
        requests_.tap.post(edition_.selectedInstrument, modifiers.control ? kCellAccented : kCellOn);
        return;
    }
    if (!settings_.intSeqOn || settings_.hostMode) return;
    if (position_.running()) {
        selection_.requestFillIn();
    } else {
        selection_.toggleStartPatternType();
        notify(kNotifyStartPatternType);
    }
}

// Pattern, variation and part ----------------------------------------------------------------------------

void PatternEditor::previousButton() { moveEditedPattern(-1); }

void PatternEditor::nextButton() { moveEditedPattern(+1); }

void PatternEditor::moveEditedPattern(int direction) {
    if (randomGate()) {
        StepPattern* pattern = editedPattern();
        if (!pattern) return;
        if (direction < 0) store_.previousRandom(pattern, edition_.selectedInstrument);
        else store_.nextRandom(pattern, edition_.selectedInstrument);
        checkRandomTarget();
        return;
    }
    if (!editAllowed() || edition_.autoFollow) return;
    if (settings_.hostMode) setEditedSimplePattern(edition_.editedSimplePattern + direction);
    else setEditedExtendedPattern(edition_.editedExtendedPattern + direction);
}

void PatternEditor::checkRandomTarget() {
    if (validRow(randomTarget_) && store_.rowRandomised(randomTarget_)) return;
    for (int row = 0; row < kPatternRows; ++row) {
        if (store_.rowRandomised(row)) {
            randomTarget_ = row;
            return;
        }
    }
}

bool PatternEditor::variationButton(int variation) {
    if (!editAllowed() || randomPending() || variation < 0 || variation > 1) return false;
    setEditedExtendedVariation(variation);
    return true;
}

bool PatternEditor::partButton(int part) {
    if (!editAllowed() || randomPending() || part < 0 || part > 1) return false;
    setEditedExtendedPart(part);
    return true;
}

// Instrument selection ------------------------------------------------------------------------------------

void PatternEditor::selectButton(int row, float value, Modifiers modifiers) {
    if (!validRow(row) || !editAllowed()) return;
    if (randomPending()) {
        randomTarget_ = row;
        return;
    }
    const int held = rowClipboard_.count();
    Rows rows = edition_.selectedInstrument;
    if (modifiers.alt && held <= 1) {
        const bool all = selectedCount() == kPatternRows;
        rows.fill(!all);
        applySelection(rows);
        return;
    }
    if (modifiers.shift && held <= 1 && selectedCount() == 1) {
        const int anchor = static_cast<int>(std::find(rows.begin(), rows.end(), true) - rows.begin());
        const int from = std::min(screenPosition(anchor), screenPosition(row));
        const int to = std::max(screenPosition(anchor), screenPosition(row));
        for (int r = 0; r < kPatternRows; ++r) {
            const int position = screenPosition(r);
            rows[static_cast<std::size_t>(r)] = position >= from && position <= to;
        }
        applySelection(rows);
        return;
    }
    // Several rows waiting to be pasted back into their own rows: the selection stays.
    if (held > 1) return;
    if (modifiers.control) {
        rows[static_cast<std::size_t>(row)] = value > 0.5f;
    } else {
        rows.fill(false);
        rows[static_cast<std::size_t>(row)] = true;
    }
    applySelection(rows);
}

void PatternEditor::activityLampClicked(int row) {
    if (!validRow(row) || !editAllowed() || edition_.randMode || rowClipboard_.held()) return;
    Rows rows{};
    rows[static_cast<std::size_t>(row)] = true;
    applySelection(rows);
}

// Edit operations ----------------------------------------------------------------------------------------

void PatternEditor::shiftButton(int direction) {
    if (direction == 0 || !editAllowed() || randomGate()) return;
    StepPattern* pattern = editedPattern();
    if (!pattern) return;
    for (int row = 0; row < kPatternRows; ++row)
        if (edition_.selectedInstrument[static_cast<std::size_t>(row)]) pattern->rotateRow(row, direction < 0 ? -1 : 1);
    notify(kNotifySelectionEdited);
}

void PatternEditor::copyButton(Modifiers modifiers) {
    if (!editAllowed() || randomGate()) return;
    if (!modifiers.control) {
        if (const StepPattern* pattern = editedPattern()) rowClipboard_.copy(*pattern, edition_.selectedInstrument);
        return;
    }
    if (settings_.hostMode) {
        if (const StepPattern* pattern = editedPattern()) {
            copyPattern(*pattern, simpleClipboard_);
            simpleClipboardFilled_ = true;
        }
    } else if (const ExtendedPattern* pattern = editedExtendedPattern()) {
        copyExtendedPattern(*pattern, extendedClipboard_);
        extendedClipboardFilled_ = true;
    }
}

void PatternEditor::pasteButton(Modifiers modifiers) {
    if (!editAllowed() || randomGate()) return;
    if (!modifiers.control) {
        if (StepPattern* pattern = editedPattern()) rowClipboard_.paste(*pattern, edition_.selectedInstrument);
        return;
    }
    // Nothing copied yet: pasting must not wipe the pattern with an empty one.
    if (settings_.hostMode) {
        StepPattern* pattern = editedPattern();
        if (pattern && simpleClipboardFilled_) copyPattern(simpleClipboard_, *pattern);
    } else if (ExtendedPattern* pattern = editedExtendedPattern(); pattern && extendedClipboardFilled_) {
        copyExtendedPattern(extendedClipboard_, *pattern);
    }
}

void PatternEditor::clearButton(Modifiers modifiers) {
    if (!editAllowed() || randomGate()) return;
    StepPattern* pattern = editedPattern();
    if (!pattern) return;
    if (edition_.lengthMode) {
        // Only a second part can be removed (its variation then plays the first part alone).
        if (!settings_.hostMode && edition_.editedExtendedPart == 1) pattern->setLength(0);
        return;
    }
    if (rowClipboard_.held()) {
        rowClipboard_.clear();  // cancels the copy
        return;
    }
    for (int row = 0; row < kPatternRows; ++row)
        if (modifiers.control || edition_.selectedInstrument[static_cast<std::size_t>(row)]) pattern->clearRow(row);
}

void PatternEditor::randUndoButton() {
    if (randomPending()) store_.undoRandom();
}

// Tempo, swing, resolution and name ----------------------------------------------------------------------

void PatternEditor::shuffleKnob(float value) {
    if (!editAllowed()) return;
    if (settings_.hostMode) {
        if (StepPattern* pattern = editedPattern()) pattern->setShuffle(value);
    } else if (PatternVariation* variation = editedVariation()) {
        variation->setShuffle(value);
    }
}

void PatternEditor::tempoKnob(float value) { setEditedTempo(static_cast<double>(value) * kTempoRange + kMinBpm); }

void PatternEditor::setEditedTempo(double bpm) {
    if (!editAllowed() || settings_.syncInternal != 1) return;
    if (settings_.hostMode) {
        if (StepPattern* pattern = editedPattern()) pattern->setBpm(bpm);
    } else if (PatternVariation* variation = editedVariation()) {
        variation->setBpm(bpm);
    }
}

void PatternEditor::resolutionButton(int button) {
    static constexpr int kStepsPerBeat[] = {3, 6, 4, 8};
    if (button < 1 || button > 4 || !editAllowed()) return;
    if (StepPattern* pattern = editedPattern()) pattern->setStepsPerBeat(kStepsPerBeat[button - 1]);
}

void PatternEditor::setPatternName(std::string_view text) {
    if (!editAllowed()) return;
    if (settings_.hostMode) {
        if (StepPattern* pattern = editedPattern()) pattern->setName(text);
    } else if (ExtendedPattern* pattern = editedExtendedPattern()) {
        pattern->setName(text);
    }
}

// Display ---------------------------------------------------------------------------------------------------

int PatternEditor::displayCell(int row, int step) const {
    const StepPattern* pattern = editedPattern();
    if (!pattern) return kCellOff;
    const int cell = pattern->getCell(row, step);
    if (pattern != store_.randomised() || !store_.rowRandomised(row)) return cell;
    if (store_.thinnedOut(row, step)) return kCellOff;
    return kCellOn | (cell & kCellAccentOnly);
}

}  // namespace vorlatek
