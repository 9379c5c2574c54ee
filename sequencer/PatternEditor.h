#pragma once
// The editing session of the drum machine: which pattern the step buttons edit, the modes
// that decide what a click on an editing control does, and the operation behind each of
// those controls. Every operation takes what a click delivers (the control's value and the
// modifier keys held) and quietly does nothing when the current modes refuse it, so a panel
// calls it unconditionally and redraws from the state afterwards.
//
// Editing is allowed while the internal sequencer is on and either write mode or host mode
// is set; random editing additionally needs random mode. In host mode the edited pattern is
// a simple pattern, otherwise one part of one variation of an extended pattern.
//
// Runs on the editing threads (under the plug-in's editing lock). It edits the editor's side
// of the patterns; the audio thread plays a copy that the plug-in hands over after each edit,
// and it reaches playback only through the playback selection, the requests and what the
// audio thread publishes of its position.

#include "sequencer/PatternEdition.h"
#include "sequencer/PatternStore.h"
#include "sequencer/PlaybackPosition.h"
#include "sequencer/PlaybackSelection.h"
#include "sequencer/RowClipboard.h"
#include "sequencer/SequencerRequests.h"
#include "sequencer/SequencerSettings.h"

#include <string_view>

namespace vorlatek {

class SequencerListener;

// The modifier keys held during a click.
struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

class PatternEditor {
public:
    using Rows = PatternStore::RowSelection;

    // Notifications go to `listener` (may be null).
    PatternEditor(PatternStore& store, const SequencerSettings& settings, PatternEdition& edition,
                  PlaybackSelection& selection, const PlaybackPosition& position, SequencerRequests& requests,
                  SequencerListener* listener);

    // Gates ----------------------------------------------------------------------------------
    bool editAllowed() const;
    bool randomGate() const;     // editAllowed() and random mode
    bool randomPending() const;  // randomGate() and a random result waiting

    // What is edited -------------------------------------------------------------------------
    // The edited pattern (simple in host mode, else the edited part); null when absent.
    StepPattern* editedPattern();
    const StepPattern* editedPattern() const;
    // The edited extended pattern and variation, whatever the mode; null when absent.
    ExtendedPattern* editedExtendedPattern();
    PatternVariation* editedVariation();

    // State setters, also used when a saved state is read. Each notifies the editor when
    // its value changes (the selection on every call).
    // Switching write mode on is refused while the internal sequencer is off or host mode is
    // on; whenever write mode stays on, the edited pattern becomes what the sequencer plays
    // (or will start with when stopped).
    void setWriteMode(bool on);
    void setAutoFollow(bool on);
    void setRandMode(bool on);    // on switches length mode off
    void setLengthMode(bool on);  // on switches random mode off
    void setEditedSimplePattern(int index);      // clamped to 0..95
    void setEditedExtendedPattern(int index);    // clamped to 0..15
    void setEditedExtendedVariation(int variation);  // clamped to 0..1
    void setEditedExtendedPart(int part);            // clamped to 0..1
    void setSelectedInstrument(int row, bool on);    // rows outside 0..17 are ignored
    int selectedCount() const;
    // To be called after host mode changed: random and length mode belong to the kind of
    // pattern being left and are switched off.
    void hostModeChanged();
    // Re-evaluates whether random editing is allowed; leaving it undoes a pending result.
    // The setters call it; the panel calls it whenever it refreshes the random-mode button.
    void refreshRandomGate();
    // The edited pattern follows what plays: in play mode the edited extended pattern is the
    // playing one; with auto follow while editing, the edited pattern follows the sequencer
    // (not in length or random mode). Called after the audio thread moved on.
    void followPlayback();

    // Mode buttons (value > 0.5 = on). Auto follow, random and length mode are refused
    // unless editing is allowed. Each returns false when refused (only a redraw is due).
    bool writeModeButton(float value);
    bool autoFollowButton(float value);
    bool randModeButton(float value);
    bool lengthModeButton(float value);

    // Step button `step` (0..15) with the multi-state value 0 (off), 0.5 (on) or 1 (on and
    // accented). In play mode it selects the pattern to play; in length mode it sets the
    // length to step + 1; with a random result pending it writes only into the manually
    // chosen row, and only when that row was not randomised; otherwise into every selected row.
    void stepButton(int step, float value);

    // Tap: accepts a pending random result; while editing, hands a tap (value 3 with Control,
    // else 1) on the selected rows to the clock; in play mode requests a fill-in (running) or
    // toggles the start pattern type (stopped).
    void tapButton(Modifiers modifiers);

    // Previous and Next: another random result in random mode; else, unless auto follow is
    // on, the neighbouring pattern (clamped).
    void previousButton();
    void nextButton();
    // Variation A/B (0/1) and Part 1/2 (0/1); false when refused.
    bool variationButton(int variation);
    bool partButton(int part);

    // Instrument select button of row `row` (0..16 the instruments, 17 the accent) with the
    // button's value. Alt selects all or none; Shift with one row selected selects the range
    // in screen order (AC first, then BD..CH); Control toggles the row; a plain click selects
    // the row alone. While a random result is pending the click only chooses the manual row.
    void selectButton(int row, float value, Modifiers modifiers);
    // A click on a row's activity lamp: selects that row alone while editing outside random
    // mode with nothing on the row clipboard.
    void activityLampClicked(int row);

    // Rotation of the selected rows by one step: direction < 0 left, > 0 right.
    void shiftButton(int direction);
    // Copy, Paste and Clear; with Control they act on the whole pattern.
    void copyButton(Modifiers modifiers);
    void pasteButton(Modifiers modifiers);
    void clearButton(Modifiers modifiers);
    // Rand Undo: gives the randomised rows back what they held before.
    void randUndoButton();

    // Swing knob 0..1.
    void shuffleKnob(float value);
    // Tempo knob 0..1, 30..303 bpm; only while the sequencer runs on its own tempo.
    void tempoKnob(float value);
    // The same for a tempo given in bpm (clamped, rounded to a tenth).
    void setEditedTempo(double bpm);
    // Resolution buttons 1..4: 3, 6, 4 and 8 steps per beat.
    void resolutionButton(int button);
    // The name of the edited simple pattern (host mode) or extended pattern.
    void setPatternName(std::string_view text);

    // What the step lamp of a cell of the edited pattern shows, 0..3: a silenced step of a
    // pending random result shows off.
    int displayCell(int row, int step) const;
    // The row whose steps the lamps show while a random result is pending, -1 for none.
    int randomTarget() const { return randomTarget_; }
    const RowClipboard& rowClipboard() const { return rowClipboard_; }

private:
    void notify(int code) const;
    bool gatedModeButton(float value, void (PatternEditor::*setter)(bool));
    void applySelection(const Rows& rows);
    void moveEditedPattern(int direction);
    // Points the edited pattern at what the sequencer plays (or will start with).
    void pointAtSequencer();
    // After a new random result: the manual row follows to a randomised row.
    void checkRandomTarget();

    PatternStore& store_;
    const SequencerSettings& settings_;
    PatternEdition& edition_;
    PlaybackSelection& selection_;
    const PlaybackPosition& position_;
    SequencerRequests& requests_;
    SequencerListener* listener_;

    RowClipboard rowClipboard_;
    StepPattern simpleClipboard_;
    ExtendedPattern extendedClipboard_;
    bool simpleClipboardFilled_ = false;
    bool extendedClipboardFilled_ = false;
    int randomTarget_ = -1;
};

}  // namespace vorlatek
