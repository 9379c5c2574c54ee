#include "plugin/VstEffect.h"

#include "plugin/DrumPlugin.h"
#include "plugin/ModuleServices.h"

#include <cstdio>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__SSE__)
#include <xmmintrin.h>
#define VORLATEK_HAVE_MXCSR 1
#endif

namespace vorlatek {

using namespace vst;

namespace {

VstEffect* adapterOf(AEffect* effect) { return effect ? static_cast<VstEffect*>(effect->object) : nullptr; }

VstIntPtr dispatcherProc(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    VstEffect* adapter = adapterOf(effect);
    if (!adapter) return 0;
    VstIntPtr result = 0;
    try {
        result = adapter->dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        result = 0;
    }
    if (opcode == effClose) {
        delete adapter;
        return 1;
    }
    return result;
}

void setParameterProc(AEffect* effect, VstInt32 index, float value) {
    if (VstEffect* adapter = adapterOf(effect)) {
        try {
            adapter->setParameter(index, value);
        } catch (...) {
        }
    }
}

float getParameterProc(AEffect* effect, VstInt32 index) {
    const VstEffect* adapter = adapterOf(effect);
    return adapter ? adapter->getParameter(index) : 0.0f;
}

void processReplacingProc(AEffect* effect, float**, float** outputs, VstInt32 frames) {
    if (VstEffect* adapter = adapterOf(effect)) adapter->process(outputs, frames, true);
}

void processAccumulatingProc(AEffect* effect, float**, float** outputs, VstInt32 frames) {
    if (VstEffect* adapter = adapterOf(effect)) adapter->process(outputs, frames, false);
}

// The plug-in does not announce double precision; a host that calls anyway gets nothing.
void processDoubleProc(AEffect*, double**, double**, VstInt32) {}

// Copies at most `maxChars` characters and a terminator.
void copyString(void* destination, const char* text, std::size_t maxChars) {
    if (!destination) return;
    auto* out = static_cast<char*>(destination);
    std::strncpy(out, text, maxChars);
    out[maxChars] = '\0';
}

// Flush-to-zero and denormals-are-zero while the plug-in computes audio; the host's own
// floating-point mode comes back on exit.
class DenormalGuard {
public:
#ifdef VORLATEK_HAVE_MXCSR
    DenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040u); }
    ~DenormalGuard() { _mm_setcsr(saved_); }

private:
    unsigned saved_;
#endif
};

}  // namespace

AEffect* VstEffect::create(audioMasterCallback host, PluginEditorFactory editor) {
    return create(host, moduleDirectory(), editor);
}

AEffect* VstEffect::create(audioMasterCallback host, const std::string& moduleDirectory, PluginEditorFactory editor) {
    if (!host) return nullptr;
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* adapter = new VstEffect(host, moduleDirectory, editor);
        return adapter->effect();
    } catch (...) {
        return nullptr;
    }
}

VstEffect::VstEffect(audioMasterCallback host, const std::string& moduleDirectory, PluginEditorFactory editor)
    : host_(host) {
    effect_.magic = kEffectMagic;
    effect_.dispatcher = dispatcherProc;
    effect_.process = processAccumulatingProc;
    effect_.setParameter = setParameterProc;
    effect_.getParameter = getParameterProc;
    effect_.numPrograms = kNumPrograms;
    effect_.numParams = param::kCount;
    effect_.numInputs = 1;
    effect_.numOutputs = 2;
    effect_.flags = effFlagsCanReplacing;
    effect_.initialDelay = 0;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = vst::fourCharCode('N', 'o', 'E', 'f');
    effect_.version = 1;
    effect_.processReplacing = processReplacingProc;
    effect_.processDoubleReplacing = processDoubleProc;

    effect_.flags |= effFlagsProgramChunks;
    core_ = std::make_unique<DrumPlugin>(this, moduleDirectory);
    if (host_) {
        effect_.numInputs = 0;
        effect_.numOutputs = core_->numOutputs();
        effect_.uniqueID = kUniqueId;
        effect_.flags |= effFlagsIsSynth | effFlagsCanReplacing;
    }
    if (editor) {
        editor_ = editor(*core_, *this);
        if (editor_) effect_.flags |= effFlagsHasEditor;
    }
    if ((effect_.flags & effFlagsIsSynth) || canDo("receiveVstMidiEvent") == 1) requestMidi();
    created_ = true;
}

