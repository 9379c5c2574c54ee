// `render` against the fixture plug-in: the order of the calls, sample-accurate MIDI, the
// time info of every block, the WAV file and the JSON summary.

#include "HostRunner.h"

#include <algorithm>
#include <cmath>

using namespace hosttest;
using nlohmann::json;

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string t; in >> t;) result.push_back(t);
    return result;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

struct Block {
    int frames = 0;
    bool hasTime = false;
    double samplePos = 0, ppq = 0, tempo = 0, sampleRate = 0, barStart = 0;
    int numerator = 0, denominator = 0, flags = 0;
    std::vector<std::vector<int>> events;  // delta, status, data1, data2, noteLength, byteSize
};

// The blocks the fixture saw, each with the events delivered just before it.
std::vector<Block> blocksOf(const std::vector<std::string>& log) {
    std::vector<Block> blocks;
    std::vector<std::vector<int>> pending;
    for (const auto& line : log) {
        auto t = tokens(line);
        if (t.empty()) continue;
        if (t[0] == "event") {
            std::vector<int> e;
            for (std::size_t i = 1; i < t.size(); ++i) e.push_back(std::stoi(t[i]));
            pending.push_back(e);
        } else if (t[0] == "process") {
            Block b;
            b.frames = std::stoi(t[1]);
            b.hasTime = t[3] != "none";
            if (b.hasTime) {
                b.samplePos = std::stod(t[3]);
                b.ppq = std::stod(t[4]);
                b.tempo = std::stod(t[5]);
                b.sampleRate = std::stod(t[6]);
                b.barStart = std::stod(t[7]);
                b.numerator = std::stoi(t[8]);
                b.denominator = std::stoi(t[9]);
                b.flags = std::stoi(t[10]);
            }
            b.events = std::move(pending);
            pending.clear();
            blocks.push_back(std::move(b));
        }
    }
    return blocks;
}

// The fixture's signal: pin p at frame f, with its gain parameter at `gain`.
float fixtureSignal(int pin, long long frame, float gain = 0.5f) {
    return gain * 2.0f * 0.1f * static_cast<float>(pin + 1) * (static_cast<float>(frame % 50) / 49.0f * 2.0f - 1.0f);
}

constexpr int kPlaying = 2, kPpqValid = 1 << 9, kTempoValid = 1 << 10, kBarsValid = 1 << 11, kTimeSigValid = 1 << 13;

}  // namespace

TEST(HostRender, CallsThePluginInTheHostOrder) {
    TempDir dir;
    const std::string log = dir.file("log");
    const std::string chunk = dir.file("bank.xml");
    writeText(chunk, "<bank a=\"1\"/>");
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--block", "256", "--seconds", "0.02",
                           "--program", "2", "--chunk", chunk, "--param", "0=0.25", "--param", "2=0"},
                          {"VORLATEK_FIXTURE_LOG=" + log});
    ASSERT_EQ(r.status, 0) << r.err;

    std::vector<std::string> calls;
    for (const auto& line : readLines(log)) {
        if (startsWith(line, "op ") || startsWith(line, "host")) continue;
        calls.push_back(startsWith(line, "process") ? line.substr(0, line.find(" time")) : line);
    }
    // 0.02 s at 44100 Hz is 882 frames: three full blocks and a short last one. The state
    // before the chunk is read to tell a refused chunk from a taken one.
    const std::vector<std::string> expected = {
        "version 2400", "open",          "sampleRate 44100", "blockSize 256", "mains 1",
        "program 2",    "getChunk 0",    "setChunk 0 <bank a=\"1\"/>", "setParameter 0 0.25", "setParameter 2 0",
        "process 256",  "process 256",   "process 256",      "process 114",   "mains 0",
        "close"};
    EXPECT_EQ(calls, expected);

    // What the host answered the fixture when it was resumed.
    std::vector<std::string> answers;
    for (const auto& line : readLines(log)) {
        if (startsWith(line, "host")) answers.push_back(line);
    }
    // sample rate, block size, canDo sendVstTimeInfo, canDo unknown, automate, wantMidi, updateDisplay
    EXPECT_EQ(answers, (std::vector<std::string>{"hostAnswers 44100 256 1 0 0 0 0",
                                                 "hostVendor Velmora Group Audio Software",
                                                 "hostProduct vorlatek-host"}));
}

