// Golden renders of the whole engine: all seventeen instruments played through
// triggerInstrument with accents, chokes and knob changes during sounding notes, two
// seconds at 44.1 kHz and at 96 kHz, frame by frame; and the same piece in runs. Every EngineFrame channel (master, the seventeen
// instruments, the trigger output) is kept as the sum and the sum of squares of its float
// samples over each 10 ms block: a file small enough to keep, in which a change of any
// sample beyond its last bit (in any voice, source, smoothing or the render loop) shows.

#include "GoldenFile.h"
#include "engine/DrumEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
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

// The piece: what happens at which time (in seconds, so that both rates play the same).
struct Cue {
    double seconds;
    void (*act)(DrumEngine&);
};

const Cue kCues[] = {
    {0.0, [](DrumEngine& engine) { triggerAll(engine, 3, true); }},
    {0.15,
     [](DrumEngine& engine) {
         engine.triggerInstrument(kClosedHiHat, false, false);  // chokes the open hi-hat
         engine.triggerInstrument(kBassDrum, true, false);
     }},
    {0.3,
     [](DrumEngine& engine) {
         // Every knob moves while the first notes still ring.
         setSoundKnobs(engine, 0.381966, 0.1);
         engine.setParameter(param::kLevel[kSnareDrum], 0.3f);
         engine.setParameter(param::kLevel[kCymbal], 1.0f);
     }},
    {0.5, [](DrumEngine& engine) { triggerAll(engine, 2, false); }},
    {0.9, [](DrumEngine& engine) { engine.triggerInstrument(kOpenHiHat, true, true); }},
    {0.95, [](DrumEngine& engine) { engine.triggerInstrument(kClosedHiHat, false, true); }},
    {1.2,
     [](DrumEngine& engine) {
         engine.setParameter(param::kMasterVolume, 0.5f);
         engine.setParameter(param::kAccentLevel, 1.0f);
         for (int i : {kSnareDrum, kHandClap, kLaserGun, kCymbal, kCowBell, kMaracas})
             engine.triggerInstrument(i, true, true);
     }},
    {1.4,
     [](DrumEngine& engine) {
         engine.setParameter(param::kHiHatFiltersFrequency, 0.9f);
         engine.setParameter(param::kLaserGunDepth, 1.0f);
         for (int i : {kBassDrum, kLowTom, kHighConga, kClaves, kRimShot, kLaserGun, kOpenHiHat})
             engine.triggerInstrument(i, false, true);
     }},
};

// Plays the cues of frame n; returns the next frame with a cue (or `end`).
long play(DrumEngine& engine, long n, double rate, long end) {
    long next = end;
    for (const Cue& cue : kCues) {
        const long at = std::lround(cue.seconds * rate);
        if (at == n) cue.act(engine);
        if (at > n) next = std::min(next, at);
    }
    return next;
}

// An engine set up for the piece at `rate`.
std::unique_ptr<DrumEngine> pieceEngine(float rate) {
    auto engine = std::make_unique<DrumEngine>();
    engine->setSampleRate(rate);
    for (int index = param::kAccentLevel; index <= param::kHiHatFiltersFrequency; ++index)
        engine->setParameter(index, spread(index, 0.618034, 0.05));
    engine->setParameter(param::kMasterVolume, 0.8f);
    return engine;
}

struct Piece {
    long block = 0;                         // frames per 10 ms block
    std::vector<double> blocks;             // per block and channel: sum, sum of squares
    std::array<double, kChannels> peaks{};  // per channel
};

Piece renderPiece(float rate) {
    auto engine = pieceEngine(rate);
    Piece piece;
    piece.block = std::lround(rate / 100.0);
    const long frames = 2 * 100 * piece.block;
    std::vector<double> sums(2 * kChannels, 0.0);
    EngineFrame frame;
    for (long n = 0; n < frames; ++n) {
        play(*engine, n, rate, frames);
        frame = EngineFrame{};
        engine->renderFrame(frame);
        for (int c = 0; c < kChannels; ++c) {
            const double x = c == 0 ? frame.master : c <= kInstrumentCount ? frame.instrument[c - 1] : frame.trigger;
            sums[2 * c] += x;
            sums[2 * c + 1] += x * x;
            piece.peaks[c] = std::max(piece.peaks[c], std::fabs(x));
        }
        if ((n + 1) % piece.block == 0) {
            piece.blocks.insert(piece.blocks.end(), sums.begin(), sums.end());
            sums.assign(sums.size(), 0.0);
        }
    }
    return piece;
}

// Channel c carries a voice that evaluates inlined functions (the master carries them all).
bool usesInlineMaths(int c) {
    for (int i : {kBassDrum, kRimShot, kHandClap, kLaserGun, kCymbal, kOpenHiHat, kClosedHiHat})
        if (c == 1 + i) return true;
    return c == 0;
}

// Channel c carries a voice whose resonators step their update carried forward, which
// rounds differently from the formula as written (tests/engine/ResonatorFilterTest.cpp).
bool usesCarriedResonator(int c) {
    for (int i : {kSnareDrum, kLowConga, kMidConga, kHighConga, kLowTom, kMidTom, kHighTom, kClaves})
        if (c == 1 + i) return true;
    return false;
}

// The carried-forward resonators' allowance in every sample, as a fraction of the peak.
constexpr double kCarriedResonator = 1e-10;

