#pragma once
// What the core needs of whatever hosts it. The VST adapter implements it; tests use their
// own. Notifications may be posted from the audio thread: the editor queues them and
// handles them in its idle routine.

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

class PluginHost {
public:
    virtual ~PluginHost() = default;
    // Ask the host to re-read program names and parameter values.
    virtual void updateDisplay() = 0;
    // A parameter value changed: automation for the host, and an update of the editor.
    virtual void parameterChanged(int index, float value) = 0;
    // Post a notification code to the editor, if one exists.
    virtual void notifyEditor(int code) = 0;
};

}  // namespace vorlatek
