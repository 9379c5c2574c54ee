// The host against plug-ins written by others: DISTRHO's plug-ins from Debian's
// dpf-plugins-vst package. Skipped when the package is not installed.

#include "HostRunner.h"

#include <cmath>

using namespace hosttest;
using nlohmann::json;

namespace {

const std::string kKars = "/usr/lib/vst/Kars-vst.so";    // a small synth: MIDI in, one output
const std::string kMVerb = "/usr/lib/vst/MVerb-vst.so";  // a reverb: two inputs, two outputs

#ifdef _WIN32
#define SKIP_UNLESS_INSTALLED(path) GTEST_SKIP() << "a Windows host cannot load the Linux plug-in " << path
#else
#define SKIP_UNLESS_INSTALLED(path)                                                                 \
    if (!fs::exists(path)) GTEST_SKIP() << path << " is missing: apt-get install dpf-plugins-vst"
#endif

}  // namespace

TEST(ThirdPartyPlugin, SynthInfoAndRender) {
    SKIP_UNLESS_INSTALLED(kKars);
    RunResult r = runHost({"info", "--json", kKars});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = parseJson(r.out);
    EXPECT_EQ(j["name"], "Kars");
    EXPECT_EQ(j["uniqueId"], "DKrs");
    EXPECT_EQ(j["category"], 2);
    EXPECT_EQ(j["vstVersion"], 2400);
    EXPECT_EQ(j["numOutputs"], 1);
    EXPECT_EQ(j["canDo"]["receiveVstMidiEvent"], 1);
    ASSERT_EQ(j["params"].size(), 3u);
    EXPECT_EQ(j["params"][2]["name"], "Volume");

    TempDir dir;
    r = runHost({"render", kKars, "-o", dir.file("kars.wav"), "--bars", "1", "--note", "0:60", "--note", "2:67:90:1",
                 "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    json summary = parseJson(r.out);
    EXPECT_EQ(summary["frames"], 88200);
    EXPECT_EQ(summary["nonFinite"], 0);
    ASSERT_EQ(summary["pins"].size(), 1u);
    EXPECT_GT(summary["pins"][0]["peak"].get<double>(), 0.1);

    // Without notes the synth stays silent: the sound above came from our MIDI.
    r = runHost({"render", kKars, "-o", dir.file("silent.wav"), "--bars", "1", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(parseJson(r.out)["pins"][0]["peak"], 0.0);
}

TEST(ThirdPartyPlugin, EffectGetsSilentInputs) {
    SKIP_UNLESS_INSTALLED(kMVerb);
    RunResult r = runHost({"info", "--json", kMVerb});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = parseJson(r.out);
    EXPECT_EQ(j["name"], "MVerb");
    EXPECT_EQ(j["category"], 1);
    EXPECT_EQ(j["numInputs"], 2);
    EXPECT_EQ(j["numOutputs"], 2);

    TempDir dir;
    r = runHost({"render", kMVerb, "-o", dir.file("mverb.wav"), "--seconds", "1", "--format", "pcm24", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    json summary = parseJson(r.out);
    ASSERT_EQ(summary["pins"].size(), 2u);
    EXPECT_LT(summary["pins"][0]["peak"].get<double>(), 1e-6);  // silence in, (nearly) silence out
    Wav wav = readWav(dir.file("mverb.wav"));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.frames, 44100);
}
