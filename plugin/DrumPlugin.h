#pragma once
// The drum machine itself, independent of any plug-in format: it owns the synthesis
// engine, the pattern store, the 128 presets, the 53 global parameter values, the output
// configuration and assigns, the drum map and the plug-in state, and it reaches its host
// only through PluginHost.
//
// Threads. The host calls process and delivers MIDI on its audio thread; everything else
// (the dispatcher, the editor) comes from other threads, and parameters from any thread.
// The audio thread is the only writer of what it plays: the engine, the clock, the
// arrangement and its own copy of the patterns and settings. The rest of the plug-in is the
// editing side, guarded by a lock that the audio thread never takes:
//   - parameter values are atomic; a change marks the parameter, and the audio thread hands
//     marked values to the engine at the start of its next block;
//   - everything else the audio thread plays (patterns, random thinning, sequencer settings,
//     output assigns, trigger source) is copied whole from the editing side when an editing
//     scope ends, and handed over without locks at the next block start (StateHandoff);
//   - requests (Start/Stop, taps) and the playback selection are single atomic words;
//   - what the audio thread changes (taps written into patterns, its position) flows back
//     and is taken into the editing side when the next editing scope begins.
// While processing is off (before effMainsChanged resumes it), changes reach the engine at
// once, unless the audio thread happens to be inside a process call.

#include "engine/OutputRouter.h"
#include "engine/ParameterIndex.h"
#include "plugin/BasePlugin.h"
#include "plugin/DrumMap.h"
#include "plugin/LiveState.h"
#include "plugin/ParameterChanges.h"
#include "plugin/PluginHost.h"
#include "plugin/PresetBank.h"
#include "plugin/StateHandoff.h"
#include "sequencer/ClockState.h"
#include "sequencer/MidiEventQueue.h"
#include "sequencer/PatternEdition.h"
#include "sequencer/PlaybackSelection.h"
#include "sequencer/RandomThresholds.h"
#include "sequencer/SequencerListener.h"
#include "sequencer/SequencerRequests.h"
#include "sequencer/SequencerSettings.h"
#include "sequencer/TimeSnapshot.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>

namespace vorlatek {

class Arrangement;
class DrumEngine;
class PatternEditor;
class PatternStore;
class PlaybackPosition;
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
    static constexpr int kNumPrograms = 128;
    static constexpr const char* kUserSettingsFile = "Vorlatek.ini";
    // The engine works at rates in this range; a host rate outside it is clamped for the
    // synthesis (the sequencer keeps time at the host's rate).
    static constexpr double kMinEngineRate = 8000.0;
    static constexpr double kMaxEngineRate = 768000.0;

    // `moduleDirectory` is where the user settings file is read and written; an empty
    // directory means no user settings file at all.
    explicit DrumPlugin(PluginHost* host, std::string moduleDirectory);
    ~DrumPlugin() override;

    // Editing scope ----------------------------------------------------------------------
    // Holds the editing lock (re-entrant). When the outermost scope begins, what the audio
    // thread changed is taken in; when it ends, the state the audio thread plays is handed
    // over if anything changed. Every public operation below that reads or changes the
    // editing side opens one; a caller that edits through references (the editor, tests)
    // opens its own around the edit.
    class Scope {
    public:
        explicit Scope(const DrumPlugin& plugin);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DrumPlugin& plugin_;
    };
    // An object of the editing side reached through an editing scope that lasts as long as
    // the returned value: `plugin.patternEditor()->stepButton(3, 0.5f)` edits and hands over.
    template <class T>
    class Guarded {
    public:
        Guarded(const DrumPlugin& plugin, T& object) : scope_(plugin), object_(object) {}
        T* operator->() const { return &object_; }
        T& operator*() const { return object_; }

    private:
        Scope scope_;
        T& object_;
    };

    // Parameters (any thread, no lock) ---------------------------------------------------
    // A value from the host. NaN is ignored and other values are clamped to 0..1; indices
    // outside 0..110 are ignored. The editor hears of it; the host is not told back.
    void setParameter(int index, float value) override;
    // A change that starts inside the plug-in (the editor, a MIDI controller): as
    // setParameter, and reported to the host as automation.
    void editParameter(int index, float value) override;
    float getParameter(int index) const override;

