#include "engine/HiHatPair.h"

#include "engine/DriveLanes.h"
#include "engine/ProcessorFeatures.h"

namespace vorlatek {

namespace {

[[gnu::noinline, gnu::flatten]] void stepOneAfterTheOther(OpenHiHatVoice& __restrict open,
                                                          ClosedHiHatVoice& __restrict closed,
                                                          const SharedSignals* __restrict in,
                                                          const double* __restrict levelOpen,
                                                          const double* __restrict levelClosed,
                                                          double* __restrict outOpen, double* __restrict outClosed,
                                                          int frames) {
    for (int f = 0; f < frames; ++f) {
        outOpen[f] = open.step(in[f], levelOpen[f]);
        outClosed[f] = closed.step(in[f], levelClosed[f]);
    }
}

#if defined(VORLATEK_ENGINE_WIDE)
// The open hat's stage in lane 0, the closed one's in lane 1.
[[gnu::noinline, gnu::flatten, VORLATEK_WIDE_LOOP]] void stepInLanes(
    OpenHiHatVoice& __restrict open, ClosedHiHatVoice& __restrict closed, const SharedSignals* __restrict in,
    const double* __restrict levelOpen, const double* __restrict levelClosed, double* __restrict outOpen,
    double* __restrict outClosed, int frames) {
    DriveStage* const stages[2] = {&open.stage, &closed.stage};
    DriveLanes lanes(stages, 2);
    for (int f = 0; f < frames; ++f) {
        const double openEnvelope = open.stageEnvelope();
        const double closedEnvelope = closed.stageEnvelope();
        const __m256d y = lanes.step(_mm256_set1_pd(in[f].metalJunction),
                                     _mm256_set_pd(closedEnvelope, closedEnvelope, closedEnvelope, openEnvelope));
        outOpen[f] = open.finish(DriveLanes::lane0(y), levelOpen[f]);
        outClosed[f] = closed.finish(DriveLanes::lane1(y), levelClosed[f]);
    }
    lanes.storeTo(stages, 2);
}
#endif

}  // namespace

void stepSideBySide(OpenHiHatVoice& open, ClosedHiHatVoice& closed, const SharedSignals* in, const double* levelOpen,
                    const double* levelClosed, double* outOpen, double* outClosed, int frames) {
#if defined(VORLATEK_ENGINE_WIDE)
    if (cpu::hasAvx512()) return stepInLanes(open, closed, in, levelOpen, levelClosed, outOpen, outClosed, frames);
#endif
    stepOneAfterTheOther(open, closed, in, levelOpen, levelClosed, outOpen, outClosed, frames);
}

}  // namespace vorlatek
