// Counts heap allocations made while the engine runs: after construction it must make none,
// whatever the host does on the audio thread or from its other threads.

#include "engine/DrumEngine.h"

#include <gtest/gtest.h>

#include "AllocationCounter.h"

namespace vorlatek {
namespace {

TEST(DrumEngineAllocation, RunningTheEngineNeverAllocates) {
    auto engine = std::make_unique<DrumEngine>();
    EngineFrame frame;
    const long allocations = allocation_counter::countAllocations([&] {
    engine->setSampleRate(48000.0f);
    for (int index = 0; index <= 110; ++index) engine->setParameter(index, 0.3f);
    engine->setParameter(param::kFirstMute, 0.0f);
    for (int n = 0; n < 20000; ++n) {
        if (n % 1000 == 0)
            for (int i = 0; i <= kAccent; ++i) engine->triggerInstrument(i, n % 2000 == 0, true);
        if (n % 5000 == 0) engine->startTriggerPulse();
        engine->renderFrame(frame);
    }
    });
    EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace vorlatek
