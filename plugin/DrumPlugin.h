#pragma once
// The drum machine itself, independent of any plug-in format: it owns the synthesis
// engine, the pattern store, the 128 presets, the 53 global parameter values, the output
// configuration and assigns, the drum map and the plug-in state, and it reaches its host
// only through PluginHost.

#include "engine/OutputRouter.h"
#include "plugin/BasePlugin.h"
#include "plugin/DrumMap.h"
#include "plugin/PluginHost.h"
#include "plugin/PresetBank.h"
#include "sequencer/ClockState.h"
#include "sequencer/MidiEventQueue.h"
#include "sequencer/PatternEdition.h"
#include "sequencer/SequencerListener.h"
#include "sequencer/SequencerSettings.h"
#include "sequencer/TimeSnapshot.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

namespace vorlatek {

class DrumEngine;
class PatternEditor;
class PatternStore;
class SequencerClock;

// The values the settings window edits: they are written to the user settings file and
// take effect in the next instance.
struct UserDefaults {
    OutputConfig output;
    std::int32_t triggerSource = 12;
    std::array<std::int32_t, 17> outAssign{};
    SequencerSettings sequencer;
};

// Paths of the user's default bank files (at most 1023 characters each).
struct DefaultResources {
    static constexpr std::size_t kMaxPath = 1023;
    std::string presetBank;
    std::string simplePatternBank;
    std::string extendedPatternBank;
};

class DrumPlugin : public BasePlugin, private SequencerListener {
public:
    static constexpr int kNumParams = 111;
    static constexpr int kNumPrograms = 128;
    static constexpr int kFirstGlobalParam = 58;
    static constexpr int kGlobalParams = kNumParams - kFirstGlobalParam;  // 53
    static constexpr int kMasterVolumeParam = 58;
    static constexpr int kFirstRandomThresholdParam = 93;
    static constexpr const char* kUserSettingsFile = "Vorlatek.ini";

    // `moduleDirectory` is where the user settings file is read and written; an empty
    // directory means no user settings file at all.
    explicit DrumPlugin(PluginHost* host, std::string moduleDirectory);
    ~DrumPlugin() override;

    // Parameters -----------------------------------------------------------------------
    void setParameter(int index, float value) override;
    float getParameter(int index) const override;

    // Sample rate ------------------------------------------------------------------------
    void setSampleRate(float rate);
    double sampleRate() const { return sampleRate_; }

    // Outputs ----------------------------------------------------------------------------
    const OutputConfig& outputConfig() const { return router_.config(); }
    int numOutputs() const { return numOutputs_; }
    int outAssign(int instrument) const;
    void setOutAssign(int instrument, int output);
    int triggerSource() const;

    // Programs ---------------------------------------------------------------------------
    // n = −1 re-applies the current program; other values outside 0..127 are ignored.
    void selectProgram(int n);
    int currentProgram() const { return currentProgram_; }
    void setProgramName(const char* text);
    void getProgramName(char* text) const;
    bool getProgramNameIndexed(int category, int index, char* text) const;
    // The slot, −1 for the current one; null outside 0..127.
    PresetSlot* getPresetSlot(int n);
    void movePreset(int direction);
    PresetBank& presets() { return presets_; }
    const PresetBank& presets() const { return presets_; }
    // By extension (.vpp one preset into the current slot, .vpb the whole bank), any case.
    bool loadPresetFile(const std::string& path);
    bool savePresetFile(const std::string& path) const;
    // Saves by extension: .vsp/.vss/.vsb the edited simple pattern, its set with the current
    // preset, or the simple bank; .vep/.ves/.veb the same for extended patterns.
    bool savePatternFile(const std::string& path) const;
    // Reads a simple or extended pattern bank file into the store.
    bool loadPatternBankFile(const std::string& path);

    // Host chunks ------------------------------------------------------------------------
    // The whole state (isPreset false) or the current program (isPreset true) as XML text.
    std::string getChunk(bool isPreset) const;
    void setChunk(const void* data, std::size_t size, bool isPreset);

    // MIDI ---------------------------------------------------------------------------------
    // One MIDI message (status in the lowest byte) at a sample offset of the coming block.
    // Controllers 0..120 apply at once; note-ons, note-offs and all-notes-off (controller
    // 123) wait in the event queue for their frame.
    void midiEvent(std::uint32_t message, std::int32_t offset);
    const MidiEventQueue& midiQueue() const { return midiQueue_; }
    void setMidiLearn(bool on);
    void midiLearnAssigned() override;
    DrumMap& drumMap() { return drumMap_; }
    const DrumMap& drumMap() const { return drumMap_; }

