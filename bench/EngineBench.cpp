// Real-time factor of the drum engine (seconds of audio rendered per CPU second), one
// instance, frame by frame as the plug-in drives it:
//   Silence  - no voice sounding: the shared sources, smoothing and activity checks only;
//   BassSnare - bass and snare drum retriggered every 100 ms, as a busy pattern would.
// Each iteration renders 100 ms of audio; the "realtime" counter is the factor.

#include "engine/DrumEngine.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using vorlatek::DrumEngine;
using vorlatek::EngineFrame;

void renderSlices(benchmark::State& state, bool retrigger) {
    const auto rate = static_cast<float>(state.range(0));
    auto engine = std::make_unique<DrumEngine>();
    engine->setSampleRate(rate);
    engine->setParameter(vorlatek::param::kBassDrumDecay, 0.5f);
    engine->setParameter(vorlatek::param::kSnareDrumSnappy, 0.7f);
    const int framesPerSlice = static_cast<int>(rate / 10.0f);
    EngineFrame frame;
    double sink = 0.0;
    for (auto _ : state) {
        if (retrigger) {
            engine->triggerInstrument(vorlatek::kBassDrum, false, false);
            engine->triggerInstrument(vorlatek::kSnareDrum, false, false);
        }
        for (int n = 0; n < framesPerSlice; ++n) {
            engine->renderFrame(frame);
            sink += frame.master;
        }
        benchmark::DoNotOptimize(sink);
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * framesPerSlice / rate, benchmark::Counter::kIsRate);
}

void Silence(benchmark::State& state) { renderSlices(state, false); }
void BassSnare(benchmark::State& state) { renderSlices(state, true); }

BENCHMARK(Silence)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);
BENCHMARK(BassSnare)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