// Channels with inlined functions within kInlineMaths of their peak in every sample, those
// with carried-forward resonators within kCarriedResonator (each plus the float rounding
// that such a difference can tip), summed over the block; the others to the last bits.
void expectMatchesGolden(const std::string& name, const Piece& piece) {
    test::expectMatchesGoldenWithin(name, piece.blocks, [&piece](const std::vector<double>& stored) {
        std::vector<double> allowed;
        for (std::size_t k = 0; k < stored.size(); ++k) {
            const int c = static_cast<int>(k % (2 * kChannels)) / 2;
            const bool squares = k % 2 == 1;
            double tolerance = 1e-12 * std::max(1.0, std::fabs(stored[k]));
            const double fraction = usesInlineMaths(c)        ? test::kInlineMaths
                                    : usesCarriedResonator(c) ? kCarriedResonator
                                                              : 0.0;
            if (fraction > 0.0) {
                const double perSample = (fraction + 0x1p-23) * piece.peaks[c];
                tolerance += static_cast<double>(piece.block) * perSample * (squares ? 2.0 * piece.peaks[c] : 1.0);
            }
            allowed.push_back(tolerance);
        }
        return allowed;
    });
}

TEST(EngineGolden, AllInstrumentsAt44100) { expectMatchesGolden("engine_44100", renderPiece(44100.0f)); }

TEST(EngineGolden, AllInstrumentsAt96000) { expectMatchesGolden("engine_96000", renderPiece(96000.0f)); }

// The piece really exercises every channel: each instrument (and the trigger output)
// sounds, so the golden files pin all of them.
TEST(EngineGolden, EveryChannelSounds) {
    const std::vector<double> blocks = renderPiece(44100.0f).blocks;
    for (int c = 0; c < kChannels; ++c) {
        double energy = 0.0;
        for (std::size_t b = 0; b < blocks.size(); b += 2 * kChannels) energy += blocks[b + 2 * c + 1];
        EXPECT_GT(energy, 1e-3) << "channel " << c;
    }
}

// Rendering in runs between cues gives every sample that rendering frame by frame gives, to
// the last bit, whatever the lengths of the runs: short and long ones, runs the engine has to
// split, notes that end inside a run.
TEST(EngineGolden, RunsRenderWhatFramesRender) {
    for (float rate : {44100.0f, 96000.0f}) {
        SCOPED_TRACE(rate);
        const long frames = std::lround(1.6 * rate);
        auto byFrame = pieceEngine(rate);
        std::vector<float> expected;
        EngineFrame frame;
        for (long n = 0; n < frames; ++n) {
            play(*byFrame, n, rate, frames);
            byFrame->renderFrame(frame);
            expected.push_back(frame.master);
            expected.insert(expected.end(), std::begin(frame.instrument), std::end(frame.instrument));
            expected.push_back(frame.trigger);
        }

        auto byRun = pieceEngine(rate);
        const int lengths[] = {1, 7, 256, 64, 3, 1000, 129, 2};
        std::vector<float> got;
        int turn = 0;
        for (long n = 0; n < frames;) {
            const long next = play(*byRun, n, rate, frames);
            for (long end = next; n < end;) {
                const int length = static_cast<int>(std::min<long>(lengths[turn++ % 8], end - n));
                const EngineRun& run = byRun->renderRun(length);
                for (int f = 0; f < run.frames; ++f) {
                    got.push_back(run.masterSounding ? run.master[f] : 0.0f);
                    for (int i = 0; i < kInstrumentCount; ++i)
                        got.push_back(run.sounding[i] ? run.instrument[i][f] : 0.0f);
                    got.push_back(run.trigger[f]);
                }
                n += run.frames;
            }
        }
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            ASSERT_EQ(got[k], expected[k]) << "frame " << k / kChannels << ", channel " << k % kChannels;
        // The activity followers too, which decide when a voice falls silent.
        for (int i = 0; i < kInstrumentCount; ++i) {
            EXPECT_EQ(byRun->voice(i).active, byFrame->voice(i).active) << "instrument " << i;
            EXPECT_EQ(byRun->voice(i).peak, byFrame->voice(i).peak) << "instrument " << i;
        }
    }
}

// Every voice struck at once and left to ring out: more voices sound than run side by side
// or have their followers stepped together, and the runs keep giving what the frames give,
// followers and retirements included, after every run.
TEST(EngineGolden, EveryVoiceRingingOutInRunsRendersWhatFramesRender) {
    const float rate = 44100.0f;
    auto byFrame = pieceEngine(rate);
    auto byRun = pieceEngine(rate);
    triggerAll(*byFrame, 3, true);
    triggerAll(*byRun, 3, true);
    EngineFrame frame;
    for (int runs = 0; runs < 600; ++runs) {
        const EngineRun& run = byRun->renderRun(kMaxRunFrames);
        for (int f = 0; f < run.frames; ++f) {
            byFrame->renderFrame(frame);
            ASSERT_EQ(run.masterSounding ? run.master[f] : 0.0f, frame.master) << "run " << runs << ", frame " << f;
            for (int i = 0; i < kInstrumentCount; ++i)
                ASSERT_EQ(run.sounding[i] ? run.instrument[i][f] : 0.0f, frame.instrument[i])
                    << "run " << runs << ", frame " << f << ", instrument " << i;
        }
        for (int i = 0; i < kInstrumentCount; ++i) {
            ASSERT_EQ(byRun->voice(i).active, byFrame->voice(i).active) << "run " << runs << ", instrument " << i;
            ASSERT_EQ(byRun->voice(i).peak, byFrame->voice(i).peak) << "run " << runs << ", instrument " << i;
        }
    }
    int stillSounding = 0;
    for (int i = 0; i < kInstrumentCount; ++i) stillSounding += byRun->voice(i).active ? 1 : 0;
    EXPECT_LT(stillSounding, kInstrumentCount) << "no voice rang out: the retirements went untested";
}

}  // namespace
}  // namespace vorlatek
