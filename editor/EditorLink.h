#pragma once
// A PluginHost for running the plug-in with its editor outside a VST host (the panel
// preview, tests, benchmarks): it hands parameter changes and notifications to the editor,
// as the VST adapter does, and records nothing.

#include "plugin/PluginEditor.h"
#include "plugin/PluginHost.h"

namespace vorlatek::editor {

class EditorLink : public PluginHost {
public:
    PluginEditor* editor = nullptr;

    void updateDisplay() override {}
    void parameterChanged(int index, float value) override {
        if (editor) editor->parameterChanged(index, value);
    }
    void automate(int, float) override {}
    void notifyEditor(int code) override {
        if (editor) editor->notify(code);
    }
};

}  // namespace vorlatek::editor
