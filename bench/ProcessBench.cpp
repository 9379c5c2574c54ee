// Real-time factor of the whole plug-in's process call (seconds of audio per CPU second),
// one instance with its 36 default output pins, the host transport playing at 120 bpm and
// the sequencer playing a busy factory pattern ("Funk": bass, snare, hi-hats and toms on
// most sixteenths, accents). Arguments: block size in frames, then the sample rate. Each
// iteration is one host block; the "realtime" counter is the factor.

#include "plugin/DrumPlugin.h"
#include "sequencer/PatternStore.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using vorlatek::DrumPlugin;
using vorlatek::TimeSnapshot;

constexpr int kBusyFactoryPattern = 2;

void ProcessBlock(benchmark::State& state) {
    const int blockSize = static_cast<int>(state.range(0));
    const auto rate = static_cast<float>(state.range(1));
    auto plugin = std::make_unique<DrumPlugin>(nullptr, std::string());  // no user settings file
    plugin->setSampleRate(rate);
    plugin->playbackSelection().selectPlayPattern(kBusyFactoryPattern);
    plugin->playbackSelection().setAutoFillIn(4);

    const int pins = plugin->numOutputs();
    std::vector<std::vector<float>> buffers(static_cast<std::size_t>(pins), std::vector<float>(blockSize));
    std::vector<float*> outputs;
    for (auto& b : buffers) outputs.push_back(b.data());

    TimeSnapshot transport;
    transport.valid = transport.tempoValid = transport.ppqValid = transport.playing = true;
    transport.tempo = 120.0;
    const double beatsPerFrame = transport.tempo / (60.0 * rate);
    long long frames = 0;
    for (auto _ : state) {
        transport.ppqPos = static_cast<double>(frames) * beatsPerFrame;
        plugin->process(outputs.data(), blockSize, &transport, true);
        frames += blockSize;
        benchmark::DoNotOptimize(buffers[0][0]);
    }
    state.counters["realtime"] = benchmark::Counter(static_cast<double>(frames) / rate, benchmark::Counter::kIsRate);
}

BENCHMARK(ProcessBlock)
    ->Args({32, 44100})
    ->Args({256, 44100})
    ->Args({2048, 44100})
    ->Args({256, 96000})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
