#include "host/PluginInstance.h"

#include "host/HostError.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace vorlatek::host {
namespace {

constexpr vst::VstIntPtr kHostVstVersion = 2400;
constexpr const char* kHostVendor = "Velmora Group Audio Software";
constexpr const char* kHostProduct = "vorlatek-host";

// Plain sanity limits for the counts a plug-in publishes; anything beyond them means the
// record is not what it claims to be.
constexpr vst::VstInt32 kMaxPins = 4096;
constexpr vst::VstInt32 kMaxParamsOrPrograms = 1 << 20;

// Buffers handed to string calls: far above every limit of the interface.
constexpr std::size_t kStringBufferSize = 1024;

// The instance whose entry point is running: the plug-in may call back (for the version)
// before it has a record to pass along.
std::atomic<PluginInstance*> instanceBeingCreated{nullptr};

void copyString(void* ptr, const char* text, std::size_t capacity) {
    if (ptr == nullptr) return;
    auto* out = static_cast<char*>(ptr);
    std::size_t n = std::min(std::strlen(text), capacity - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

}  // namespace

PluginInstance::PluginInstance(const std::string& path) : PluginInstance(std::make_shared<PluginModule>(path)) {}

PluginInstance::PluginInstance(std::shared_ptr<PluginModule> module) : module_(std::move(module)) {
    const std::string& path = module_->path();
    auto entry = module_->entry();
    instanceBeingCreated.store(this);
    vst::AEffect* effect = entry(&PluginInstance::callback);
    instanceBeingCreated.store(nullptr);

    const char* problem = nullptr;
    if (effect == nullptr) {
        problem = "its entry point returned no plug-in";
    } else if (effect->magic != vst::kEffectMagic) {
        problem = "wrong magic number in the plug-in record";
    } else if (effect->dispatcher == nullptr) {
        problem = "the plug-in record has no dispatcher";
    } else if (effect->numInputs < 0 || effect->numInputs > kMaxPins || effect->numOutputs < 0 ||
               effect->numOutputs > kMaxPins || effect->numParams < 0 ||
               effect->numParams > kMaxParamsOrPrograms || effect->numPrograms < 0 ||
               effect->numPrograms > kMaxParamsOrPrograms) {
        problem = "the plug-in record has implausible pin, parameter or program counts";
    }
    // Nothing in such a record can be trusted, so it is not closed through it.
    if (problem != nullptr) throw HostError(path + " is not a VST 2.4 plug-in: " + problem);
    effect_ = effect;
    effect_->resvd1 = reinterpret_cast<vst::VstIntPtr>(this);
}

PluginInstance::~PluginInstance() { close(); }

vst::VstIntPtr PluginInstance::dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                        void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::open() {
    if (opened_) return;
    dispatch(vst::effOpen);
    opened_ = true;
}

void PluginInstance::resume() {
    dispatch(vst::effMainsChanged, 0, 1);
    resumed_ = true;
}

void PluginInstance::suspend() {
    if (!resumed_) return;
    dispatch(vst::effMainsChanged, 0, 0);
    resumed_ = false;
}

void PluginInstance::close() {
    if (effect_ == nullptr) return;
    suspend();
    // After effClose the record belongs to nobody: the plug-in has destroyed it.
    dispatch(vst::effClose);
    effect_ = nullptr;
    opened_ = false;
}

std::string PluginInstance::stringCall(vst::VstInt32 opcode, vst::VstInt32 index) {
    std::array<char, kStringBufferSize> buffer{};
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

vst::VstIntPtr PluginInstance::canDo(const std::string& what) {
    std::vector<char> text(what.begin(), what.end());
    text.push_back('\0');
    return dispatch(vst::effCanDo, 0, 0, text.data());
}

PinInfo PluginInstance::outputPin(int pin) {
    vst::VstPinProperties properties{};
    PinInfo result;
    result.answered = dispatch(vst::effGetOutputProperties, pin, 0, &properties) != 0;
    if (!result.answered) return result;
    properties.label[sizeof(properties.label) - 1] = '\0';
    result.label = properties.label;
    result.stereo = (properties.flags & vst::kVstPinIsStereo) != 0;
    result.active = (properties.flags & vst::kVstPinIsActive) != 0;
    return result;
}

void PluginInstance::setParameter(int index, float value) {
    if (effect_->setParameter != nullptr) effect_->setParameter(effect_, index, value);
}

float PluginInstance::getParameter(int index) {
    return effect_->getParameter != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

std::vector<char> PluginInstance::getChunk(bool programForm) {
    void* data = nullptr;
    vst::VstIntPtr size = dispatch(vst::effGetChunk, programForm ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const char* bytes = static_cast<const char*>(data);
    return std::vector<char>(bytes, bytes + size);
}

vst::VstIntPtr PluginInstance::setChunk(std::vector<char>& data, bool programForm) {
    return dispatch(vst::effSetChunk, programForm ? 1 : 0, static_cast<vst::VstIntPtr>(data.size()), data.data());
}

void PluginInstance::loadChunk(std::vector<char>& data, bool programForm, const std::string& file) {
    const std::vector<char> before = getChunk(programForm);
    if (setChunk(data, programForm) != 0) return;
    const std::vector<char> after = getChunk(programForm);
    if (after != before || after == data) return;
    throw HostError("the plug-in refused the " + std::string(programForm ? "program" : "bank") + " chunk in " + file);
}

int PluginInstance::requestCount(vst::VstInt32 opcode) const {
    return opcode >= 0 && static_cast<std::size_t>(opcode) < requests_.size()
               ? requests_[static_cast<std::size_t>(opcode)].load(std::memory_order_relaxed)
               : 0;
}

void PluginInstance::processEvents(vst::VstEvents* events) { dispatch(vst::effProcessEvents, 0, 0, events); }

void PluginInstance::process(float** inputs, float** outputs, int frames) {
    if (hasFlag(vst::effFlagsCanReplacing) && effect_->processReplacing != nullptr) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    } else if (effect_->process != nullptr) {
        effect_->process(effect_, inputs, outputs, frames);
    } else {
        throw HostError("the plug-in has no process routine");
    }
}

vst::VstIntPtr PluginInstance::callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                        vst::VstIntPtr value, void* ptr, float opt) {
    PluginInstance* self = nullptr;
    if (effect != nullptr && effect->resvd1 != 0) {
        self = reinterpret_cast<PluginInstance*>(effect->resvd1);
    } else {
        self = instanceBeingCreated.load();
    }
    if (self == nullptr) return opcode == vst::audioMasterVersion ? kHostVstVersion : 0;
    return self->answer(opcode, index, value, ptr, opt);
}

vst::VstIntPtr PluginInstance::answer(vst::VstInt32 opcode, vst::VstInt32 /*index*/, vst::VstIntPtr /*value*/,
                                      void* ptr, float /*opt*/) {
    if (opcode >= 0 && static_cast<std::size_t>(opcode) < requests_.size())
        requests_[static_cast<std::size_t>(opcode)].fetch_add(1, std::memory_order_relaxed);
    switch (opcode) {
    case vst::audioMasterVersion:
        return kHostVstVersion;
    case vst::audioMasterGetSampleRate:
        return static_cast<vst::VstIntPtr>(host_.sampleRate);
    case vst::audioMasterGetBlockSize:
        return host_.blockSize;
    case vst::audioMasterGetTime:
        return host_.timeInfoEnabled ? reinterpret_cast<vst::VstIntPtr>(&host_.timeInfo) : 0;
    case vst::audioMasterGetVendorString:
        copyString(ptr, kHostVendor, vst::kVstMaxVendorStrLen);
        return 1;
    case vst::audioMasterGetProductString:
        copyString(ptr, kHostProduct, vst::kVstMaxProductStrLen);
        return 1;
    case vst::audioMasterCanDo: {
        if (ptr == nullptr) return 0;
        std::string what(static_cast<const char*>(ptr));
        if (what == "sendVstEvents" || what == "sendVstMidiEvent") return 1;
        if (what == "sendVstTimeInfo") return host_.timeInfoEnabled ? 1 : -1;
        // Things this host knowingly does not do: no MIDI from the plug-in, no window,
        // no file selector, no I/O changes, no shell plug-ins.
        static constexpr const char* kNo[] = {
            "receiveVstEvents", "receiveVstMidiEvent", "reportConnectionChanges", "acceptIOChanges",
            "sizeWindow",       "offline",             "openFileSelector",        "closeFileSelector",
            "editFile",         "shellCategory",       "startStopProcess",        "supplyIdle"};
        for (const char* no : kNo) {
            if (what == no) return -1;
        }
        return 0;
    }
    default:
        // audioMasterAutomate, audioMasterWantMidi, audioMasterUpdateDisplay and the rest
        // are accepted and need nothing from an offline host.
        return 0;
    }
}

}  // namespace vorlatek::host