    // Processing ---------------------------------------------------------------------------
    // Renders `frames` frames into the output pins (numOutputs() of them), replacing what
    // they hold or adding to it. `transport` is null when the host gave no time information.
    // Runs the sequencer clock: MIDI events, steps, rendering and routing, frame by frame.
    void process(float** outputs, int frames, const TimeSnapshot* transport, bool replacing);
    // The Start and Stop buttons: picked up at the next block, and only while the host
    // transport is not playing.
    // Whether a row (0..16 the instruments, 17 the accent) fired since the last call; the
    // editor's activity lamps read and clear it.
    bool takeInstrumentActivity(int row);
    void requestStart();
    void requestStop();

    // Plug-in state --------------------------------------------------------------------------
    const SequencerSettings& sequencerSettings() const { return sequencer_; }
    const PatternEdition& patternEdition() const { return edition_; }
    void setIntSeqOn(bool on);
    void setSyncInternal(int value);
    void setHostMode(bool on);
    void setNoteOff(bool on);
    void setExtSyncType(int value);
    void setWriteMode(bool on);
    void setAutoFollow(bool on);
    void setRandMode(bool on);
    void setLengthMode(bool on);
    void setEditedSimplePattern(int index);
    void setEditedExtendedPattern(int index);
    void setEditedExtendedVariation(int variation);
    void setEditedExtendedPart(int part);
    void setSelectedInstrument(int row, bool on);

    UserDefaults& userDefaults() { return userDefaults_; }
    const UserDefaults& userDefaults() const { return userDefaults_; }
    DefaultResources& defaultResources() { return defaultResources_; }
    const DefaultResources& defaultResources() const { return defaultResources_; }
    std::int32_t usageSeconds() const { return usageSeconds_; }
    // Adds the calendar time since the last call (or construction) to the usage statistic.
    void updateUsageTime();
    const std::string& userSettingsPath() const { return userSettingsPath_; }

    ClockState& clock() { return clock_; }
    const ClockState& clock() const { return clock_; }

    DrumEngine& engine() { return *engine_; }
    const DrumEngine& engine() const { return *engine_; }
    PatternStore& patternStore() { return *store_; }
    const PatternStore& patternStore() const { return *store_; }
    PluginHost* host() const { return host_; }

    // Pattern editing ----------------------------------------------------------------------------
    // The editing session: the operations behind every pattern-editing control of the panel.
    // The pattern-edition setters above forward to it.
    PatternEditor& patternEditor() { return *editor_; }
    const PatternEditor& patternEditor() const { return *editor_; }

private:
    friend class StateDocuments;

    // SequencerListener
    void notify(int code) override;
    void instrumentActivity(int row) override;

    void notifyEditor(int code) const;

    PluginHost* host_;
    std::string userSettingsPath_;
    // False when a user settings file was there but could not be read: it stays as it is.
    bool userSettingsReplaceable_ = true;

    // The engine and every voice keep the values derived from the rate.
    double sampleRate_ = 44100.0;

    // The output configuration and assigns; the configuration is fixed once the pin count
    // has been published.
    OutputRouter router_;
    int numOutputs_ = 0;
    bool outputFixed_ = false;

    PresetBank presets_;
    std::atomic<int> currentProgram_{0};
    std::array<float, kGlobalParams> globals_{};

    SequencerSettings sequencer_;
    PatternEdition edition_;
    UserDefaults userDefaults_;
    DefaultResources defaultResources_;
    DrumMap drumMap_;
    std::int32_t usageSeconds_ = 0;
    std::time_t lastSeenTime_ = 0;

    ClockState clock_;
    MidiEventQueue midiQueue_;

    std::unique_ptr<DrumEngine> engine_;
    std::unique_ptr<PatternStore> store_;
    std::unique_ptr<SequencerClock> sequencerClock_;

    // Instrument rows (18) that fired since the editor last looked.
    std::array<std::atomic<bool>, 18> activity_{};

    // Pattern editing: created right after the store it edits.
    std::unique_ptr<PatternEditor> editor_;
};

}  // namespace vorlatek
