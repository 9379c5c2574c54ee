#pragma once
// The VST 2.4 adapter: the AEffect record the host sees, the one place that answers every
// dispatcher opcode, the PluginHost the core talks back through, and the host's file
// selector for the editor. It owns the core and the editor.

#include "engine/ParameterIndex.h"
#include "plugin/HostFileSelector.h"
#include "plugin/PluginEditor.h"
#include "plugin/PluginHost.h"
#include "plugin/VstInterface.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace vorlatek {

class DrumPlugin;

class VstEffect final : public PluginHost, public HostFileSelector {
public:
    static constexpr int kNumPrograms = 128;
    static constexpr vst::VstInt32 kUniqueId = vst::fourCharCode('V', 'R', 'L', 'T');
    static constexpr int kVstVersion = 2400;
    static constexpr const char* kEffectName = "Vorlatek";
    static constexpr const char* kVendor = "Velmora Group Audio Software";

    // The entry point's work: null when the host answers the version request with 0 or the
    // plug-in cannot be built. `moduleDirectory` is where the user settings file lives;
    // `editor` makes the editor (none without it: no editor is announced).
    static vst::AEffect* create(vst::audioMasterCallback host, const std::string& moduleDirectory,
                                PluginEditorFactory editor = nullptr);
    static vst::AEffect* create(vst::audioMasterCallback host, PluginEditorFactory editor = nullptr);

    VstEffect(vst::audioMasterCallback host, const std::string& moduleDirectory, PluginEditorFactory editor = nullptr);
    ~VstEffect() override;

    vst::AEffect* effect() { return &effect_; }
    DrumPlugin& core() { return *core_; }
    PluginEditor* editor() { return editor_.get(); }

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);
    void setParameter(vst::VstInt32 index, float value);
    float getParameter(vst::VstInt32 index) const;
    void process(float** outputs, vst::VstInt32 frames, bool replacing);

    // PluginHost
    void updateDisplay() override;
    void parameterChanged(int index, float value) override;
    void automate(int index, float value) override;
    void notifyEditor(int code) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;

    // HostFileSelector (the editor's thread). The host is asked once whether it has one.
    bool canSelectFiles() override;
    vst::VstIntPtr openFileSelector(vst::VstFileSelect& select) override;
    vst::VstIntPtr closeFileSelector(vst::VstFileSelect& select) override;

private:
    vst::VstIntPtr callHost(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);
    vst::VstIntPtr canDo(const char* text) const;
    vst::VstIntPtr outputProperties(int pin, vst::VstPinProperties* properties) const;
    vst::VstIntPtr getChunk(void** data, bool isPreset);
    void requestMidi();
    vst::VstIntPtr editorCall(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);

    vst::AEffect effect_{};
    vst::audioMasterCallback host_;
    float sampleRate_ = 44100.0f;
    vst::VstInt32 blockSize_ = 1024;
    // The host learns of the effect only when creation returns: until then nothing is
    // reported to it as automation.
    bool created_ = false;
    std::unique_ptr<DrumPlugin> core_;
    // Made after the core and destroyed after it; parameter changes and notifications reach
    // it from any thread while both live.
    std::unique_ptr<PluginEditor> editor_;
    vst::ERect editorRect_{};  // what effEditGetRect points the host at
    std::atomic<int> hostSelectsFiles_{-1};  // -1 not asked yet, else 0 or 1
    // What the last effGetChunk returned; valid until the next call or destruction. The
    // lock keeps two threads of a host from rewriting it at once.
    std::mutex chunkLock_;
    std::string chunk_;
};

}  // namespace vorlatek
