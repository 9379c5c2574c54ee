#include "engine/ClosedHiHatVoice.h"

#include "GoldenFile.h"
#include "SharedSourceRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlatek {
namespace {

// After its 0.97 ms rise the note falls with a time constant of 250 samples at Decay 0,
// 769 at 0.5 and 3125 at 1 (at 44.1 kHz; the same time at other rates, also at 50 kHz
// where the attack countdown lands exactly on a half sample).
TEST(ClosedHiHatVoiceTest, DecaySetsTheTimeConstant) {
    for (auto [decay, samples] : {std::pair{0.0, 250.0}, {0.5, 769.2}, {1.0, 3125.0}}) {
        for (float rate : {44100.0f, 50000.0f, 96000.0f}) {
            const double peak = 2.645 * test::kPlainVelocity;
            const double seconds = test::secondsUntil<ClosedHiHatVoice>(
                rate, [decay](ClosedHiHatVoice& v) { v.setDecay(decay); },
                [peak](const ClosedHiHatVoice& v) { return v.attackTarget == 0.0 && v.envelope < peak / M_E; });
            EXPECT_NEAR(seconds - 0.00097, samples / 44100.0, 0.01 * samples / 44100.0 + 2.0 / rate)
                << decay << " at " << rate;
        }
    }
}

TEST(ClosedHiHatVoiceTest, StaysFiniteForAnySettingAndRate) {
    test::expectBoundedForAnySetting<ClosedHiHatVoice>({&ClosedHiHatVoice::setTone, &ClosedHiHatVoice::setDecay});
}

TEST(ClosedHiHatVoiceTest, MatchesGoldenRender) {
    test::expectMatchesGoldenOfInlineMaths("closedhihat", test::goldenHit<ClosedHiHatVoice>([](ClosedHiHatVoice& v) {
                                  v.setTone(0.5);
                                  v.setDecay(0.5);
                              }));
}

}  // namespace
}  // namespace vorlatek
