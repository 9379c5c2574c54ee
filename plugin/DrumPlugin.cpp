#include "plugin/DrumPlugin.h"

#include "engine/DrumEngine.h"
#include "plugin/ModuleServices.h"
#include "plugin/StateDocuments.h"
#include "sequencer/Arrangement.h"
#include "sequencer/PatternEditor.h"
#include "sequencer/PatternFiles.h"
#include "sequencer/PatternStore.h"
#include "sequencer/SequencerClock.h"
#include "sequencer/XmlDocument.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>
#include <utility>

namespace vorlatek {

namespace {

constexpr int kGateFree = 0;
constexpr int kGateAudio = 1;
constexpr int kGateEditing = 2;

// The extension of a path: the text from its last '.', or "" when it has none.
std::string_view extensionOf(std::string_view path) {
    const auto dot = path.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot);
}

bool extensionIs(std::string_view path, const char* extension) {
    const std::string_view ext = extensionOf(path);
    return ext.size() == std::strlen(extension) && strncasecmp(ext.data(), extension, ext.size()) == 0;
}

template <class T>
void copyBytes(T& destination, const T& source) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(&destination, &source, sizeof(T));
}

}  // namespace

DrumPlugin::DrumPlugin(PluginHost* host, std::string moduleDirectory)
    : BasePlugin(param::kCount, std::move(moduleDirectory)), host_(host) {
    if (!this->moduleDirectory().empty())
        userSettingsPath_ = joinPath(this->moduleDirectory(), kUserSettingsFile);

    // 128 empty presets are the PresetBank's own construction; usage time starts now.
    lastSeenTime_ = std::time(nullptr);
    for (int i = 0; i < kInstrumentCount; ++i) outAssign_[static_cast<std::size_t>(i)] = i;

    SequencerListener* listener = this;
    engine_ = std::make_unique<DrumEngine>();
    store_ = std::make_unique<PatternStore>(&thresholds_);
    arrangement_ = std::make_unique<Arrangement>(engine_.get(), listener, selection_, thresholds_);
    editor_ = std::make_unique<PatternEditor>(*store_, sequencer_, edition_, selection_, arrangement_->position(),
                                              requests_, listener);
    sequencerClock_ = std::make_unique<SequencerClock>(*arrangement_, *engine_, router_, liveSettings_, clock_,
                                                       midiQueue_, *listener, requests_);
    candidate_ = std::make_unique<LiveState>();
    lastHandedOver_ = std::make_unique<LiveState>();
    std::memset(static_cast<void*>(lastHandedOver_.get()), 0, sizeof(LiveState));
    arrangement_->setPatterns(&handoff_.front().patterns, &handoff_.front().thinning);

    {
        Scope scope(*this);
        StateDocuments::loadAtConstruction(*this);
        router_.setConfig(outputConfig_);
        ++parameterEpoch_;
    }
}

DrumPlugin::~DrumPlugin() {
    Scope scope(*this);
    StateDocuments::saveUserSettings(*this);
}

// Editing scope ---------------------------------------------------------------------------

DrumPlugin::Scope::Scope(const DrumPlugin& plugin) : plugin_(const_cast<DrumPlugin&>(plugin)) { plugin_.beginScope(); }

DrumPlugin::Scope::~Scope() { plugin_.endScope(); }

void DrumPlugin::beginScope() {
    lock_.lock();
    if (scopeDepth_++ == 0) takeFromAudio();
}

void DrumPlugin::endScope() {
    const bool outermost = --scopeDepth_ == 0;
    bool updateDisplay = false;
    if (outermost) {
        handOver();
        updateDisplay = std::exchange(displayUpdatePending_, false);
    }
    lock_.unlock();
    if (!outermost) return;
    applyIfIdle();
    if (updateDisplay && host_) host_->updateDisplay();
}

void DrumPlugin::takeFromAudio() {
    arrangement_->tapJournal().drain([this](const TapRecord& tap) {
        tap.applyTo(*store_);
        tapsMerged_ = tap.sequence;
    });
    editor_->followPlayback();
}

