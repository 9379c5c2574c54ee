// Real-time factor of the drum engine (seconds of audio rendered per CPU second), one
// instance on one core, for the scenes of EngineScene.h at 44.1 and 96 kHz. Each iteration
// renders one 100 ms slice; the "realtime" counter is the factor.

#include "bench/EngineScene.h"
#include "engine/DrumEngine.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

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

// One instrument alone, retriggered every 100 ms with its knobs at their middle: what each
// voice costs (argument: the instrument, 0..16).
void OneVoice(benchmark::State& state) {
    const int instrument = static_cast<int>(state.range(0));
    auto engine = std::make_unique<vorlatek::DrumEngine>();
    vorlatek::bench::prepareScene(*engine, Scene::AllVoices, 44100.0f);
    const int frames = vorlatek::bench::framesPerSlice(44100.0f);
    double sink = 0.0;
    for (auto _ : state) {
        engine->triggerInstrument(instrument, false, false);
        for (int done = 0; done < frames;) done += engine->renderRun(frames - done).frames;
        sink += engine->voiceOut()[instrument];
        benchmark::DoNotOptimize(sink);
    }
    state.SetLabel(std::string(vorlatek::kInstrumentNames[instrument]));
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * frames / 44100.0, benchmark::Counter::kIsRate);
}

BENCHMARK(Silence)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);
BENCHMARK(BassSnare)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);
BENCHMARK(AllVoices)->Arg(44100)->Arg(96000)->Unit(benchmark::kMillisecond);
BENCHMARK(OneVoice)->DenseRange(0, vorlatek::kInstrumentCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
