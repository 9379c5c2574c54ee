// The built plug-in played by vorlatek-host as a host would play it: the factory patterns in
// time with the transport, pre-roll, host mode, the MIDI start note, and bad host input.
// Step times are read from the trigger output following the accent row: every accented step
// starts a pulse whose rising edge comes a fixed number of frames after the step.

#include "HostRunner.h"

#include <cmath>
#include <cstdint>
#include <vector>

using namespace hosttest;
using nlohmann::json;

namespace {

// Pins with the trigger output switched on: master pair, 17 stereo instruments, trigger pair.
constexpr int kTriggerPin = 36;

// A private copy of the plug-in, started with the given user settings file next to it.
class PluginCopy {
public:
    explicit PluginCopy(const std::string& userSettings = "") : path_(isolatedPlugin(dir_)) {
        if (!userSettings.empty()) writeText(dir_.file("Vorlatek.ini"), userSettings);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    TempDir dir_;
    std::string path_;
};

const std::string kTriggerOnAccent =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<VorlatekUserSettings><OutputConfig><MasterOutput state="on" type="stereo"/>)"
    R"(<InstrumentsOutputs type="stereo"/><TriggerOutput state="on" type="AC"/></OutputConfig></VorlatekUserSettings>)";

std::string stateChunk(const std::string& sequencer) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><VorlatekBank><PluginState><InternalSequencer )" + sequencer +
           "/></PluginState></VorlatekBank>";
}

// Frames at which the channel rises through half its peak.
std::vector<long long> risingEdges(const Wav& wav, int channel) {
    float peak = 0.0f;
    for (long long f = 0; f < wav.frames; ++f) peak = std::max(peak, wav.at(f, channel));
    std::vector<long long> edges;
    const float threshold = 0.5f * peak;
    for (long long f = 1; f < wav.frames; ++f)
        if (wav.at(f, channel) >= threshold && wav.at(f - 1, channel) < threshold) edges.push_back(f);
    return edges;
}

Wav render(const PluginCopy& plugin, std::vector<std::string> options) {
    std::vector<std::string> args = {"render", plugin.path(), "-o", plugin.file("out.wav")};
    args.insert(args.end(), options.begin(), options.end());
    RunResult r = runHost(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return readWav(plugin.file("out.wav"));
}

// The rising edge follows the start of its pulse by a fixed number of frames.
long long pulseLatency() {
    PluginCopy plugin(kTriggerOnAccent);
    const auto edges = risingEdges(render(plugin, {"--seconds", "0.5", "--pins", std::to_string(kTriggerPin)}), 0);
    return edges.empty() ? -1 : edges.front();
}

TEST(Playback, FactoryPatternPlaysInTimeWithTheTransport) {
    PluginCopy plugin(kTriggerOnAccent);
    // 97 bpm: the accents of the first basic pattern fall on every eighth step, two beats
    // apart, at floor(2k × 44100 × 60 / 97).
    const Wav wav = render(plugin, {"--tempo", "97", "--bars", "16", "--pins", "0,1,36"});
    ASSERT_EQ(wav.channels, 3);
    const auto edges = risingEdges(wav, 2);
    const long long latency = pulseLatency();
    ASSERT_GE(latency, 0);
    ASSERT_EQ(edges.size(), 32u);
    for (long long k = 0; k < 32; ++k) EXPECT_EQ(edges[k], latency + k * 2 * 44100 * 60 / 97) << "accent " << k;

    float peak = 0.0f;
    for (long long f = 0; f < wav.frames; ++f) peak = std::max(peak, std::fabs(wav.at(f, 0)));
    EXPECT_GT(peak, 0.1f);
}

TEST(Playback, PreRollDelaysTheFirstStepToBarOne) {
    PluginCopy plugin(kTriggerOnAccent);
    const auto edges = risingEdges(
        render(plugin, {"--start-beat", "-3", "--seconds", "2", "--pins", std::to_string(kTriggerPin)}), 0);
    ASSERT_FALSE(edges.empty());
    EXPECT_EQ(edges.front(), 3 * 22050 + pulseLatency());
}

// Steps of the accent row, as frames, in a render that starts from a state whose internal
// sequencer has the given attributes.
std::vector<long long> accentFrames(const std::string& sequencer, std::vector<std::string> options) {
    PluginCopy plugin(kTriggerOnAccent);
    writeText(plugin.file("state.xml"), stateChunk(sequencer));
    options.insert(options.end(), {"--chunk", plugin.file("state.xml"), "--pins", std::to_string(kTriggerPin)});
    std::vector<long long> frames = risingEdges(render(plugin, options), 0);
    const long long latency = pulseLatency();
    for (long long& f : frames) f -= latency;
    return frames;
}

TEST(Playback, HostModeNotePlaysItsSimplePatternWhileHeld) {
    // Note 12 plays simple pattern 0 (accents on steps 0 and 8) from beat 1 for 6 beats.
    EXPECT_EQ(accentFrames(R"(state="on" sync="external" hostMode="on" noteOff="on")",
                           {"--note", "1:12:100:6", "--bars", "4"}),
              (std::vector<long long>{22050, 66150, 110250}));
}

TEST(Playback, LowestNoteStartsTheArrangementOnTheHostGrid) {
    EXPECT_EQ(accentFrames(R"(state="on" sync="external" extSyncType="lowestNote")", {"--note", "2:0:1", "--bars", "2"}),
              (std::vector<long long>{44100, 88200, 132300}));
}

TEST(Playback, InternalSyncPlaysAtThePatternTempoWithoutTimeInformation) {
    // The first basic pattern's own tempo is 112 bpm; the note starts it at frame 0.
    const auto frames = accentFrames(R"(state="on" sync="internal" extSyncType="lowestNote")",
                                     {"--no-time-info", "--note", "0:0", "--seconds", "5"});
    ASSERT_GE(frames.size(), 4u);
    for (long long k = 0; k < 4; ++k) EXPECT_EQ(frames[k], k * 2 * 44100 * 60 / 112) << "accent " << k;
}

TEST(Playback, AnyBlockSizeSampleRateAndMissingTransportGiveFiniteOutput) {
    PluginCopy plugin;
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--block", "1", "--seconds", "0.3"},
          std::vector<std::string>{"--block", "8192", "--sample-rate", "22050", "--seconds", "3"},
          std::vector<std::string>{"--no-time-info", "--note", "0:0", "--note", "0.5:35", "--seconds", "1"},
          std::vector<std::string>{"--no-transport", "--tempo", "300", "--note", "0.1:127:127:0.01", "--seconds", "1"}}) {
        std::vector<std::string> args = {"render", plugin.path(), "-o", plugin.file("any.wav"), "--pins", "all",
                                         "--json"};
        args.insert(args.end(), options.begin(), options.end());
        RunResult r = runHost(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(parseJson(r.out)["nonFinite"], 0) << options[1];
    }
}

}  // namespace