    // Sample rate ------------------------------------------------------------------------
    // Rates that are not finite and positive are ignored.
    void setSampleRate(float rate);
    double sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }

    // Outputs ----------------------------------------------------------------------------
    // Fixed once the plug-in is built.
    const OutputConfig& outputConfig() const { return outputConfig_; }
    int numOutputs() const { return numOutputs_; }
    int outAssign(int instrument) const;
    void setOutAssign(int instrument, int output);
    int triggerSource() const;

    // Programs ---------------------------------------------------------------------------
    // n = −1 re-applies the current program; other values outside 0..127 are ignored.
    void selectProgram(int n);
    int currentProgram() const { return currentProgram_.load(std::memory_order_relaxed); }
    void setProgramName(const char* text);
    void getProgramName(char* text) const;
    bool getProgramNameIndexed(int category, int index, char* text) const;
    // The slot, −1 for the current one; null outside 0..127. Use under a Scope.
    PresetSlot* getPresetSlot(int n);
    void movePreset(int direction);
    Guarded<PresetBank> presets() { return {*this, presets_}; }
    Guarded<const PresetBank> presets() const { return {*this, presets_}; }
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
    // False when the bytes hold no state of the kind asked for; nothing is then changed.
    bool setChunk(const void* data, std::size_t size, bool isPreset);

    // MIDI (audio thread) ------------------------------------------------------------------
    // One MIDI message (status in the lowest byte) at a sample offset of the coming block.
    // Controllers 0..120 apply at once; note-ons, note-offs and all-notes-off (controller
    // 123) wait in the event queue for their frame.
    void midiEvent(std::uint32_t message, std::int32_t offset);
    const MidiEventQueue& midiQueue() const { return midiQueue_; }
    void setMidiLearn(bool on);
    void midiLearnAssigned() override;
    Guarded<DrumMap> drumMap() { return {*this, drumMap_}; }
    Guarded<const DrumMap> drumMap() const { return {*this, drumMap_}; }

    // Processing (audio thread) ------------------------------------------------------------
    // Renders `frames` frames into the output pins (numOutputs() of them), replacing what
    // they hold or adding to it. `transport` is null when the host gave no time information.
    // Takes over what changed since the last block, then runs the sequencer clock: MIDI
    // events, steps, rendering and routing.
    void process(float** outputs, int frames, const TimeSnapshot* transport, bool replacing);
    // The host resumed (true) or suspended (false) processing.
    void setProcessing(bool on);
    // Whether a row (0..16 the instruments, 17 the accent) fired since the last call; the
    // editor's activity lamps read and clear it.
    bool takeInstrumentActivity(int row);
    // The Start and Stop buttons: picked up at the next block, and only while the host
    // transport is not playing.
    void requestStart();
    void requestStop();
    // Where playback stands, as the audio thread last published it.
    const PlaybackPosition& playbackPosition() const;
    const PlaybackSelection& playbackSelection() const { return selection_; }
    PlaybackSelection& playbackSelection() { return selection_; }

    // Plug-in state --------------------------------------------------------------------------
    Guarded<const SequencerSettings> sequencerSettings() const { return {*this, sequencer_}; }
    Guarded<const PatternEdition> patternEdition() const { return {*this, edition_}; }
    void setIntSeqOn(bool on);
    void setSyncInternal(int value);
    void setHostMode(bool on);
    void setNoteOff(bool on);
    void setExtSyncType(int value);
    // 1..16, or 0 for none; other values are ignored.
    void setDrumChannel(int channel);
    void setWriteMode(bool on);
    void setAutoFollow(bool on);
    void setRandMode(bool on);
    void setLengthMode(bool on);
    void setEditedSimplePattern(int index);
    void setEditedExtendedPattern(int index);
    void setEditedExtendedVariation(int variation);
    void setEditedExtendedPart(int part);
    void setSelectedInstrument(int row, bool on);

    Guarded<UserDefaults> userDefaults() { return {*this, userDefaults_}; }
    Guarded<const UserDefaults> userDefaults() const { return {*this, userDefaults_}; }
    Guarded<DefaultResources> defaultResources() { return {*this, defaultResources_}; }
    Guarded<const DefaultResources> defaultResources() const { return {*this, defaultResources_}; }
    std::int32_t usageSeconds() const;
    // Adds the calendar time since the last call (or construction) to the usage statistic.
    void updateUsageTime();
    const std::string& userSettingsPath() const { return userSettingsPath_; }

    // The audio thread's own objects, for tests that drive the plug-in from one thread or
    // look from the audio thread.
    const PatternLibrary& playingPatterns() const { return handoff_.front().patterns; }
    ClockState& clock() { return clock_; }
    const ClockState& clock() const { return clock_; }
    DrumEngine& engine() { return *engine_; }
    const DrumEngine& engine() const { return *engine_; }
    PluginHost* host() const { return host_; }

    // Pattern editing ----------------------------------------------------------------------------
    // The editing side's patterns, and the editing session behind every pattern-editing
    // control of the panel. The pattern-edition setters above forward to it.
    Guarded<PatternStore> patternStore() { return {*this, *store_}; }
    Guarded<const PatternStore> patternStore() const { return {*this, *store_}; }
    Guarded<PatternEditor> patternEditor() { return {*this, *editor_}; }
    Guarded<const PatternEditor> patternEditor() const { return {*this, *editor_}; }