void DrumPlugin::handOver() {
    LiveState& next = *candidate_;
    std::memset(static_cast<void*>(&next), 0, sizeof next);
    copyBytes(next.patterns, store_->library());
    const RandomThinning thinning = store_->thinning();
    next.thinning.active = thinning.active;
    next.thinning.pattern = thinning.pattern;
    std::copy(std::begin(thinning.rows), std::end(thinning.rows), next.thinning.rows);
    copyBytes(next.thinning.rank, thinning.rank);
    copyBytes(next.settings, sequencer_);
    next.outAssign = outAssign_;
    next.triggerSource = triggerSource_;
    next.drumNotes = drumMap_.notes();
    next.tapsMerged = tapsMerged_;
    next.parameterEpoch = parameterEpoch_;
    for (int i = 0; i < param::kCount; ++i) next.parameters[static_cast<std::size_t>(i)] = getParameter(i);
    if (std::memcmp(&next, lastHandedOver_.get(), sizeof next) == 0) return;
    copyBytes(handoff_.back(), next);
    handoff_.publish();
    copyBytes(*lastHandedOver_, next);
}

void DrumPlugin::applyIfIdle() {
    if (processing_.load(std::memory_order_acquire)) return;
    int expected = kGateFree;
    if (!gate_.compare_exchange_strong(expected, kGateEditing, std::memory_order_acquire)) return;
    takeOver();
    gate_.store(kGateFree, std::memory_order_release);
}

// Audio side -------------------------------------------------------------------------------

void DrumPlugin::takeOver() {
    const float rate = pendingRate_.exchange(0.0f, std::memory_order_acquire);
    if (rate > 0.0f) {
        engine_->setSampleRate(static_cast<float>(std::clamp(static_cast<double>(rate), kMinEngineRate, kMaxEngineRate)));
        sequencerClock_->setFrameRate(rate);
    }
    if (handoff_.adopt()) {
        LiveState& state = handoff_.front();
        arrangement_->tapJournal().replayAfter(state.tapsMerged, state.patterns);
        arrangement_->setPatterns(&state.patterns, &state.thinning);
        liveSettings_ = state.settings;
        for (int i = 0; i < kInstrumentCount; ++i) router_.setAssign(i, state.outAssign[static_cast<std::size_t>(i)]);
        engine_->setTriggerOutputInstrument(state.triggerSource);
        sequencerClock_->setDrumNotes(&state.drumNotes);
        if (state.parameterEpoch != appliedEpoch_) {
            appliedEpoch_ = state.parameterEpoch;
            for (int i = 0; i < param::kCount; ++i) applyParameter(i, state.parameters[static_cast<std::size_t>(i)]);
            engine_->settleLevels();
        }
    }
    changes_.take([this](int index) { applyParameter(index, getParameter(index)); });
    if (settlePending_.exchange(false, std::memory_order_acquire)) engine_->settleLevels();
}

void DrumPlugin::applyParameter(int index, float value) {
    if (index <= param::kLastEngineParameter) engine_->setParameter(index, value);
}

// Parameters ------------------------------------------------------------------------------

bool DrumPlugin::storeParameter(int index, float value, bool mark) {
    if (index < 0 || index >= param::kCount || std::isnan(value)) return false;
    value = std::clamp(value, 0.0f, 1.0f);
    if (index < param::kPresetCount)
        presets_.slot(currentProgram()).setValue(index, value);
    else
        globals_[static_cast<std::size_t>(index - param::kFirstGlobal)].store(value, std::memory_order_relaxed);
    if (index >= param::kFirstRandomThreshold) thresholds_.set(index - param::kFirstRandomThreshold, value);
    if (mark) changes_.mark(index);
    return true;
}

void DrumPlugin::setParameter(int index, float value) {
    if (!storeParameter(index, value)) return;
    if (host_) host_->parameterChanged(index, getParameter(index));
    applyIfIdle();
}

void DrumPlugin::editParameter(int index, float value) {
    if (!storeParameter(index, value)) return;
    if (host_) {
        const float stored = getParameter(index);
        host_->parameterChanged(index, stored);
        host_->automate(index, stored);
    }
    applyIfIdle();
}

