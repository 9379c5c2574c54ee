// Our plug-in rendered and saved through vorlatek-host.

#include "HostRunner.h"

#include <cmath>

using namespace hosttest;
using nlohmann::json;

TEST(VorlatekRender, FactoryPatternPlaysFiniteAudio) {
    TempDir dir;
    const std::string plugin = isolatedPlugin(dir);
    RunResult r = runHost({"render", plugin, "-o", dir.file("out.wav"), "--bars", "2", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = parseJson(r.out);
    EXPECT_EQ(j["frames"], 176400);
    EXPECT_EQ(j["nonFinite"], 0);
    ASSERT_EQ(j["pins"].size(), 2u);
    EXPECT_EQ(j["pins"][0]["label"], "VRLTK Master");
    // The running transport starts the sequencer, so the master carries sound.
    EXPECT_GT(j["pins"][0]["peak"].get<double>(), 0.01);
    Wav wav = readWav(dir.file("out.wav"));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.frames, 176400);
    for (float x : wav.samples) ASSERT_TRUE(std::isfinite(x));
}

TEST(VorlatekRender, AllPinsAtAnotherRate) {
    TempDir dir;
    const std::string plugin = isolatedPlugin(dir);
    RunResult r = runHost({"render", plugin, "-o", dir.file("all.wav"), "--pins", "all", "--sample-rate",
                           "96000", "--block", "333", "--seconds", "1", "--format", "pcm24", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = parseJson(r.out);
    EXPECT_EQ(j["nonFinite"], 0);
    Wav wav = readWav(dir.file("all.wav"));
    EXPECT_EQ(wav.channels, 36);
    EXPECT_EQ(wav.sampleRate, 96000);
    EXPECT_EQ(wav.frames, 96000);
}

TEST(VorlatekRender, NotesOnTheDrumChannelPlayDrums) {
    TempDir dir;
    const std::string plugin = isolatedPlugin(dir);
    // The internal sequencer off, so only the notes can sound.
    writeText(dir.file("quiet.xml"), "<VorlatekBank><PluginState><InternalSequencer state='off'/></PluginState></VorlatekBank>");
    const auto bassDrumPeak = [&](const std::string& note) {
        RunResult r = runHost({"render", plugin, "--chunk", dir.file("quiet.xml"), "-o", dir.file("out.wav"),
                               "--pins", "2", "--seconds", "1", "--note", note, "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        return parseJson(r.out)["pins"][0]["peak"].get<double>();
    };
    EXPECT_GT(bassDrumPeak("0.5:36:100:0.25:10"), 0.01);
    EXPECT_EQ(bassDrumPeak("0.5:36:100:0.25:1"), 0.0);
    EXPECT_NE(runHost({"render", plugin, "-o", dir.file("x.wav"), "--note", "0:36:100:0.25:17"}).status, 0);
}

TEST(VorlatekChunk, SavesBankAndProgramChunks) {
    TempDir dir;
    const std::string plugin = isolatedPlugin(dir);
    RunResult r = runHost({"chunk", plugin, "-o", dir.file("bank.xml")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bank = readText(dir.file("bank.xml"));
    EXPECT_NE(bank.find("<VorlatekBank"), std::string::npos) << bank.substr(0, 200);

    r = runHost({"chunk", plugin, "--program", "-o", dir.file("program.xml")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(readText(dir.file("program.xml")).find("<VorlatekPreset"), std::string::npos);

    // A saved bank loads back and renders.
    r = runHost({"chunk", plugin, "--load", dir.file("bank.xml"), "-o", dir.file("again.xml")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(readText(dir.file("again.xml")).find("<VorlatekBank"), std::string::npos);
    r = runHost({"render", plugin, "--chunk", dir.file("bank.xml"), "-o", dir.file("out.wav"),
                 "--seconds", "0.5", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(parseJson(r.out)["nonFinite"], 0);
}
