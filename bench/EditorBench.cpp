// The editor's cost on one core, on the headless window with the shipped art:
//   EditorIdle       one idle pass at 30 calls per second while a pattern plays in write
//                    mode with auto follow (the running light moves), activity lamps light,
//                    and two rows wait on the clipboard (their select buttons blink);
//   FullRedraw       the whole panel painted;
// each at scale 1 and 2 (the argument); and
//   ProcessBlock     the plug-in's process call with the editor closed (0) or open (1), 256
//                    frames at 44.1 kHz, so the audio thread's cost with an editor shows.
// Goals: idle under 0.5 ms per call, full redraw under 5 ms, process unchanged by the editor.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "editor/Editor.h"
#include "editor/EditorLink.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/HeadlessWindow.h"

namespace {

using namespace vorlatek;

struct Rig {
    explicit Rig(double scale, bool open = true)
        : plugin(&host, ""),
          editor(
              plugin,
              [this](toolkit::CFrame& frame, void*) {
                  window = &toolkit::HeadlessWindow::openOn(frame);
                  return true;
              },
              [scale] { return scale; }) {
        host.editor = &editor;
        if (open) editor.open(nullptr);
        pins.assign(static_cast<std::size_t>(plugin.numOutputs()), std::vector<float>(kMaxBlock));
        for (auto& p : pins) pointers.push_back(p.data());
        transport.valid = transport.tempoValid = transport.ppqValid = transport.playing = true;
        transport.tempo = 120.0;
        plugin.setProcessing(true);
    }
    ~Rig() { host.editor = nullptr; }

    void process(int frames) {
        plugin.process(pointers.data(), frames, &transport, true);
        transport.ppqPos += frames * transport.tempo / 60.0 / 44100.0;
    }

    static constexpr int kMaxBlock = 2048;
    editor::EditorLink host;
    DrumPlugin plugin;
    editor::Editor editor;
    toolkit::HeadlessWindow* window = nullptr;
    std::vector<std::vector<float>> pins;
    std::vector<float*> pointers;
    TimeSnapshot transport;
};

void EditorIdle(benchmark::State& state) {
    Rig rig(double(state.range(0)));
    rig.plugin.setWriteMode(true);
    rig.plugin.setAutoFollow(true);
    rig.plugin.setSelectedInstrument(1, true);
    rig.plugin.patternEditor()->copyButton({});
    for (int i = 0; i < 30; ++i) rig.editor.idle();
    for (auto _ : state) {
        state.PauseTiming();
        for (int b = 0; b < 3; ++b) rig.process(490);  // a thirtieth of a second
        rig.window->advance(33);
        state.ResumeTiming();
        rig.editor.idle();
    }
}

void FullRedraw(benchmark::State& state) {
    Rig rig(double(state.range(0)));
    rig.editor.idle();
    for (auto _ : state) {
        rig.editor.frame()->invalidAll();
        rig.editor.frame()->idle();
    }
}

void ProcessBlock(benchmark::State& state) {
    Rig rig(1.0, state.range(0) != 0);
    rig.plugin.playbackSelection().selectPlayPattern(2);
    rig.plugin.playbackSelection().setAutoFillIn(4);
    long long frames = 0;
    for (auto _ : state) {
        rig.process(256);
        frames += 256;
        if (frames % (256 * 64) == 0 && rig.editor.isOpen()) {  // the host idles now and then
            state.PauseTiming();
            rig.editor.idle();
            state.ResumeTiming();
        }
    }
    state.counters["realtime"] = benchmark::Counter(double(frames) / 44100.0, benchmark::Counter::kIsRate);
}

BENCHMARK(EditorIdle)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
