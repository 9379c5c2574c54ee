// Counts heap allocations made while the engine runs: after construction it must make none,
// whatever the host does on the audio thread or from its other threads.

#include "engine/DrumEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace vorlatek {
namespace {

TEST(DrumEngineAllocation, RunningTheEngineNeverAllocates) {
    auto engine = std::make_unique<DrumEngine>();
    EngineFrame frame;
    allocations = 0;
    counting = true;
    engine->setSampleRate(48000.0f);
    for (int index = 0; index <= 110; ++index) engine->setParameter(index, 0.3f);
    engine->setParameter(param::kFirstMute, 0.0f);
    for (int n = 0; n < 20000; ++n) {
        if (n % 1000 == 0)
            for (int i = 0; i <= kAccent; ++i) engine->triggerInstrument(i, n % 2000 == 0, true);
        if (n % 5000 == 0) engine->startTriggerPulse();
        engine->renderFrame(frame);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}

}  // namespace
}  // namespace vorlatek
