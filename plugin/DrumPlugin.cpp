#include "plugin/DrumPlugin.h"

#include "engine/DrumEngine.h"
#include "plugin/ModuleServices.h"
#include "plugin/StateDocuments.h"
#include "sequencer/PatternEditor.h"
#include "sequencer/PatternFiles.h"
#include "sequencer/PatternStore.h"
#include "sequencer/SequencerClock.h"
#include "sequencer/XmlDocument.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

namespace vorlatek {

namespace {

// The extension of a path: the text from its last '.', or "" when it has none.
std::string_view extensionOf(std::string_view path) {
    const auto dot = path.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot);
}

bool extensionIs(std::string_view path, const char* extension) {
    const std::string_view ext = extensionOf(path);
    return ext.size() == std::strlen(extension) && strncasecmp(ext.data(), extension, ext.size()) == 0;
}

}  // namespace

DrumPlugin::DrumPlugin(PluginHost* host, std::string moduleDirectory)
    : BasePlugin(param::kCount, std::move(moduleDirectory)), host_(host) {
    if (!this->moduleDirectory().empty())
        userSettingsPath_ = joinPath(this->moduleDirectory(), kUserSettingsFile);

    // 128 empty presets are the PresetBank's own construction; usage time starts now.
    lastSeenTime_ = std::time(nullptr);

    engine_ = std::make_unique<DrumEngine>();
    SequencerListener* listener = this;
    store_ = std::make_unique<PatternStore>(engine_.get(), listener);
    editor_ = std::make_unique<PatternEditor>(*store_, sequencer_, edition_, clock_);
    sequencerClock_ = std::make_unique<SequencerClock>(*store_, *engine_, router_, sequencer_, edition_, clock_,
                                                       midiQueue_, *listener);

    StateDocuments::loadAtConstruction(*this);
}

DrumPlugin::~DrumPlugin() { StateDocuments::saveUserSettings(*this); }

// Parameters ------------------------------------------------------------------------------

void DrumPlugin::setParameter(int index, float value) {
    if (index >= 0 && index < param::kPresetCount) {
        if (PresetSlot* slot = getPresetSlot(-1)) slot->values[static_cast<std::size_t>(index)] = value;
    } else if (index >= param::kFirstGlobal && index < param::kCount) {
        globals_[static_cast<std::size_t>(index - param::kFirstGlobal)] = value;
    }
    engine_->setParameter(index, value);
    if (index >= param::kFirstRandomThreshold && index < param::kCount)
        store_->randThreshold[static_cast<std::size_t>(index - param::kFirstRandomThreshold)] = value;
    if (host_) host_->parameterChanged(index, value);
}

float DrumPlugin::getParameter(int index) const {
    if (index >= 0 && index < param::kPresetCount)
        return presets_.slot(currentProgram_.load(std::memory_order_relaxed)).values[static_cast<std::size_t>(index)];
    if (index >= param::kFirstGlobal && index < param::kCount)
        return globals_[static_cast<std::size_t>(index - param::kFirstGlobal)];
    return 0.0f;
}

// Sample rate -----------------------------------------------------------------------------

void DrumPlugin::setSampleRate(float rate) {
    // A host that announces no usable rate keeps the last one: every time constant of the
    // engine divides by it.
    if (!(rate > 0.0f) || !std::isfinite(rate)) return;
    sampleRate_ = static_cast<double>(rate);
    engine_->setSampleRate(rate);
}

// Outputs -----------------------------------------------------------------------------------

int DrumPlugin::outAssign(int instrument) const {
    if (instrument < 0 || instrument >= kInstrumentCount) return -1;
    return router_.assign(instrument);
}

void DrumPlugin::setOutAssign(int instrument, int output) { router_.setAssign(instrument, output); }

int DrumPlugin::triggerSource() const { return engine_->triggerOutputInstrument(); }

// Programs ------------------------------------------------------------------------------------

void DrumPlugin::selectProgram(int n) {
    if (n == -1) n = currentProgram_.load(std::memory_order_relaxed);
    if (!PresetBank::validIndex(n)) return;
    currentProgram_.store(n, std::memory_order_relaxed);
    const PresetSlot& slot = presets_.slot(n);
    for (int i = 0; i < param::kPresetCount; ++i) setParameter(i, slot.values[static_cast<std::size_t>(i)]);
    if (host_) host_->updateDisplay();
}

void DrumPlugin::setProgramName(const char* text) {
    if (PresetSlot* slot = getPresetSlot(-1)) slot->setName(text);
}

void DrumPlugin::getProgramName(char* text) const {
    if (!text) return;
    const PresetSlot& slot = presets_.slot(currentProgram_.load(std::memory_order_relaxed));
    std::memcpy(text, slot.name, sizeof slot.name);
}

bool DrumPlugin::getProgramNameIndexed(int, int index, char* text) const {
    if (index == -1) index = currentProgram_.load(std::memory_order_relaxed);
    if (!text || !PresetBank::validIndex(index)) return false;
    const PresetSlot& slot = presets_.slot(index);
    std::memcpy(text, slot.name, sizeof slot.name);
    return true;
}

PresetSlot* DrumPlugin::getPresetSlot(int n) {
    if (n == -1) n = currentProgram_.load(std::memory_order_relaxed);
    return PresetBank::validIndex(n) ? &presets_.slot(n) : nullptr;
}

