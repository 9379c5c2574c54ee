// The whole plug-in's process call in processor cycles a frame, read off the cycle counter
// around each call, as ProcessBench plays it (bench/HostRig.h): on a shared machine the
// lowest over many stretches is the figure the machine's other work disturbs least, and
// steadier than a timing.
//   ProcessCycles busy [BLOCK] [RATE]     bench/busy-pattern.xml at 120 bpm, 2 s stretches (a bar)
//   ProcessCycles all [BLOCK] [RATE]      bench/all-voices-pattern.xml at 150 bpm, 0.4 s stretches
//   ProcessCycles silence [BLOCK] [RATE]  the transport stopped, 0.4 s stretches
// BLOCK defaults to 512 frames, RATE to 44100 Hz. Prints the lowest and the median of 60
// stretches (after two more to warm up). Where the processor has no cycle counter the engine
// knows of, nanoseconds stand in for cycles.

#include "bench/HostRig.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Where a sample of the output goes, so that the compiler keeps the work.
volatile float kept = 0.0f;

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    const int block = argc > 2 ? std::atoi(argv[2]) : 512;
    const float rate = argc > 3 ? static_cast<float>(std::atof(argv[3])) : 44100.0f;
    if (argc < 2 || argc > 4 || (what != "busy" && what != "all" && what != "silence") || block < 1 ||
        block > 8192 || !(rate >= 8000.0f && rate <= 384000.0f)) {
        std::fprintf(stderr, "usage: ProcessCycles busy|all|silence [BLOCK 1..8192] [RATE 8000..384000]\n");
        return 2;
    }
    const bool busy = what == "busy";
    const char* file = busy ? "busy-pattern.xml" : what == "all" ? "all-voices-pattern.xml" : nullptr;
    vorlatek::bench::HostRig rig(file, what == "all" ? 150.0 : 120.0, file != nullptr, block, rate);
    const long long stretch = static_cast<long long>((busy ? 2.0 : 0.4) * rate);

    std::vector<double> perFrame;
    for (int turn = 0; turn < 62; ++turn) {
        unsigned long long cycles = 0;
        const long long first = rig.frames();
        while (rig.frames() - first < stretch) {
            const unsigned long long start = vorlatek::bench::cycleCount();
            rig.processBlock();
            cycles += vorlatek::bench::cycleCount() - start;
            kept = rig.output()[0];
        }
        if (turn >= 2) perFrame.push_back(static_cast<double>(cycles) / static_cast<double>(rig.frames() - first));
    }
    std::sort(perFrame.begin(), perFrame.end());
    std::printf("%s, %d-frame blocks at %.0f Hz: lowest %.1f, median %.1f cycles a frame (%zu stretches)\n",
                what.c_str(), block, rate, perFrame.front(), perFrame[perFrame.size() / 2], perFrame.size());
    return 0;
}
