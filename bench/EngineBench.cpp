// Real-time factor of the drum engine (seconds of audio rendered per CPU second), one
// instance on one core, for the scenes of EngineScene.h at 44.1 and 96 kHz. Each iteration
// renders one 100 ms slice; the "realtime" counter is the factor.

#include "bench/EngineScene.h"
#include "engine/DrumEngine.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using vorlatek::bench::Scene;

void renderScene(benchmark::State& state, Scene scene) {
    const auto rate = static_cast<float>(state.range(0));
    auto engine = std::make_unique<vorlatek::DrumEngine>();
    vorlatek::bench::prepareScene(*engine, scene, rate);
    const int frames = vorlatek::bench::framesPerSlice(rate);
    double sink = 0.0;
    for (auto _ : state) {
        sink += vorlatek::bench::renderSlice(*engine, scene, frames);
        benchmark::DoNotOptimize(sink);
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * frames / rate, benchmark::Counter::kIsRate);
}

void Silence(benchmark::State& state) { renderScene(state, Scene::Silence); }
void BassSnare(benchmark::State& state) { renderScene(state, Scene::BassSnare); }
void AllVoices(benchmark::State& state) { renderScene(state, Scene::AllVoices); }

BENCHMARK(Silence)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);
BENCHMARK(BassSnare)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);
BENCHMARK(AllVoices)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