float DrumPlugin::getParameter(int index) const {
    if (index >= 0 && index < param::kPresetCount) return presets_.slot(currentProgram()).value(index);
    if (index >= param::kFirstGlobal && index < param::kCount)
        return globals_[static_cast<std::size_t>(index - param::kFirstGlobal)].load(std::memory_order_relaxed);
    return 0.0f;
}

void DrumPlugin::replaceAllParameters() {
    ++parameterEpoch_;
    if (!host_) return;
    for (int i = 0; i < param::kCount; ++i) host_->parameterChanged(i, getParameter(i));
}

// Sample rate -----------------------------------------------------------------------------

void DrumPlugin::setSampleRate(float rate) {
    // A host that announces no usable rate keeps the last one: every time constant of the
    // engine divides by it.
    if (!(rate > 0.0f) || !std::isfinite(rate)) return;
    sampleRate_.store(static_cast<double>(rate), std::memory_order_relaxed);
    pendingRate_.store(rate, std::memory_order_release);
    applyIfIdle();
}

// Outputs -----------------------------------------------------------------------------------

int DrumPlugin::outAssign(int instrument) const {
    if (instrument < 0 || instrument >= kInstrumentCount) return -1;
    Scope scope(*this);
    return outAssign_[static_cast<std::size_t>(instrument)];
}

void DrumPlugin::setOutAssign(int instrument, int output) {
    if (instrument < 0 || instrument >= kInstrumentCount) return;
    Scope scope(*this);
    outAssign_[static_cast<std::size_t>(instrument)] = std::clamp(output, 0, OutputRouter::kSlotCount - 1);
}

int DrumPlugin::triggerSource() const {
    Scope scope(*this);
    return triggerSource_;
}

// Programs ------------------------------------------------------------------------------------

void DrumPlugin::selectProgram(int n) {
    Scope scope(*this);
    if (n == -1) n = currentProgram();
    if (!PresetBank::validIndex(n)) return;
    currentProgram_.store(n, std::memory_order_relaxed);
    // One step marks the whole sound, so the engine never plays half of the old program.
    changes_.markPreset();
    settlePending_.store(true, std::memory_order_release);
    if (host_)
        for (int i = 0; i < param::kPresetCount; ++i) host_->parameterChanged(i, getParameter(i));
    displayUpdatePending_ = true;
}

void DrumPlugin::setProgramName(const char* text) {
    Scope scope(*this);
    if (PresetSlot* slot = getPresetSlot(-1)) slot->setName(text);
}

void DrumPlugin::getProgramName(char* text) const {
    if (!text) return;
    Scope scope(*this);
    const PresetSlot& slot = presets_.slot(currentProgram());
    std::memcpy(text, slot.name, sizeof slot.name);
}

bool DrumPlugin::getProgramNameIndexed(int, int index, char* text) const {
    Scope scope(*this);
    if (index == -1) index = currentProgram();
    if (!text || !PresetBank::validIndex(index)) return false;
    const PresetSlot& slot = presets_.slot(index);
    std::memcpy(text, slot.name, sizeof slot.name);
    return true;
}

PresetSlot* DrumPlugin::getPresetSlot(int n) {
    if (n == -1) n = currentProgram();
    return PresetBank::validIndex(n) ? &presets_.slot(n) : nullptr;
}

void DrumPlugin::movePreset(int direction) {
    Scope scope(*this);
    const int current = currentProgram();
    const int neighbour = direction <= 0 ? current - 1 : current + 1;
    if (!PresetBank::validIndex(neighbour)) return;
    presets_.swap(current, neighbour);
    selectProgram(neighbour);
}

bool DrumPlugin::loadPresetFile(const std::string& path) {
    const bool single = extensionIs(path, ".vpp");
    if (!single && !extensionIs(path, ".vpb")) return false;
    const xml::Document doc = xml::Document::parseFile(path);
    Scope scope(*this);
    bool read = false;
    if (single && xml::isElement(doc.root(), "VorlatekPreset")) {
        PresetBank::readPreset(doc.root(), *getPresetSlot(-1), *this);
        read = true;
    } else if (!single && xml::isElement(doc.root(), "VorlatekPresetBank")) {
        presets_.readPresetBank(doc.root(), *this);
        read = true;
    }
    selectProgram(-1);
    return read;
}

