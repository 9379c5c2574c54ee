// Real-time factor of the whole plug-in's process call (seconds of audio per CPU second),
// measured as a host runs it: one instance with its 36 default output pins in one buffer of
// the host's block size per pin, laid out back to back as hosts allocate them, the host
// transport playing, and the sequencer playing a pattern loaded from a state chunk:
//   Busy      - bench/busy-pattern.xml at 120 bpm: eight instruments, 36 hits a bar, with
//               open hi-hat and clap tails (arguments: block size, sample rate);
//   AllVoices - bench/all-voices-pattern.xml at 150 bpm: all seventeen instruments on every
//               step, retriggered every 100 ms (argument: block size);
//   Silence   - the transport stopped: nothing plays, every pin is written (block size).
// Each iteration is one host block; the "realtime" counter is the factor.

#include "bench/HostRig.h"

#include <benchmark/benchmark.h>

namespace {

// Plays `chunkFile` (none: the factory state, transport stopped) at `tempo` in blocks of the
// benchmark's first argument at the rate of its second (44.1 kHz when there is none).
void play(benchmark::State& state, const char* chunkFile, double tempo, bool playing) {
    const auto rate = static_cast<float>(state.range(1) > 0 ? state.range(1) : 44100);
    vorlatek::bench::HostRig rig(chunkFile, tempo, playing, static_cast<int>(state.range(0)), rate);
    for (auto _ : state) {
        rig.processBlock();
        benchmark::DoNotOptimize(rig.output());
        benchmark::ClobberMemory();
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(rig.frames()) / rate, benchmark::Counter::kIsRate);
}

void Busy(benchmark::State& state) { play(state, "busy-pattern.xml", 120.0, true); }
void AllVoices(benchmark::State& state) { play(state, "all-voices-pattern.xml", 150.0, true); }
void Silence(benchmark::State& state) { play(state, nullptr, 120.0, false); }

BENCHMARK(Busy)
    ->ArgNames({"block", "rate"})
    ->Args({32, 44100})
    ->Args({64, 44100})
    ->Args({512, 44100})
    ->Args({4096, 44100})
    ->Args({64, 96000})
    ->Args({512, 96000})
    ->Args({4096, 96000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(AllVoices)->ArgNames({"block", "rate"})->Args({512, 44100})->Args({512, 96000})->Unit(benchmark::kMicrosecond);
BENCHMARK(Silence)->ArgNames({"block", "rate"})->Args({32, 44100})->Args({64, 44100})->Args({512, 44100})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
