#pragma once
// What the VST adapter needs of an editor, without knowing how it draws: the window's size,
// open and close on the host's window, idle, the host's keys and knob mode, and the two
// calls through which the plug-in tells the editor what changed. The module entry hands the
// adapter a factory that makes the real editor; an adapter made without one announces none.
//
// Threads: parameterChanged, notify and stateReplaced may be called from any thread,
// the audio thread included, and never block or allocate. keyDown and keyUp come from one
// host thread at a time. The rest belongs to the host's editor thread.

#include <memory>

namespace vorlatek {

class DrumPlugin;
class HostFileSelector;

class PluginEditor {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };

    virtual ~PluginEditor() = default;

    // The window's size in window pixels at the scale it opens (or opened) at.
    virtual Size size() = 0;
    // The host's scale factor for the window (taken at the next open); 0 or less forgets it.
    virtual void setHostScale(double scale) = 0;
    // Opens the window inside the host's window; false when it cannot be shown. Opening an
    // open editor closes it first.
    virtual bool open(void* parentWindow) = 0;
    // Closing a closed editor does nothing.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Runs the window: events, animations and painting. Nothing happens while closed.
    virtual void idle() = 0;

    // The host's key calls: a character, a virtual key code and modifier bits of the VST
    // interface. True when the editor took the key (only while a text field edits).
    virtual bool keyDown(int character, int virtualKey, int modifiers) = 0;
    virtual bool keyUp(int character, int virtualKey, int modifiers) = 0;
    // 0 circular, 1 or 2 linear dragging of knobs.
    virtual void setKnobMode(int mode) = 0;

    // The plug-in's side (any thread).
    virtual void parameterChanged(int index, float value) = 0;
    virtual void notify(int code) = 0;
    // Programs or the whole state were replaced: every display is redrawn at the next idle.
    virtual void stateReplaced() = 0;
};

// Makes the editor of a plug-in object; the adapter owns the result. `files` is the host's
// file selector, which outlives the editor.
using PluginEditorFactory = std::unique_ptr<PluginEditor> (*)(DrumPlugin& plugin, HostFileSelector& files);

}  // namespace vorlatek