bool DrumPlugin::savePresetFile(const std::string& path) const {
    if (path.empty()) return false;
    Scope scope(*this);
    if (extensionIs(path, ".vpp"))
        return xml::Document::withRoot(PresetBank::writePreset(presets_.slot(currentProgram()), *this)).saveFile(path);
    if (extensionIs(path, ".vpb")) return xml::Document::withRoot(presets_.writePresetBank(*this)).saveFile(path);
    return false;
}

bool DrumPlugin::savePatternFile(const std::string& path) const {
    Scope scope(*this);
    const PresetSlot& slot = presets_.slot(currentProgram());
    return vorlatek::savePatternFile(path, *store_, edition_.editedSimplePattern, edition_.editedExtendedPattern,
                                     [&] { return PresetBank::writePreset(slot, *this); });
}

bool DrumPlugin::loadPatternBankFile(const std::string& path) {
    Scope scope(*this);
    // A pending random result belongs to the patterns a bank replaces: give them back first.
    store_->discardRandom();
    return vorlatek::loadPatternBankFile(path, *store_);
}

// Host chunks ---------------------------------------------------------------------------------

std::string DrumPlugin::getChunk(bool isPreset) const {
    Scope scope(*this);
    if (isPreset) {
        const PresetSlot& slot = presets_.slot(currentProgram());
        return xml::Document::withRoot(PresetBank::writePreset(slot, *this)).dump();
    }
    return xml::Document::withRoot(StateDocuments::writeBank(*this)).dump();
}

bool DrumPlugin::setChunk(const void* data, std::size_t size, bool isPreset) {
    const xml::Document doc = xml::Document::parseMemory(data, size);
    Scope scope(*this);
    if (isPreset) {
        const bool read = xml::isElement(doc.root(), "VorlatekPreset");
        if (read) PresetBank::readPreset(doc.root(), *getPresetSlot(-1), *this);
        selectProgram(-1);
        return read;
    }
    if (!xml::isElement(doc.root(), "VorlatekBank")) {
        selectProgram(-1);
        return false;
    }
    // The patterns are about to be replaced: a pending random result would otherwise be
    // finished later on patterns it was never made for.
    store_->discardRandom();
    StateDocuments::readBank(*this, doc.root());
    replaceAllParameters();
    displayUpdatePending_ = true;
    return true;
}

// MIDI --------------------------------------------------------------------------------------------

void DrumPlugin::midiEvent(std::uint32_t message, std::int32_t offset) {
    const int status = static_cast<int>(message & 0xF0u);
    const int data1 = static_cast<int>((message >> 8) & 0xFFu);
    const int data2 = static_cast<int>((message >> 16) & 0xFFu);
    if (status == 0xB0 && data1 <= 120) handleController(data1, data2);
    if (status == 0x90 || status == 0x80 || (status == 0xB0 && data1 == 123)) midiQueue_.push(message, offset);
}

void DrumPlugin::setMidiLearn(bool on) {
    learnActive_.store(on, std::memory_order_relaxed);
    learnTarget_.store(-1, std::memory_order_relaxed);
    notifyEditor(kNotifyMidiLearn);
}

void DrumPlugin::midiLearnAssigned() { notifyEditor(kNotifyMidiLearnAssigned); }

// Processing ----------------------------------------------------------------------------------------

void DrumPlugin::process(float** outputs, int frames, const TimeSnapshot* transport, bool replacing) {
    int expected = kGateFree;
    if (!gate_.compare_exchange_strong(expected, kGateAudio, std::memory_order_acquire)) {
        // Only a host that processes while it said processing was off gets here, during a
        // state change applied at once: this block stays silent.
        if (outputs && replacing)
            for (int pin = 0; pin < numOutputs_; ++pin)
                if (outputs[pin]) std::fill(outputs[pin], outputs[pin] + std::max(frames, 0), 0.0f);
        return;
    }
    takeOver();
    sequencerClock_->processBlock(outputs, frames, transport, replacing);
    gate_.store(kGateFree, std::memory_order_release);
}