TEST(HostRender, NotesArriveOnTheirExactFrames) {
    TempDir dir;
    const std::string log = dir.file("log");
    // 48 kHz at 120 BPM: 24000 frames per beat; the render starts at beat -1.
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--sample-rate", "48000", "--block", "512",
                           "--seconds", "2", "--start-beat", "-1",
                           "--note", "-0.5:36",            // frame 12000, off at 18000
                           "--note", "1:38:127:1",         // frame 48000, off at 72000
                           "--note", "2:40:90:0.5",        // frame 72000; its note-off meets the next note-on
                           "--note", "2.5:40:91:10",       // frame 84000, off after the end
                           "--note", "2.25:42:64:0.25:10", // frame 78000 on channel 10
                           "--note", "-2:50",              // before the start: left out
                           "--note", "4:51"},              // after the end: left out
                          {"VORLATEK_FIXTURE_LOG=" + log});
    ASSERT_EQ(r.status, 0) << r.err;
    auto blocks = blocksOf(readLines(log));
    ASSERT_EQ(blocks.size(), 188u);  // 96000 frames in blocks of 512

    // Every event as (absolute frame, status, data 1, data 2, note length).
    std::vector<std::vector<long long>> seen;
    long long start = 0;
    for (const Block& b : blocks) {
        for (const auto& e : b.events) {
            ASSERT_EQ(e.size(), 6u);
            EXPECT_GE(e[0], 0);
            EXPECT_LT(e[0], b.frames);
            EXPECT_EQ(e[5], 32);  // byteSize of a VstMidiEvent
            seen.push_back({start + e[0], e[1], e[2], e[3], e[4]});
        }
        start += b.frames;
    }
    const std::vector<std::vector<long long>> expected = {
        {12000, 0x90, 36, 100, 6000}, {18000, 0x80, 36, 0, 0},  {48000, 0x90, 38, 127, 24000},
        {72000, 0x80, 38, 0, 0},      {72000, 0x90, 40, 90, 12000}, {78000, 0x99, 42, 64, 6000},
        {84000, 0x80, 40, 0, 0},      {84000, 0x89, 42, 0, 0},      {84000, 0x90, 40, 91, 240000}};
    EXPECT_EQ(seen, expected);

    // Only blocks with events get an event list.
    int lists = 0;
    for (const auto& line : readLines(log)) lists += startsWith(line, "events ") ? 1 : 0;
    EXPECT_EQ(lists, 6);
}

TEST(HostRender, TimeInfoFollowsTheFrameCount) {
    TempDir dir;
    const std::string log = dir.file("log");
    // An awkward tempo and block size over ten minutes: positions must come from the frame
    // count, not from a running sum.
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--pins", "0", "--tempo", "133.7",
                           "--sample-rate", "1000", "--block", "7", "--seconds", "600", "--start-beat", "-2.5"},
                          {"VORLATEK_FIXTURE_LOG=" + log});
    ASSERT_EQ(r.status, 0) << r.err;
    auto blocks = blocksOf(readLines(log));
    ASSERT_EQ(blocks.size(), (600 * 1000 + 6) / 7u);
    const double framesPerBeat = 1000.0 * 60.0 / 133.7;
    long long frame = 0;
    for (const Block& b : blocks) {
        ASSERT_TRUE(b.hasTime);
        const double ppq = -2.5 + static_cast<double>(frame) / framesPerBeat;
        EXPECT_DOUBLE_EQ(b.ppq, ppq) << "frame " << frame;
        EXPECT_NEAR(b.samplePos, -2.5 * framesPerBeat + static_cast<double>(frame), 1e-6) << "frame " << frame;
        EXPECT_EQ(b.barStart, std::floor(b.ppq / 4.0) * 4.0);
        EXPECT_EQ(b.tempo, 133.7);
        EXPECT_EQ(b.sampleRate, 1000.0);
        EXPECT_EQ(b.numerator, 4);
        EXPECT_EQ(b.denominator, 4);
        EXPECT_EQ(b.flags, kPlaying | kPpqValid | kTempoValid | kBarsValid | kTimeSigValid);
        frame += b.frames;
    }
    EXPECT_EQ(frame, 600 * 1000);
    EXPECT_EQ(blocks.front().barStart, -4.0);
}

