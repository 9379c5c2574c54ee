#include "engine/DriveStage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlatek {
namespace {

TEST(DriveStageTest, JunctionReturnsItsLimitAtAndNearZero) {
    for (double u : {0.0, -0.0, 1e-300, -1e-300, 1e-17, -1e-17, 1e-12, -1e-12}) {
        EXPECT_EQ(DriveStage::junction(u), 0.0) << u;
    }
    // Just outside the guard the formula takes over without a jump: about −u/2.
    for (double u : {2e-8, -2e-8, 1e-6, -1e-6, 1e-3, -1e-3}) {
        EXPECT_NEAR(DriveStage::junction(u), -u / 2.0, 1e-8 + 1e-3 * std::fabs(u)) << u;
    }
}

TEST(DriveStageTest, JunctionTendsToMinusOneAboveAndToMagnitudeMinusOneBelow) {
    EXPECT_NEAR(DriveStage::junction(50.0), -1.0, 1e-15);
    EXPECT_EQ(DriveStage::junction(1000.0), -1.0);  // eᵘ overflows; the limit still holds
    EXPECT_NEAR(DriveStage::junction(-50.0), 49.0, 1e-12);
    EXPECT_EQ(DriveStage::junction(-1000.0), 999.0);
    double previous = DriveStage::junction(-60.0);
    for (double u = -59.9; u < 60.0; u += 0.1) {
        const double j = DriveStage::junction(u);
        EXPECT_LE(j, previous) << u;
        previous = j;
    }
}

// With no metal signal only the envelope's own push (0.01·e³ + 0.05)·e feeds the
// accumulator; its leak is scaled by R and its output by 192000/sr, so the settled output
// is (0.06·192000)/(44100·L)·s_out for e = 1 at every rate.
TEST(DriveStageTest, SettledOutputIsTheSameAtEveryRate) {
    for (const DriveStage::Shape& shape : {kMetalDrive, kCymbalLowDrive}) {
        const double expected = 0.06 * 192000.0 / (44100.0 * shape.leak) * shape.outputScale;
        for (double rate : {8000.0, 44100.0, 96000.0, 384000.0}) {
            DriveStage stage(shape);
            stage.setSampleRate(rate);
            for (int n = 0; n < 20000; ++n) stage.drive(0.0, 1.0);
            EXPECT_NEAR(stage.value, expected, 1e-9 * expected) << rate;
        }
    }
}

}  // namespace
}  // namespace vorlatek