void DrumPlugin::setProcessing(bool on) { processing_.store(on, std::memory_order_release); }

bool DrumPlugin::takeInstrumentActivity(int row) {
    if (row < 0 || row >= static_cast<int>(activity_.size())) return false;
    return activity_[static_cast<std::size_t>(row)].exchange(false, std::memory_order_relaxed);
}

void DrumPlugin::requestStart() { requests_.command.store(kCommandStart, std::memory_order_relaxed); }

void DrumPlugin::requestStop() { requests_.command.store(kCommandStop, std::memory_order_relaxed); }

const PlaybackPosition& DrumPlugin::playbackPosition() const { return arrangement_->position(); }

// Plug-in state ---------------------------------------------------------------------------------------

void DrumPlugin::setIntSeqOn(bool on) {
    Scope scope(*this);
    if (sequencer_.intSeqOn == on) return;
    sequencer_.intSeqOn = on;
    notifyEditor(kNotifyInternalSequencer);
    editor_->refreshRandomGate();
}

void DrumPlugin::setSyncInternal(int value) {
    Scope scope(*this);
    if (sequencer_.syncInternal == value) return;
    sequencer_.syncInternal = value;
    notifyEditor(kNotifySyncMode);
}

void DrumPlugin::setHostMode(bool on) {
    Scope scope(*this);
    if (sequencer_.hostMode == on) return;
    sequencer_.hostMode = on;
    notifyEditor(kNotifyHostMode);
    editor_->hostModeChanged();
}

void DrumPlugin::setNoteOff(bool on) {
    Scope scope(*this);
    if (sequencer_.noteOff == on) return;
    sequencer_.noteOff = on;
    notifyEditor(kNotifyNoteOff);
}

void DrumPlugin::setDrumChannel(int channel) {
    Scope scope(*this);
    if (SequencerSettings::validDrumChannel(channel)) sequencer_.drumChannel = channel;
}

void DrumPlugin::setExtSyncType(int value) {
    Scope scope(*this);
    if (value == kExtSyncTransportChange || value == kExtSyncLowestNote) sequencer_.extSyncType = value;
}

void DrumPlugin::setWriteMode(bool on) { patternEditor()->setWriteMode(on); }

void DrumPlugin::setAutoFollow(bool on) { patternEditor()->setAutoFollow(on); }

void DrumPlugin::setRandMode(bool on) { patternEditor()->setRandMode(on); }

void DrumPlugin::setLengthMode(bool on) { patternEditor()->setLengthMode(on); }

void DrumPlugin::setEditedSimplePattern(int index) { patternEditor()->setEditedSimplePattern(index); }

void DrumPlugin::setEditedExtendedPattern(int index) { patternEditor()->setEditedExtendedPattern(index); }

void DrumPlugin::setEditedExtendedVariation(int variation) { patternEditor()->setEditedExtendedVariation(variation); }

void DrumPlugin::setEditedExtendedPart(int part) { patternEditor()->setEditedExtendedPart(part); }

void DrumPlugin::setSelectedInstrument(int row, bool on) { patternEditor()->setSelectedInstrument(row, on); }

std::int32_t DrumPlugin::usageSeconds() const {
    Scope scope(*this);
    return usageSeconds_;
}

void DrumPlugin::updateUsageTime() {
    Scope scope(*this);
    const std::time_t now = std::time(nullptr);
    if (now > lastSeenTime_) {
        usageSeconds_ += static_cast<std::int32_t>(now - lastSeenTime_);
        lastSeenTime_ = now;
    }
}

// Notifications ---------------------------------------------------------------------------------------

void DrumPlugin::notifyEditor(int code) const {
    if (host_) host_->notifyEditor(code);
}

void DrumPlugin::notify(int code) { notifyEditor(code); }

void DrumPlugin::instrumentActivity(int row) {
    if (row >= 0 && row < static_cast<int>(activity_.size())) activity_[static_cast<std::size_t>(row)].store(true, std::memory_order_relaxed);
    notifyEditor(kNotifyInstrumentActivity);
}

}  // namespace vorlatek
