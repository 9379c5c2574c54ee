// The loops built for AVX-512 (voices and stages in the lanes of one register, exponentials and
// sines eight at a time, the trigger pulse beside the shared sources, the mix and the pins
// sixteen samples to a store) against the loops every processor runs: the same samples to
// the bit, every instrument with its knobs spread, at four rates, in runs of mixed lengths.

#include "engine/DrumEngine.h"
#include "engine/ProcessorFeatures.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlatek {
namespace {

// Every output bit of a render: the master, each instrument's row and the trigger.
std::vector<std::uint32_t> renderEverything(float rate, int setting) {
    auto engine = std::make_unique<DrumEngine>();
    engine->setSampleRate(rate);
    for (int p = 0; p <= param::kLastEngineParameter; ++p)
        engine->setParameter(p, static_cast<float>(std::fmod(0.1 + 0.37 * p + 0.29 * setting, 1.0)));
    for (int i = 0; i < kInstrumentCount; ++i) {
        engine->setParameter(param::kFirstMute + i, 0.0f);
        engine->setParameter(param::kFirstSolo + i, 0.0f);
    }
    std::vector<std::uint32_t> bits;
    const long frames = std::lround(0.8 * rate), again = std::lround(0.3 * rate);
    const int lengths[] = {256, 37, 1, 200, 64, 32};
    for (long n = 0, turn = 0; n < frames; ++turn) {
        if (n == 0 || (n >= again && n < again + 256 && turn % 7 == 3))
            for (int i = 0; i < kInstrumentCount; ++i) engine->triggerInstrument(i, (i + setting) % 3 == 0, i % 2 == 0);
        const EngineRun& run = engine->renderRun(lengths[turn % 6]);
        for (int f = 0; f < run.frames; ++f) {
            bits.push_back(std::bit_cast<std::uint32_t>(run.masterSounding ? run.master[f] : 0.0f));
            bits.push_back(std::bit_cast<std::uint32_t>(run.trigger[f]));
            for (int i = 0; i < kInstrumentCount; ++i)
                bits.push_back(std::bit_cast<std::uint32_t>(run.sounding[i] ? run.instrument[i][f] : 0.0f));
        }
        n += run.frames;
    }
    return bits;
}

TEST(WideLoops, RenderWhatTheOtherLoopsRender) {
    if (!cpu::detectedAvx512()) GTEST_SKIP() << "no AVX-512 here: only one form of the loops runs";
    for (float rate : {22050.0f, 44100.0f, 96000.0f, 192000.0f}) {
        for (int setting : {0, 1}) {
            cpu::useAvx512(false);
            const std::vector<std::uint32_t> plain = renderEverything(rate, setting);
            cpu::useAvx512(true);
            const std::vector<std::uint32_t> wide = renderEverything(rate, setting);
            ASSERT_EQ(plain.size(), wide.size());
            std::size_t differing = 0, first = plain.size();
            for (std::size_t k = 0; k < plain.size(); ++k)
                if (plain[k] != wide[k] && differing++ == 0) first = k;
            // Each frame holds 19 values: master, trigger, then the instruments in order.
            EXPECT_EQ(differing, 0u) << rate << " Hz, setting " << setting << ": first at frame " << first / 19
                                     << ", value " << first % 19;
        }
    }
}

}  // namespace
}  // namespace vorlatek
