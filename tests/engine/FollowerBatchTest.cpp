// The followers stepped side by side in a batch end where each would end stepped alone, for
// any number of voices: groups of four, a part group, several runs in a row, and the same in
// the lanes of one register (up to eight followers), NaN outputs included.

#include "engine/ClavesVoice.h"
#include "engine/FollowerBatch.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace vorlatek {
namespace {

// Steps the batch over frames [0, frames): the batch's own loop, or its lanes a frame at a time.
void runBatch(FollowerBatch& batch, int frames, bool inLanes) {
#if defined(VORLATEK_ENGINE_WIDE)
    if (inLanes) {
        FollowerBatch::Lanes lanes(batch);
        for (int f = 0; f < frames; ++f) lanes.step(f);
        lanes.finish();
        return;
    }
#endif
    (void)inLanes;
    batch.run(frames);
}

TEST(FollowerBatch, EachFollowerEndsWhereItWouldAlone) {
    constexpr int kFrames = 200;
    for (bool inLanes : {false, true}) {
#if defined(VORLATEK_ENGINE_WIDE)
        if (inLanes && !cpu::hasAvx512()) continue;
#else
        if (inLanes) continue;
#endif
        // The lanes take at most eight followers.
        const int most = inLanes ? 8 : kInstrumentCount;
        for (int count = 1; count <= most; ++count) {
            SCOPED_TRACE(testing::Message() << count << (inLanes ? " in lanes" : ""));
            std::vector<std::array<double, kFrames>> outs(count);
            std::array<ClavesVoice, kInstrumentCount> voices;
            std::vector<PeakFollower> alone;
            FollowerBatch batch;
            for (int k = 0; k < count; ++k) {
                voices[k].peak = 0.3 + 0.01 * k;
                voices[k].peakDecay = 0.0002 * (k + 1);
                // A decaying tone with bursts above the follower now and then, and a NaN once.
                for (int f = 0; f < kFrames; ++f)
                    outs[k][f] = std::sin(0.1 * f * (k + 1)) * (f % 53 == k % 7 ? 0.9 : 0.2 * std::exp(-0.01 * f));
                outs[k][kFrames / 2 + k] = std::nan("");
                alone.push_back(PeakFollower{voices[k].peak, voices[k].peakDecay});
            }
            for (int pass = 0; pass < 2; ++pass) {
                for (int k = 0; k < count; ++k) {
                    batch.add(voices[k], outs[k].data());
                    for (double y : outs[k]) alone[k](y);
                }
                runBatch(batch, kFrames, inLanes);
                EXPECT_EQ(batch.count(), 0);
                for (int k = 0; k < count; ++k)
                    EXPECT_EQ(voices[k].peak, alone[k].peak) << "pass " << pass << ", voice " << k;
            }
        }
    }
}

}  // namespace
}  // namespace vorlatek
