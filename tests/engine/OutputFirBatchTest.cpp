// The batch's output FIRs and followers end where each FIR and follower stepped alone would
// (outputs to the bit, peaks, magnitudes, histories), in the batch's own loops and in the
// lanes with other work beside them: one to eight voices (every instrument in the own loops),
// runs of mixed lengths, peaks high (where the followers' ε vanishes in the rounding) and
// low (where it does not), a NaN among the steps.

#include "engine/ClavesVoice.h"
#include "engine/OutputFirBatch.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace vorlatek {
namespace {

// The lanes' work beside the FIRs: checks that each octet's outputs are there when it is
// called, and counts the frames it was called for.
struct CheckOutputs {
    void octet(int f) {
        for (int q = 0; q < 8; ++q) frame(f + q);
    }
    void frame(int f) {
        for (std::size_t k = 0; k < outs.size(); ++k)
            if (!dsp::sameBits(outs[k][f], expected[k][f])) ++early;
        ++frames;
    }

    const std::vector<std::array<double, OutputFirBatch::kRowLength>>& outs;
    const std::vector<std::array<double, kMaxRunFrames>>& expected;
    int frames = 0;
    int early = 0;
};

TEST(OutputFirBatch, EachFirAndFollowerEndsWhereItWouldAlone) {
    const int lengths[] = {1, 8, 37, 256, 3, 64, 129};
    for (bool inLanes : {false, true}) {
#if defined(VORLATEK_ENGINE_WIDE)
        if (inLanes && !cpu::hasAvx512()) continue;
#else
        if (inLanes) continue;
#endif
        const int most = inLanes ? OutputFirBatch::kMostInLanes : kInstrumentCount;
        for (double loudness : {0.3, 1e-20}) {
            for (int count = 1; count <= most; ++count) {
                SCOPED_TRACE(testing::Message() << count << " voices at " << loudness << (inLanes ? " in lanes" : ""));
                std::array<ClavesVoice, kInstrumentCount> voices;
                std::vector<dsp::OutputFir> firs(count);
                std::vector<PeakFollower> followers;
                for (int k = 0; k < count; ++k) {
                    voices[k].peak = loudness * (1.5 + 0.1 * k);
                    voices[k].peakDecay = 0.0002 * (k + 1);
                    followers.push_back(PeakFollower{voices[k].peak, voices[k].peakDecay});
                }
                OutputFirBatch batch;
                // Each voice's row: its steps, then the FIR's output in the same place.
                std::vector<std::array<double, OutputFirBatch::kRowLength>> outs(count);
                std::vector<std::array<double, kMaxRunFrames>> expected(count);
                long n = 0;
                for (int frames : lengths) {
                    for (int k = 0; k < count; ++k) {
                        double* steps = batch.add(voices[k], outs[k].data());
                        for (int f = 0; f < frames; ++f) {
                            // A decaying tone with a burst now and then, and a NaN once.
                            const long t = n + f;
                            double x = loudness * std::sin(0.1 * t * (k + 1)) * (t % 53 == k % 7 ? 3.0 : std::exp(-0.002 * t));
                            if (t == 300 + k) x = std::nan("");
                            steps[f] = x;
                            expected[k][f] = firs[k].process(x);
                            followers[k](expected[k][f]);
                        }
                    }
#if defined(VORLATEK_ENGINE_WIDE)
                    if (inLanes) {
                        CheckOutputs work{outs, expected};
                        batch.runWide(frames, work);
                        EXPECT_EQ(work.frames, frames);
                        EXPECT_EQ(work.early, 0) << "outputs not there when the work came to them";
                    } else
#endif
                    {
                        batch.run(frames);
                    }
                    n += frames;
                    EXPECT_EQ(batch.count(), 0);
                    for (int k = 0; k < count; ++k) {
                        for (int f = 0; f < frames; ++f)
                            ASSERT_TRUE(dsp::sameBits(outs[k][f], expected[k][f])) << "voice " << k << ", frame " << n - frames + f;
                        EXPECT_EQ(voices[k].peak, followers[k].peak) << "voice " << k << " after frame " << n;
                        EXPECT_TRUE(dsp::sameBits(voices[k].magnitude, std::fabs(expected[k][frames - 1])));
                        EXPECT_TRUE(dsp::sameBits(voices[k].fir.output(), firs[k].output()));
                        for (int h = 0; h < dsp::OutputFir::kTaps; ++h)
                            EXPECT_TRUE(dsp::sameBits(voices[k].fir.history(h), firs[k].history(h)));
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace vorlatek
