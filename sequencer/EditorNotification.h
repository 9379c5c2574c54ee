#pragma once
// The codes of the notifications posted to the editor when a piece of state changed. The
// sequencer and the plug-in both post them; the editor queues them and redraws in its idle
// routine.

namespace vorlatek {

// Codes posted to the editor through PluginHost::notifyEditor.
enum EditorNotification : int {
    kNotifyInternalSequencer = 0,
    kNotifySyncMode = 1,
    kNotifyHostMode = 2,
    kNotifyNoteOff = 3,
    kNotifyMidiLearn = 4,
    kNotifyWriteMode = 5,
    kNotifyAutoFollow = 6,
    kNotifyRandomMode = 7,
    kNotifyLengthMode = 8,
    kNotifySelectionEdited = 9,
    kNotifyPlayPatternSelected = 10,
    kNotifySelectedInstruments = 11,
    kNotifyEditedSimplePattern = 12,
    kNotifyEditedExtendedPattern = 13,
    kNotifyEditedVariation = 14,
    kNotifyEditedPart = 15,
    kNotifyOutputAssigns = 16,
    kNotifyMidiLearnAssigned = 17,
    kNotifyStartPatternType = 18,
    kNotifyInstrumentActivity = 19,
};

}  // namespace vorlatek