private:
    friend class StateDocuments;

    // SequencerListener
    void notify(int code) override;
    void instrumentActivity(int row) override;

    void notifyEditor(int code) const;
    // Stores a parameter value without telling anyone; false when it was refused. Unless
    // `mark` is false (a state being loaded, which reaches the engine whole with the rest of
    // it), the audio thread hands the value to the engine at its next block.
    bool storeParameter(int index, float value, bool mark = true);
    // A loaded state replaced the parameters: the engine gets all of them with the state.
    void replaceAllParameters();

    // Editing side.
    void beginScope();
    void endScope();
    void takeFromAudio();
    void handOver();
    // Brings the engine and the playing state up to date at once when processing is off.
    void applyIfIdle();

    // Audio side (or the editing side while it holds the gate).
    void takeOver();
    void applyParameter(int index, float value);

    PluginHost* host_;
    std::string userSettingsPath_;
    // False when a user settings file was there but could not be read: it stays as it is.
    bool userSettingsReplaceable_ = true;

    // Parameters and requests shared by every thread --------------------------------------
    std::atomic<int> currentProgram_{0};
    std::array<std::atomic<float>, param::kGlobalCount> globals_{};
    ParameterChanges changes_;
    RandomThresholds thresholds_;
    PlaybackSelection selection_;
    SequencerRequests requests_;
    std::atomic<double> sampleRate_{44100.0};
    std::atomic<float> pendingRate_{0.0f};  // a rate not yet given to the engine, 0 for none
    std::atomic<bool> processing_{false};
    // A program was selected: once its values are in the engine, the smoothed levels start
    // on them instead of gliding (the glide is for knob moves).
    std::atomic<bool> settlePending_{false};
    // 0 free, 1 the audio thread is processing, 2 the editing side brings the audio
    // thread's objects up to date while processing is off.
    std::atomic<int> gate_{0};
    // Instrument rows (18) that fired since the editor last looked.
    std::array<std::atomic<bool>, 18> activity_{};

    // Editing side, under lock_ -----------------------------------------------------------
    mutable std::recursive_mutex lock_;
    int scopeDepth_ = 0;
    bool displayUpdatePending_ = false;
    OutputConfig outputConfig_;
    int numOutputs_ = 0;
    bool outputFixed_ = false;
    std::array<std::int32_t, kInstrumentCount> outAssign_{};
    std::int32_t triggerSource_ = kCowBell;
    PresetBank presets_;
    SequencerSettings sequencer_;
    PatternEdition edition_;
    UserDefaults userDefaults_;
    DefaultResources defaultResources_;
    DrumMap drumMap_;
    std::int32_t usageSeconds_ = 0;
    std::time_t lastSeenTime_ = 0;
    std::unique_ptr<PatternStore> store_;
    std::unique_ptr<PatternEditor> editor_;
    std::uint64_t tapsMerged_ = 0;
    std::uint64_t parameterEpoch_ = 0;
    std::unique_ptr<LiveState> candidate_;      // built at the end of every scope
    std::unique_ptr<LiveState> lastHandedOver_;  // what the audio thread has or will get

    // Audio side ----------------------------------------------------------------------------
    std::unique_ptr<DrumEngine> engine_;
    OutputRouter router_;
    ClockState clock_;
    MidiEventQueue midiQueue_;
    SequencerSettings liveSettings_;
    std::uint64_t appliedEpoch_ = 0;
    std::unique_ptr<Arrangement> arrangement_;
    std::unique_ptr<SequencerClock> sequencerClock_;
    StateHandoff<LiveState> handoff_;
};

}  // namespace vorlatek