TEST(HostRender, StoppedTransportAndMissingTimeInfo) {
    TempDir dir;
    const std::string stoppedLog = dir.file("stopped");
    RunResult r = runHost({"render", fixture(), "-o", dir.file("a.wav"), "--seconds", "0.1", "--start-beat", "6"},
                          {"VORLATEK_FIXTURE_LOG=" + stoppedLog});
    ASSERT_EQ(r.status, 0) << r.err;
    r = runHost({"render", fixture(), "-o", dir.file("a.wav"), "--seconds", "0.1", "--start-beat", "6",
                 "--no-transport"},
                {"VORLATEK_FIXTURE_LOG=" + stoppedLog});
    ASSERT_EQ(r.status, 0) << r.err;
    auto blocks = blocksOf(readLines(stoppedLog));
    ASSERT_EQ(blocks.size(), 18u);  // two renders of 9 blocks
    for (std::size_t i = 9; i < blocks.size(); ++i) {
        // Stopped: the position stays where the transport stands.
        EXPECT_EQ(blocks[i].flags, kPpqValid | kTempoValid | kBarsValid | kTimeSigValid);
        EXPECT_EQ(blocks[i].ppq, 6.0);
        EXPECT_EQ(blocks[i].samplePos, 6.0 * 22050.0);
        EXPECT_EQ(blocks[i].barStart, 4.0);
    }
    EXPECT_GT(blocks[8].ppq, 6.0);

    const std::string noTimeLog = dir.file("none");
    r = runHost({"render", fixture(), "-o", dir.file("b.wav"), "--seconds", "0.1", "--no-time-info"},
                {"VORLATEK_FIXTURE_LOG=" + noTimeLog});
    ASSERT_EQ(r.status, 0) << r.err;
    blocks = blocksOf(readLines(noTimeLog));
    ASSERT_EQ(blocks.size(), 9u);
    for (const Block& b : blocks) EXPECT_FALSE(b.hasTime);
    // A host without time info does not claim to send it.
    for (const auto& line : readLines(noTimeLog)) {
        if (startsWith(line, "hostAnswers")) {
            EXPECT_TRUE(startsWith(line, "hostAnswers 44100 512 -1 ")) << line;
        }
    }
}

TEST(HostRender, WritesTheChosenPinsAsFloatWav) {
    TempDir dir;
    // Default length: four bars at 120 BPM; default pins: the stereo main pair.
    RunResult r = runHost({"render", fixture(), "-o", dir.file("main.wav"), "--block", "300"});
    ASSERT_EQ(r.status, 0) << r.err;
    Wav wav = readWav(dir.file("main.wav"));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sampleRate, 44100);
    EXPECT_EQ(wav.frames, 8 * 44100);
    EXPECT_EQ(wav.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
    for (long long f = 0; f < wav.frames; ++f) {
        ASSERT_FLOAT_EQ(wav.at(f, 0), fixtureSignal(0, f)) << f;
        ASSERT_FLOAT_EQ(wav.at(f, 1), fixtureSignal(1, f)) << f;
    }

    r = runHost({"render", fixture(), "-o", dir.file("list.wav"), "--pins", "4,0-1", "--bars", "0.5",
                 "--sample-rate", "96000", "--tempo", "90"});
    ASSERT_EQ(r.status, 0) << r.err;
    wav = readWav(dir.file("list.wav"));
    EXPECT_EQ(wav.channels, 3);
    EXPECT_EQ(wav.sampleRate, 96000);
    EXPECT_EQ(wav.frames, 128000);  // two beats at 90 BPM
    for (long long f = 0; f < wav.frames; f += 997) {
        EXPECT_FLOAT_EQ(wav.at(f, 0), fixtureSignal(4, f));
        EXPECT_FLOAT_EQ(wav.at(f, 1), fixtureSignal(0, f));
        EXPECT_FLOAT_EQ(wav.at(f, 2), fixtureSignal(1, f));
    }

    r = runHost({"render", fixture(), "-o", dir.file("twice.wav"), "--pins", "2,2", "--seconds", "0.25"});
    ASSERT_EQ(r.status, 0) << r.err;
    wav = readWav(dir.file("twice.wav"));
    ASSERT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.samples[2 * 777], wav.samples[2 * 777 + 1]);
    EXPECT_FLOAT_EQ(wav.at(777, 0), fixtureSignal(2, 777));

    r = runHost({"render", fixture(), "-o", dir.file("all.wav"), "--pins", "all", "--seconds", "0.25"});
    ASSERT_EQ(r.status, 0) << r.err;
    wav = readWav(dir.file("all.wav"));
    EXPECT_EQ(wav.channels, 6);
    EXPECT_EQ(wav.frames, 11025);
    EXPECT_FLOAT_EQ(wav.at(11024, 5), fixtureSignal(5, 11024));
}

