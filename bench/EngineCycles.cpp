// The engine's cost in processor cycles a frame, read off the cycle counter around each of
// its runs: steadier on a shared machine than a timing, since the lowest bar over many is
// the one nothing else disturbed.
//   EngineCycles busy [RATE]        the bar of bench/busy-pattern.xml, accents on the beats
//   EngineCycles silence [RATE]     no voice sounding
//   EngineCycles all [RATE]         all seventeen instruments struck together every 100 ms
//   EngineCycles INSTRUMENT [RATE]  one instrument (0..16) struck and left to ring out
// Prints the lowest and the median of the bars' (or hits', or 100 ms slices') cycles a frame. Where the processor
// has no cycle counter the engine knows of, nanoseconds stand in for cycles.

#include "bench/BenchSupport.h"
#include "engine/DrumEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vorlatek;

// Where the output's sum goes, so that the compiler keeps the work.
volatile double kept = 0.0;

constexpr const char* kBusyRows[kInstrumentCount] = {
    "o..o..o.o..o..o.", "....O.......O..o", "................", "................", "................",
    "..........o..o.o", "................", "................", "................", ".o.....o.o......",
    "................", "....o.......o.o.", "...o.o.....o....", "................", "................",
    "..o.o...o...o...", "oo.o.oo.oo.o.ooo"};

// Renders `frames` in runs of at most 256, as the plug-in does between events; adds the
// cycles spent to `cycles`. Returns something of the output, so the work stays.
double render(DrumEngine& engine, long frames, unsigned long long& cycles) {
    double sum = 0.0;
    while (frames > 0) {
        const int run = static_cast<int>(std::min(frames, 256L));
        const unsigned long long start = bench::cycleCount();
        const EngineRun& out = engine.renderRun(run);
        cycles += bench::cycleCount() - start;
        sum += out.master[0];
        frames -= run;
    }
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: EngineCycles busy|silence|all|INSTRUMENT [RATE]\n");
        return 2;
    }
    const std::string what = argv[1];
    const float rate = argc > 2 ? static_cast<float>(std::atof(argv[2])) : 44100.0f;
    const int instrument = what == "busy" ? -1 : what == "silence" ? -2 : what == "all" ? -3 : std::atoi(argv[1]);
    if (!(rate >= 8000.0f && rate <= 384000.0f) || instrument < -3 || instrument >= kInstrumentCount ||
        (instrument == 0 && what != "0")) {
        std::fprintf(stderr, "EngineCycles: busy, silence, all or an instrument 0..16; RATE 8000..384000\n");
        return 2;
    }
    auto engine = std::make_unique<DrumEngine>();
    engine->setSampleRate(rate);
    for (int index = 0; index <= param::kLastEngineParameter; ++index) engine->setParameter(index, 0.5f);
    for (int index = param::kFirstMute; index <= param::kLastEngineParameter; ++index) engine->setParameter(index, 0.0f);

    std::vector<double> perFrame;
    double sink = 0.0;
    const long step = std::lround(rate / 8.0);  // a sixteenth at 120 bpm
    for (int turn = 0; turn < 80; ++turn) {
        unsigned long long cycles = 0;
        long frames = 0;
        if (instrument == -1) {
            for (int s = 0; s < 16; ++s, frames += step) {
                for (int i = 0; i < kInstrumentCount; ++i)
                    if (kBusyRows[i][s] != '.') engine->triggerInstrument(i, kBusyRows[i][s] == 'O', s % 4 == 0);
                sink += render(*engine, step, cycles);
            }
        } else if (instrument == -2) {
            frames = 16 * step;
            sink += render(*engine, frames, cycles);
        } else if (instrument == -3) {
            for (int i = 0; i < kInstrumentCount; ++i) engine->triggerInstrument(i, false, false);
            frames = std::lround(rate / 10.0);
            sink += render(*engine, frames, cycles);
        } else {
            engine->triggerInstrument(instrument, false, false);
            for (; frames < 40 * 256 && engine->voice(instrument).active; frames += 256) sink += render(*engine, 256, cycles);
        }
        if (turn >= 2 && frames > 0) perFrame.push_back(static_cast<double>(cycles) / static_cast<double>(frames));
    }
    std::sort(perFrame.begin(), perFrame.end());
    kept = sink;
    std::printf("%s at %.0f Hz: lowest %.1f, median %.1f cycles a frame (%zu bars)\n", what.c_str(), rate,
                perFrame.front(), perFrame[perFrame.size() / 2], perFrame.size());
    return 0;
}
