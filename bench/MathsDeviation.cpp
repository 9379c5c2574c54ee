// How far the voices that evaluate exp, sin and tanh inline (engine/FastMath.h) or step
// their resonators' update carried forward (engine/ResonatorFilter.h) stray from the same
// voices with the maths library's functions and the update as written, over a grid of
// sample rates and knob settings. Built twice from this file: MathsReference, on an engine
// built with VORLATEK_EXACT_MATHS, writes its renders to its output; MathsDeviation renders
// the same with the plug-in's engine and compares them with the renders it reads from its
// input:
//   cmake --build build --target MathsDeviation
//   ./build/bench/MathsReference | ./build/bench/MathsDeviation
// Each case is one instrument at one rate and one knob setting: an accented hit, a plain
// retrigger into its tail 0.3 s later, 1.2 s in all, read from the voice's own output before
// the float rounding. The figure is the largest difference in a case as a fraction of that
// case's peak, the largest over all cases per instrument.

#include "engine/DrumEngine.h"
#include "engine/EngineFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace vorlatek;

struct TestedInstrument {
    const char* name;
    int index;
    std::vector<int> knobs;
};

const std::vector<TestedInstrument>& instruments() {
    static const std::vector<TestedInstrument> list = {
        {"bass drum", kBassDrum, {param::kBassDrumTone, param::kBassDrumDecay, param::kBassDrumSweep}},
        {"rim shot", kRimShot, {param::kRimShotTuning, param::kRimShotDecay}},
        {"hand clap", kHandClap, {param::kHandClapTone, param::kHandClapReverb}},
        {"laser gun", kLaserGun, {param::kLaserGunDepth, param::kLaserGunDecay, param::kLaserGunSweep}},
        {"cymbal", kCymbal, {param::kCymbalTone, param::kCymbalDecay, param::kHiHatFiltersFrequency}},
        {"open hi-hat", kOpenHiHat, {param::kOpenHiHatTone, param::kOpenHiHatDecay, param::kHiHatFiltersFrequency}},
        {"closed hi-hat", kClosedHiHat,
         {param::kClosedHiHatTone, param::kClosedHiHatDecay, param::kHiHatFiltersFrequency}},
        {"snare drum", kSnareDrum, {param::kSnareDrumTone, param::kSnareDrumDecay, param::kSnareDrumSnappy}},
        {"low conga", kLowConga, {param::kLowCongaTuning, param::kLowCongaDecay}},
        {"high conga", kHighConga, {param::kHighCongaTuning, param::kHighCongaDecay}},
        {"low tom", kLowTom, {param::kLowTomTuning, param::kLowTomDecay, param::kLowTomSnappy}},
        {"high tom", kHighTom, {param::kHighTomTuning, param::kHighTomDecay, param::kHighTomSnappy}},
        {"claves", kClaves, {param::kClavesTuning, param::kClavesDecay}},
    };
    return list;
}

constexpr float kRates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
constexpr float kKnobValues[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

std::vector<double> renderCase(const TestedInstrument& instrument, float rate, const std::vector<float>& knobs) {
    auto engine = std::make_unique<DrumEngine>();
    engine->setSampleRate(rate);
    for (std::size_t k = 0; k < knobs.size(); ++k) engine->setParameter(instrument.knobs[k], knobs[k]);
    engine->settleLevels();
    const long frames = std::lround(1.2 * rate), retrigger = std::lround(0.3 * rate);
    std::vector<double> out;
    out.reserve(static_cast<std::size_t>(frames));
    EngineFrame frame;
    for (long n = 0; n < frames; ++n) {
        if (n == 0) engine->triggerInstrument(instrument.index, true, true);
        if (n == retrigger) engine->triggerInstrument(instrument.index, false, false);
        engine->renderFrame(frame);
        out.push_back(engine->voiceOut()[instrument.index]);
    }
    return out;
}

// Calls `each(instrument, rate, knobs)` for every case, in a fixed order.
template <class Each>
void forEachCase(Each each) {
    for (const TestedInstrument& instrument : instruments()) {
        for (float rate : kRates) {
            std::vector<float> knobs(instrument.knobs.size(), 0.0f);
            std::size_t combinations = 1;
            for (std::size_t k = 0; k < knobs.size(); ++k) combinations *= std::size(kKnobValues);
            for (std::size_t c = 0; c < combinations; ++c) {
                std::size_t digits = c;
                for (float& knob : knobs) {
                    knob = kKnobValues[digits % std::size(kKnobValues)];
                    digits /= std::size(kKnobValues);
                }
                each(instrument, rate, knobs);
            }
        }
    }
}

}  // namespace

int main(int argc, char**) {
#if defined(VORLATEK_EXACT_MATHS)
    const bool reference = true;
#else
    const bool reference = false;
#endif
    if (argc != 1) {
        std::fprintf(stderr, "usage: MathsReference | MathsDeviation\n");
        return 2;
    }
    std::FILE* file = reference ? stdout : stdin;
    struct Worst {
        double deviation = 0.0;
        float rate = 0.0f;
        std::vector<float> knobs;
    };
    std::vector<Worst> worst(instruments().size());
    bool readFailed = false;
    int cases = 0;
    forEachCase([&](const TestedInstrument& instrument, float rate, const std::vector<float>& knobs) {
        const std::vector<double> render = renderCase(instrument, rate, knobs);
        ++cases;
        if (reference) {
            std::fwrite(render.data(), sizeof(double), render.size(), file);
            return;
        }
        std::vector<double> exact(render.size());
        if (readFailed || std::fread(exact.data(), sizeof(double), exact.size(), file) != exact.size()) {
            readFailed = true;
            return;
        }
        double peak = 0.0, difference = 0.0;
        for (std::size_t n = 0; n < exact.size(); ++n) {
            peak = std::max(peak, std::fabs(exact[n]));
            difference = std::max(difference, std::fabs(render[n] - exact[n]));
        }
        const double deviation = peak > 0.0 ? difference / peak : difference;
        Worst& w = worst[static_cast<std::size_t>(&instrument - instruments().data())];
        if (!(deviation <= w.deviation)) w = {deviation, rate, knobs};
    });
    if (reference) return std::fflush(stdout) == 0 ? 0 : 1;
    if (readFailed) {
        std::fprintf(stderr, "MathsDeviation: the input holds fewer renders than expected\n");
        return 1;
    }
    std::printf("%d cases (rates 22.05 to 192 kHz, every knob at 0, 0.25, 0.5, 0.75 and 1)\n", cases);
    std::printf("largest difference from the render as the formulas write it, as a fraction of its peak:\n");
    double overall = 0.0;
    for (std::size_t i = 0; i < worst.size(); ++i) {
        std::printf("  %-14s %.3g at %.0f Hz, knobs", instruments()[i].name, worst[i].deviation, worst[i].rate);
        for (float knob : worst[i].knobs) std::printf(" %.2f", knob);
        std::printf("\n");
        overall = std::max(overall, worst[i].deviation);
    }
    std::printf("largest: %.3g (%s 1e-6)\n", overall, overall <= 1e-6 ? "within" : "BEYOND");
    return overall <= 1e-6 ? 0 : 1;
}
