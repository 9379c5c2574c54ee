// The followers stepped side by side in a batch end where each would end stepped alone, for
// any number of voices: groups of four, a part group, and several runs in a row.

#include "engine/ClavesVoice.h"
#include "engine/FollowerBatch.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace vorlatek {
namespace {

TEST(FollowerBatch, EachFollowerEndsWhereItWouldAlone) {
    constexpr int kFrames = 200;
    for (int count = 1; count <= kInstrumentCount; ++count) {
        SCOPED_TRACE(count);
        std::vector<std::array<double, kFrames>> outs(count);
        std::array<ClavesVoice, kInstrumentCount> voices;
        std::vector<PeakFollower> alone;
        FollowerBatch batch;
        for (int k = 0; k < count; ++k) {
            voices[k].peak = 0.3 + 0.01 * k;
            voices[k].peakDecay = 0.0002 * (k + 1);
            // A decaying tone with bursts above the follower now and then.
            for (int f = 0; f < kFrames; ++f)
                outs[k][f] = std::sin(0.1 * f * (k + 1)) * (f % 53 == k % 7 ? 0.9 : 0.2 * std::exp(-0.01 * f));
            alone.push_back(PeakFollower{voices[k].peak, voices[k].peakDecay});
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (int k = 0; k < count; ++k) {
                batch.add(voices[k], outs[k].data());
                for (double y : outs[k]) alone[k](y);
            }
            batch.run(kFrames);
            for (int k = 0; k < count; ++k) EXPECT_EQ(voices[k].peak, alone[k].peak) << "pass " << pass << ", voice " << k;
        }
    }
}

}  // namespace
}  // namespace vorlatek
