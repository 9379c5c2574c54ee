#pragma once
// What the core needs of whatever hosts it. The VST adapter implements it; tests use their
// own. Notifications may be posted from the audio thread: the editor queues them and
// handles them in its idle routine.

#include "sequencer/EditorNotification.h"

namespace vorlatek {

class PluginHost {
public:
    virtual ~PluginHost() = default;
    // Ask the host to re-read program names and parameter values.
    virtual void updateDisplay() = 0;
    // A parameter value changed, whoever changed it: the editor shows the new value.
    virtual void parameterChanged(int index, float value) = 0;
    // A change that started inside the plug-in (the editor, a MIDI controller): the host
    // records it as automation. Changes the host made itself, program changes and loaded
    // states are not reported this way.
    virtual void automate(int index, float value) = 0;
    // Post a notification code to the editor, if one exists.
    virtual void notifyEditor(int code) = 0;
    // Around a gesture on a control of the editor: the host records the changes between the
    // two as one pass of automation.
    virtual void beginEdit(int /*index*/) {}
    virtual void endEdit(int /*index*/) {}
};

}  // namespace vorlatek
