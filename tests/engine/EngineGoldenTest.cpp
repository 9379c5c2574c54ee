// Golden renders of the whole engine: all seventeen instruments played through
// triggerInstrument with accents, chokes and knob changes during sounding notes, two
// seconds at 44.1 kHz and at 96 kHz. Every EngineFrame channel (master, the seventeen
// instruments, the trigger output) is kept as the sum and the sum of squares of its float
// samples over each 10 ms block: a file small enough to keep, in which a change of any
// sample beyond its last bit (in any voice, source, smoothing or the render loop) shows.

#include "GoldenFile.h"
#include "engine/DrumEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

constexpr int kChannels = kInstrumentCount + 2;

// A knob value in 0..1 for each index, spread so that neighbouring knobs differ.
float spread(int index, double step, double offset) {
    return static_cast<float>(std::fmod(offset + step * index, 1.0));
}

bool isLevel(int index) {
    for (int level : param::kLevel)
        if (level == index) return true;
    return false;
}

void setSoundKnobs(DrumEngine& engine, double step, double offset) {
    for (int index = param::kAccentLevel + 1; index <= param::kHiHatFiltersFrequency; ++index)
        if (!isLevel(index)) engine.setParameter(index, spread(index, step, offset));
}

void triggerAll(DrumEngine& engine, int accentEvery, bool globalAccentOnEven) {
    for (int i = 0; i < kInstrumentCount; ++i)
        engine.triggerInstrument(i, i % accentEvery == 0, globalAccentOnEven && i % 2 == 0);
}

// What happens at the start of frame n (times in seconds, so that both rates play the
// same piece).
void play(DrumEngine& engine, long n, double rate) {
    const auto at = [&](double seconds) { return n == std::lround(seconds * rate); };
    if (at(0.0)) triggerAll(engine, 3, true);
    if (at(0.15)) {
        engine.triggerInstrument(kClosedHiHat, false, false);  // chokes the open hi-hat
        engine.triggerInstrument(kBassDrum, true, false);
    }
    if (at(0.3)) {
        // Every knob moves while the first notes still ring.
        setSoundKnobs(engine, 0.381966, 0.1);
        engine.setParameter(param::kLevel[kSnareDrum], 0.3f);
        engine.setParameter(param::kLevel[kCymbal], 1.0f);
    }
    if (at(0.5)) triggerAll(engine, 2, false);
    if (at(0.9)) engine.triggerInstrument(kOpenHiHat, true, true);
    if (at(0.95)) engine.triggerInstrument(kClosedHiHat, false, true);
    if (at(1.2)) {
        engine.setParameter(param::kMasterVolume, 0.5f);
        engine.setParameter(param::kAccentLevel, 1.0f);
        for (int i : {kSnareDrum, kHandClap, kLaserGun, kCymbal, kCowBell, kMaracas})
            engine.triggerInstrument(i, true, true);
    }
    if (at(1.4)) {
        engine.setParameter(param::kHiHatFiltersFrequency, 0.9f);
        engine.setParameter(param::kLaserGunDepth, 1.0f);
        for (int i : {kBassDrum, kLowTom, kHighConga, kClaves, kRimShot, kLaserGun, kOpenHiHat})
            engine.triggerInstrument(i, false, true);
    }
}

std::vector<double> renderPiece(float rate) {
    DrumEngine engine;
    engine.setSampleRate(rate);
    for (int index = param::kAccentLevel; index <= param::kHiHatFiltersFrequency; ++index)
        engine.setParameter(index, spread(index, 0.618034, 0.05));
    engine.setParameter(param::kMasterVolume, 0.8f);

    const long block = std::lround(rate / 100.0);
    const long frames = 2 * 100 * block;
    std::vector<double> sums(2 * kChannels, 0.0);
    std::vector<double> out;
    EngineFrame frame;
    for (long n = 0; n < frames; ++n) {
        play(engine, n, rate);
        frame = EngineFrame{};
        engine.renderFrame(frame);
        for (int c = 0; c < kChannels; ++c) {
            const double x = c == 0 ? frame.master : c <= kInstrumentCount ? frame.instrument[c - 1] : frame.trigger;
            sums[2 * c] += x;
            sums[2 * c + 1] += x * x;
        }
        if ((n + 1) % block == 0) {
            out.insert(out.end(), sums.begin(), sums.end());
            sums.assign(sums.size(), 0.0);
        }
    }
    return out;
}

TEST(EngineGolden, AllInstrumentsAt44100) { test::expectMatchesGolden("engine_44100", renderPiece(44100.0f)); }

TEST(EngineGolden, AllInstrumentsAt96000) { test::expectMatchesGolden("engine_96000", renderPiece(96000.0f)); }

// The piece really exercises every channel: each instrument (and the trigger output)
// sounds, so the golden files pin all of them.
TEST(EngineGolden, EveryChannelSounds) {
    const std::vector<double> blocks = renderPiece(44100.0f);
    for (int c = 0; c < kChannels; ++c) {
        double energy = 0.0;
        for (std::size_t b = 0; b < blocks.size(); b += 2 * kChannels) energy += blocks[b + 2 * c + 1];
        EXPECT_GT(energy, 1e-3) << "channel " << c;
    }
}

}  // namespace
}  // namespace vorlatek
