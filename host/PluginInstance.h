#pragma once
// One VST 2.4 plug-in loaded from a shared object, together with the host side of the
// interface: the callback the plug-in calls back into, and what that callback answers
// (sample rate, block size, the current time info).

#include "host/PluginModule.h"
#include "plugin/VstInterface.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vorlatek::host {

// What the host tells a plug-in that asks. Commands fill it before and during a render.
struct HostState {
    double sampleRate = 44100.0;
    int blockSize = 512;
    bool timeInfoEnabled = true;  // false: audioMasterGetTime answers null
    vst::VstTimeInfo timeInfo{};
};

// One output pin as the plug-in describes it (effGetOutputProperties).
struct PinInfo {
    bool answered = false;  // the plug-in answered the call
    std::string label;
    bool stereo = false;
    bool active = false;
};

class PluginInstance {
public:
    // Loads the module and calls its entry point. Throws HostError with a one-line message
    // when the path is not a loadable VST 2.4 plug-in.
    explicit PluginInstance(const std::string& path);
    // One more instance of a module that is already loaded.
    explicit PluginInstance(std::shared_ptr<PluginModule> module);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    HostState& hostState() { return host_; }
    const vst::AEffect& effect() const { return *effect_; }
    const std::string& path() const { return module_->path(); }

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    // Lifecycle: effOpen; effMainsChanged(1) / (0); effClose (suspending first if resumed).
    void open();
    void resume();
    void suspend();
    void close();

    // A string call (effGetEffectName, effGetParamName, ...): the plug-in gets a zeroed
    // buffer far larger than the interface limits, so that a plug-in that writes nothing
    // yields "" and one that writes too much does not overrun anything.
    std::string stringCall(vst::VstInt32 opcode, vst::VstInt32 index = 0);
    vst::VstIntPtr canDo(const std::string& what);
    PinInfo outputPin(int pin);

    bool hasFlag(vst::VstInt32 flag) const { return (effect_->flags & flag) != 0; }

    void setParameter(int index, float value);
    float getParameter(int index);

    // The plug-in's state chunk (bank form, or the current program with programForm); empty
    // when the plug-in returns none.
    std::vector<char> getChunk(bool programForm);
    // Hands the bytes to effSetChunk and returns the plug-in's answer.
    vst::VstIntPtr setChunk(std::vector<char>& data, bool programForm);
    // Loads a chunk read from `file`; throws HostError when the plug-in refused it. A
    // plug-in refuses by answering 0 and keeping its state; as some plug-ins answer 0 to
    // every chunk, a changed state, or one that now reads back as the chunk, is taken.
    void loadChunk(std::vector<char>& data, bool programForm, const std::string& file);

    // How often the plug-in has sent a host request (audioMasterAutomate, ...) so far.
    int requestCount(vst::VstInt32 opcode) const;

    void processEvents(vst::VstEvents* events);
    // processReplacing when the plug-in can, else the accumulating call on the cleared
    // buffers the caller hands in.
    void process(float** inputs, float** outputs, int frames);

private:
    static vst::VstIntPtr callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                   vst::VstIntPtr value, void* ptr, float opt);
    vst::VstIntPtr answer(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                          float opt);

    std::shared_ptr<PluginModule> module_;
    vst::AEffect* effect_ = nullptr;
    // Requests by opcode, counted from any thread the plug-in calls from.
    std::array<std::atomic<int>, 64> requests_{};
    HostState host_;
    bool opened_ = false;
    bool resumed_ = false;
};

}  // namespace vorlatek::host