VstEffect::~VstEffect() {
    effect_.object = nullptr;
    // A host may close the plug-in with its editor still open.
    if (editor_) editor_->close();
    core_.reset();
    editor_.reset();
}

VstIntPtr VstEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return host_ ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

void VstEffect::requestMidi() { callHost(audioMasterWantMidi, 0, 1); }

void VstEffect::updateDisplay() {
    if (created_) callHost(audioMasterUpdateDisplay);
}

void VstEffect::parameterChanged(int index, float value) {
    if (editor_) editor_->parameterChanged(index, value);
}

void VstEffect::automate(int index, float value) {
    if (created_ && index >= 0 && index < param::kCount) callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void VstEffect::notifyEditor(int code) {
    if (editor_) editor_->notify(code);
}

void VstEffect::beginEdit(int index) {
    if (created_ && index >= 0 && index < param::kCount) callHost(audioMasterBeginEdit, index);
}

void VstEffect::endEdit(int index) {
    if (created_ && index >= 0 && index < param::kCount) callHost(audioMasterEndEdit, index);
}

bool VstEffect::canSelectFiles() {
    int known = hostSelectsFiles_.load(std::memory_order_relaxed);
    if (known < 0) {
        const auto hostCan = [this](const char* what) {
            return callHost(audioMasterCanDo, 0, 0, const_cast<char*>(what)) == 1;
        };
        known = hostCan("openFileSelector") && hostCan("closeFileSelector") ? 1 : 0;
        hostSelectsFiles_.store(known, std::memory_order_relaxed);
    }
    return known == 1;
}

VstIntPtr VstEffect::openFileSelector(VstFileSelect& select) {
    return callHost(audioMasterOpenFileSelector, 0, 0, &select);
}

VstIntPtr VstEffect::closeFileSelector(VstFileSelect& select) {
    return callHost(audioMasterCloseFileSelector, 0, 0, &select);
}

VstIntPtr VstEffect::editorCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (!editor_) {
        if (opcode == effEditGetRect && ptr) *static_cast<ERect**>(ptr) = nullptr;
        return 0;
    }
    switch (opcode) {
        case effEditGetRect: {
            if (!ptr) return 0;
            const PluginEditor::Size size = editor_->size();
            editorRect_ = ERect{0, 0, static_cast<VstInt16>(size.height), static_cast<VstInt16>(size.width)};
            *static_cast<ERect**>(ptr) = &editorRect_;
            return 1;
        }
        case effEditOpen:
            return editor_->open(ptr) ? 1 : 0;
        case effEditClose:
            editor_->close();
            return 1;
        case effEditIdle:
            editor_->idle();
            return 1;
        case effEditKeyDown:
            return editor_->keyDown(index, static_cast<int>(value), static_cast<int>(opt)) ? 1 : 0;
        case effEditKeyUp:
            return editor_->keyUp(index, static_cast<int>(value), static_cast<int>(opt)) ? 1 : 0;
        case effSetEditKnobMode:
            editor_->setKnobMode(static_cast<int>(value));
            return 1;
        case effVendorSpecific:
            // The host's scale for the editor window.
            if (index != kVendorScaleIndex || value != kVendorScaleValue) return 0;
            editor_->setHostScale(opt);
            return 1;
        default:
            return 0;
    }
}

void VstEffect::setParameter(VstInt32 index, float value) { core_->setParameter(index, value); }