TEST(HostRender, Pcm24ClipsInsteadOfWrapping) {
    TempDir dir;
    // Gain 2 drives pin 5 to +-1.2.
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--format", "pcm24", "--pins", "0,5",
                           "--seconds", "0.1", "--param", "0=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    Wav wav = readWav(dir.file("out.wav"));
    EXPECT_EQ(wav.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_24);
    ASSERT_EQ(wav.channels, 2);
    for (long long f = 0; f < wav.frames; ++f) {
        EXPECT_NEAR(wav.at(f, 0), fixtureSignal(0, f, 1.0f), 1.0 / (1 << 22)) << f;
        float expected = std::clamp(fixtureSignal(5, f, 1.0f), -1.0f, 1.0f);
        EXPECT_NEAR(wav.at(f, 1), expected, 1.0 / (1 << 22)) << f;
    }
}

TEST(HostRender, JsonSummaryMeasuresThePins) {
    TempDir dir;
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--pins", "0,3", "--seconds", "0.5",
                           "--block", "128", "--json"},
                          {"VORLATEK_FIXTURE_CHATTY=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = parseJson(r.out);
    EXPECT_EQ(j["frames"], 22050);
    EXPECT_EQ(j["sampleRate"], 44100);
    EXPECT_EQ(j["seconds"], 0.5);
    EXPECT_GE(j["cpuSeconds"].get<double>(), 0.0);
    EXPECT_GE(j["clockReadingSeconds"].get<double>(), 0.0);
    EXPECT_TRUE(j["realtimeFactor"].is_number() || j["realtimeFactor"].is_null());
    EXPECT_EQ(j["nonFinite"], 0);
    ASSERT_EQ(j["pins"].size(), 2u);
    const int pins[] = {0, 3};
    const char* labels[] = {"Fix Main", "Fix Aux 2"};
    for (int i = 0; i < 2; ++i) {
        double peak = 0.0, sum = 0.0;
        for (long long f = 0; f < 22050; ++f) {
            double x = fixtureSignal(pins[i], f);
            peak = std::max(peak, std::fabs(x));
            sum += x * x;
        }
        const json& pin = j["pins"][i];
        EXPECT_EQ(pin["pin"], pins[i]);
        EXPECT_EQ(pin["label"], labels[i]);
        EXPECT_NEAR(pin["peak"].get<double>(), peak, 1e-7);
        EXPECT_NEAR(pin["rms"].get<double>(), std::sqrt(sum / 22050), 1e-7);
    }
}

TEST(HostRender, NonFiniteSamplesAreCountedAndWrittenAsSilence) {
    TempDir dir;
    // With its third parameter on, the fixture puts a NaN and an infinity on pin 5 at the
    // start of every block.
    RunResult r = runHost({"render", fixture(), "-o", dir.file("out.wav"), "--pins", "all", "--block", "100",
                           "--seconds", "0.01", "--param", "2=1", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("NaN"), std::string::npos);
    json j = parseJson(r.out);
    EXPECT_EQ(j["nonFinite"], 10);  // 441 frames: 5 blocks, 2 each
    Wav wav = readWav(dir.file("out.wav"));
    ASSERT_EQ(wav.channels, 6);
    for (long long f = 0; f < wav.frames; ++f) {
        ASSERT_TRUE(std::isfinite(wav.at(f, 5)));
        if (f % 100 < 2) {
            EXPECT_EQ(wav.at(f, 5), 0.0f) << f;
        }
    }
    EXPECT_NEAR(j["pins"][5]["peak"].get<double>(), 0.6, 1e-6);
}

TEST(HostRender, UnwritableOutputFails) {
    TempDir dir;
    RunResult r = runHost({"render", fixture(), "-o", dir.file("no/such/folder/out.wav")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
}
