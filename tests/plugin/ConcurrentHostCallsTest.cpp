// Hosts save and restore state, change programs and move parameters from their own threads
// while the audio thread plays. Nothing may crash and the output must stay finite.

#include "plugin/DrumPlugin.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace vorlatek {
namespace {

TEST(ConcurrentHostCalls, ChunksProgramsAndParametersWhileAudioRuns) {
    test::ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    const std::string chunk = plugin.getChunk(false);

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        constexpr int kFrames = 128;
        test::PinBuffers pins(plugin.numOutputs(), kFrames);
        TimeSnapshot transport = test::playingTransport(140.0);
        for (long n = 0; !stop.load(); ++n) {
            transport.ppqPos = static_cast<double>(n * kFrames) * transport.tempo / 60.0 / 44100.0;
            plugin.process(pins.pointers(), kFrames, &transport, true);
            if (!pins.allFinite()) finite = false;
            ++blocks;
        }
    });

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
        plugin.setChunk(chunk.data(), chunk.size(), false);
        const std::string saved = plugin.getChunk(n % 2 == 0);
        plugin.setChunk(saved.data(), saved.size() / (1 + n % 3), n % 2 == 0);
        plugin.selectProgram(n % 128);
        for (int i = 0; i < 111; i += 7) plugin.setParameter(i, static_cast<float>((n + i) % 10) / 9.0f);
    }
    while (blocks.load() < 50) std::this_thread::yield();
    stop = true;
    audio.join();
    EXPECT_TRUE(finite.load());
    EXPECT_GE(blocks.load(), 50);
}

}  // namespace
}  // namespace vorlatek