float VstEffect::getParameter(VstInt32 index) const { return core_ ? core_->getParameter(index) : 0.0f; }

void VstEffect::process(float** outputs, VstInt32 frames, bool replacing) {
    if (!outputs || frames < 0) return;
    DenormalGuard guard;
    TimeSnapshot snapshot;
    const TimeSnapshot* transport = nullptr;
    const auto* info = reinterpret_cast<const VstTimeInfo*>(
        callHost(audioMasterGetTime, 0, kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying));
    if (info) {
        snapshot.valid = true;
        snapshot.playing = (info->flags & kVstTransportPlaying) != 0;
        if (info->flags & kVstTempoValid) {
            snapshot.tempoValid = true;
            snapshot.tempo = info->tempo;
        }
        if (info->flags & kVstPpqPosValid) {
            snapshot.ppqValid = true;
            snapshot.ppqPos = info->ppqPos;
        }
        transport = &snapshot;
    }
    core_->process(outputs, frames, transport, replacing);
}

VstIntPtr VstEffect::canDo(const char* text) const {
    if (!text) return 0;
    static constexpr const char* kNo[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "bypass"};
    static constexpr const char* kYes[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo",
                                           "midiProgramNames"};
    for (const char* s : kNo)
        if (std::strcmp(text, s) == 0) return -1;
    for (const char* s : kYes)
        if (std::strcmp(text, s) == 0) return 1;
    return 0;
}

VstIntPtr VstEffect::outputProperties(int pin, VstPinProperties* properties) const {
    if (!properties) return 0;
    const OutputConfig& config = core_->outputConfig();
    const int masterPins = config.masterChannels();
    char label[kVstMaxLabelLen] = {};
    bool stereo = false;
    if (pin < 0) return 0;
    if (config.masterOn && pin < masterPins) {
        std::strcpy(label, "VRLTK Master");
        stereo = config.masterStereo;
    } else {
        const int p = pin - masterPins;
        if (p < 0 || p >= (config.triggerOn ? 18 : 17) * config.slotWidth()) return 0;
        const int k = config.instrumentsStereo ? p / 2 : p;
        if (k == 17) std::strcpy(label, "VRLTK TG");
        else std::snprintf(label, sizeof label, "VRLTK %d", k + 1);
        stereo = config.instrumentsStereo;
    }
    std::memcpy(properties->label, label, sizeof label);
    properties->flags = kVstPinIsActive | (stereo ? kVstPinIsStereo : 0);
    return 1;
}

VstIntPtr VstEffect::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    std::string chunk = core_->getChunk(isPreset);
    const std::lock_guard<std::mutex> lock(chunkLock_);
    chunk_ = std::move(chunk);
    *data = chunk_.empty() ? nullptr : chunk_.data();
    return static_cast<VstIntPtr>(chunk_.size());
}

