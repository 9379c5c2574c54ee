// Renders a fixed stretch of one engine scene (see EngineScene.h), for counting
// instructions with a profiler rather than timing them:
//   EngineProfile SCENE RATE SECONDS      e.g. EngineProfile all-voices 44100 10
//   valgrind --tool=callgrind --toggle-collect='*renderSeconds*' build/bench/EngineProfile ...
// counts only the rendering, so instructions per second of audio are the total divided by
// SECONDS, the same on every run.

#include "bench/EngineScene.h"
#include "engine/DrumEngine.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using vorlatek::bench::Scene;

[[gnu::noinline]] double renderSeconds(vorlatek::DrumEngine& engine, Scene scene, float rate, int seconds) {
    const int frames = vorlatek::bench::framesPerSlice(rate);
    double sum = 0.0;
    for (int slice = 0; slice < 10 * seconds; ++slice) sum += vorlatek::bench::renderSlice(engine, scene, frames);
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    Scene scene{};
    if (argc != 4 || !vorlatek::bench::sceneFromName(argv[1], scene)) {
        std::fprintf(stderr, "usage: EngineProfile silence|bass-snare|all-voices RATE SECONDS\n");
        return 2;
    }
    const float rate = static_cast<float>(std::atof(argv[2]));
    const int seconds = std::atoi(argv[3]);
    if (!(rate >= 8000.0f && rate <= 384000.0f) || seconds < 1) {
        std::fprintf(stderr, "EngineProfile: RATE must be 8000..384000 and SECONDS at least 1\n");
        return 2;
    }
    auto engine = std::make_unique<vorlatek::DrumEngine>();
    vorlatek::bench::prepareScene(*engine, scene, rate);
    const double sum = renderSeconds(*engine, scene, rate, seconds);
    std::printf("%s at %.0f Hz, %d s: master sum %.17g\n", vorlatek::bench::sceneName(scene), rate, seconds, sum);
    return 0;
}