void DrumPlugin::movePreset(int direction) {
    const int current = currentProgram_.load(std::memory_order_relaxed);
    const int neighbour = direction <= 0 ? current - 1 : current + 1;
    if (!PresetBank::validIndex(neighbour)) return;
    presets_.swap(current, neighbour);
    selectProgram(neighbour);
}

bool DrumPlugin::loadPresetFile(const std::string& path) {
    const bool single = extensionIs(path, ".vpp");
    if (!single && !extensionIs(path, ".vpb")) return false;
    const xml::Document doc = xml::Document::parseFile(path);
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
    if (extensionIs(path, ".vpp"))
        return xml::Document::withRoot(
                   PresetBank::writePreset(presets_.slot(currentProgram_.load(std::memory_order_relaxed)), *this))
            .saveFile(path);
    if (extensionIs(path, ".vpb")) return xml::Document::withRoot(presets_.writePresetBank(*this)).saveFile(path);
    return false;
}

bool DrumPlugin::savePatternFile(const std::string& path) const {
    const PresetSlot& slot = presets_.slot(currentProgram_.load(std::memory_order_relaxed));
    return vorlatek::savePatternFile(path, *store_, edition_.editedSimplePattern, edition_.editedExtendedPattern,
                                     [&] { return PresetBank::writePreset(slot, *this); });
}

bool DrumPlugin::loadPatternBankFile(const std::string& path) {
    // A pending random result belongs to the patterns a bank replaces: give them back first.
    store_->discardRandom();
    return vorlatek::loadPatternBankFile(path, *store_);
}

// Host chunks ---------------------------------------------------------------------------------

std::string DrumPlugin::getChunk(bool isPreset) const {
    if (isPreset) {
        const PresetSlot& slot = presets_.slot(currentProgram_.load(std::memory_order_relaxed));
        return xml::Document::withRoot(PresetBank::writePreset(slot, *this)).dump();
    }
    return xml::Document::withRoot(StateDocuments::writeBank(*this)).dump();
}

void DrumPlugin::setChunk(const void* data, std::size_t size, bool isPreset) {
    const xml::Document doc = xml::Document::parseMemory(data, size);
    if (isPreset) {
        if (xml::isElement(doc.root(), "VorlatekPreset")) PresetBank::readPreset(doc.root(), *getPresetSlot(-1), *this);
    } else {
        // The patterns are about to be replaced: a pending random result would otherwise
        // be finished later on patterns it was never made for.
        if (xml::isElement(doc.root(), "VorlatekBank")) store_->discardRandom();
        StateDocuments::readBank(*this, doc.root());
    }
    selectProgram(-1);
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
    sequencerClock_->processBlock(outputs, frames, transport, replacing);
}

bool DrumPlugin::takeInstrumentActivity(int row) {
    if (row < 0 || row >= static_cast<int>(activity_.size())) return false;
    return activity_[static_cast<std::size_t>(row)].exchange(false, std::memory_order_relaxed);
}

void DrumPlugin::requestStart() { clock_.pendingCommand.store(kCommandStart, std::memory_order_relaxed); }

void DrumPlugin::requestStop() { clock_.pendingCommand.store(kCommandStop, std::memory_order_relaxed); }

// Plug-in state ---------------------------------------------------------------------------------------

void DrumPlugin::setIntSeqOn(bool on) {
    if (sequencer_.intSeqOn == on) return;
    sequencer_.intSeqOn = on;
    notifyEditor(kNotifyInternalSequencer);
    editor_->refreshRandomGate();
}

void DrumPlugin::setSyncInternal(int value) {
    if (sequencer_.syncInternal == value) return;
    sequencer_.syncInternal = value;
    notifyEditor(kNotifySyncMode);
}

void DrumPlugin::setHostMode(bool on) {
    if (sequencer_.hostMode == on) return;
    sequencer_.hostMode = on;
    notifyEditor(kNotifyHostMode);
    editor_->hostModeChanged();
}

void DrumPlugin::setNoteOff(bool on) {
    if (sequencer_.noteOff == on) return;
    sequencer_.noteOff = on;
    notifyEditor(kNotifyNoteOff);
}

void DrumPlugin::setExtSyncType(int value) {
    if (value == kExtSyncTransportChange || value == kExtSyncLowestNote) sequencer_.extSyncType = value;
}

void DrumPlugin::setWriteMode(bool on) { editor_->setWriteMode(on); }

void DrumPlugin::setAutoFollow(bool on) { editor_->setAutoFollow(on); }

void DrumPlugin::setRandMode(bool on) { editor_->setRandMode(on); }

void DrumPlugin::setLengthMode(bool on) { editor_->setLengthMode(on); }

void DrumPlugin::setEditedSimplePattern(int index) { editor_->setEditedSimplePattern(index); }

void DrumPlugin::setEditedExtendedPattern(int index) { editor_->setEditedExtendedPattern(index); }

void DrumPlugin::setEditedExtendedVariation(int variation) { editor_->setEditedExtendedVariation(variation); }

void DrumPlugin::setEditedExtendedPart(int part) { editor_->setEditedExtendedPart(part); }

void DrumPlugin::setSelectedInstrument(int row, bool on) { editor_->setSelectedInstrument(row, on); }

void DrumPlugin::updateUsageTime() {
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