VstIntPtr VstEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen:
        case effClose:
            return 0;
        case effSetProgram:
            // The full width of the value: a number that only its low 32 bits make valid is not one.
            if (value >= 0 && value < kNumPrograms) core_->selectProgram(static_cast<int>(value));
            if (editor_) editor_->stateReplaced();
            return 0;
        case effGetProgram:
            return core_->currentProgram();
        case effSetProgramName:
            if (ptr) core_->setProgramName(static_cast<const char*>(ptr));
            if (editor_) editor_->stateReplaced();
            return 0;
        case effGetProgramName:
            core_->getProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetParamLabel:
            core_->getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            return 0;
        case effGetParamName:
            core_->getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effSetSampleRate:
            if (opt > 0.0f) sampleRate_ = opt;
            core_->setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            blockSize_ = static_cast<VstInt32>(value);
            return 0;
        case effSetBlockSizeAndSampleRate:
            blockSize_ = static_cast<VstInt32>(value);
            sampleRate_ = opt;
            return 1;
        case effConnectInput:
        case effConnectOutput:
            return 1;
        case effKeysRequired:
            return 1;
        case effMainsChanged:
            core_->setProcessing(value != 0);
            if (value != 0) requestMidi();
            return 0;
        case effEditGetRect:
        case effEditOpen:
        case effEditClose:
        case effEditIdle:
        case effEditKeyDown:
        case effEditKeyUp:
        case effSetEditKnobMode:
        case effVendorSpecific:
            return editorCall(opcode, index, value, ptr, opt);
        case effIdentify:
            return kIdentifyAnswer;
        case effGetChunk:
            return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk: {
            // 0 tells the host the chunk was not taken; the state is then as it was.
            const bool taken = ptr && value > 0 ? core_->setChunk(ptr, static_cast<std::size_t>(value), index != 0)
                                                : core_->setChunk(nullptr, 0, index != 0);
            if (taken && editor_) editor_->stateReplaced();
            return taken ? 1 : 0;
        }
        case effProcessEvents: {
            const auto* events = static_cast<const VstEvents*>(ptr);
            if (events) {
                for (VstInt32 i = 0; i < events->numEvents; ++i) {
                    const VstEvent* event = events->events[i];
                    if (!event || event->type != kVstMidiType) continue;
                    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
                    const std::uint32_t message = static_cast<unsigned char>(midi->midiData[0]) |
                                                  (static_cast<unsigned char>(midi->midiData[1]) << 8) |
                                                  (static_cast<unsigned char>(midi->midiData[2]) << 16);
                    core_->midiEvent(message, midi->deltaFrames);
                }
            }
            return 1;
        }
        case effCanBeAutomated:
            return 1;
        case effString2Parameter:
            return 0;
        case effGetNumProgramCategories:
            return 1;
        case effGetProgramNameIndexed:
            return core_->getProgramNameIndexed(static_cast<int>(value), index, static_cast<char*>(ptr)) ? 1 : 0;
        case effGetInputProperties:
            return 0;
        case effGetOutputProperties:
            return outputProperties(index, static_cast<VstPinProperties*>(ptr));
        case effGetPlugCategory:
            return kPlugCategSynth;
        case effSetSpeakerArrangement:
            return 0;
        case effGetSpeakerArrangement:
            if (value) *reinterpret_cast<void**>(value) = nullptr;
            if (ptr) *static_cast<void**>(ptr) = nullptr;
            return 0;
        case effSetBypass:
            return 0;
        case effGetEffectName:
            copyString(ptr, kEffectName, kVstMaxEffectNameLen - 1);
            return ptr ? 1 : 0;
        case effGetProductString:
            copyString(ptr, kEffectName, kVstMaxProductStrLen - 1);
            return ptr ? 1 : 0;
        case effGetVendorString:
            copyString(ptr, kVendor, kVstMaxVendorStrLen - 1);
            return ptr ? 1 : 0;
        case effGetVendorVersion:
            return core_->version();
        case effCanDo:
            return canDo(static_cast<const char*>(ptr));
        case effGetTailSize:
            return 0;
        case effGetParameterProperties:
            return 0;
        case effGetVstVersion:
            return kVstVersion;
        case effGetMidiProgramName:
        case effGetMidiProgramCategory:
            return 0;
        case effGetCurrentMidiProgram:
            return -1;
        case effHasMidiProgramsChanged:
        case effGetMidiKeyName:
        case effBeginSetProgram:
        case effEndSetProgram:
        case effStartProcess:
        case effStopProcess:
            return 0;
        case effSetTotalSampleToProcess:
            return value;
        case effSetPanLaw:
        case effSetProcessPrecision:
        case effBeginLoadBank:
        case effBeginLoadProgram:
            return 0;
        case effGetNumMidiInputChannels:
            return 1;
        case effGetNumMidiOutputChannels:
            return 0;
        default:
            return 0;
    }
}

}  // namespace vorlatek
