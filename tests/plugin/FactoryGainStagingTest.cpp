// Gain staging of the factory content, measured from renders of the plug-in object with a
// loudness meter: no factory pattern clips on the kit it was written for, the start pattern
// plays about equally loud on every kit and never clips, and no voice of a kit is buried
// under the others. VORLATEK_PRINT_FACTORY_LEVELS=1 prints every figure, for retuning kits.

#include "FactoryRender.h"
#include "LoudnessMeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

using test::FactoryRender;
using test::kRenderRate;
using test::Loudness;
using test::measureLoudness;

// Headroom every factory pattern and every lone hit keeps on the master, in dBFS.
constexpr double kMaxPeak = -1.0;
// The start pattern's integrated loudness on each kit, in LU either side of the median.
constexpr double kLoudnessSpread = 2.0;
// A voice whose accented hit reads more than this many LU under the kit's loudest voice
// (loudest momentary loudness of the lone hit) is buried.
constexpr double kBuriedBelow = 15.0;

bool printing() { return std::getenv("VORLATEK_PRINT_FACTORY_LEVELS") != nullptr; }

// The kit each factory pattern was written for; intros and fill-ins go with the kit of the
// grooves they suit best.
struct PatternKit {
    const char* pattern;
    const char* kit;
};

constexpr PatternKit kExtendedKits[] = {
    {"Rock", "Rock"},         {"Disco", "Disco"},       {"Funk", "Funk"},
    {"Hip-Hop", "Hip-Hop"},   {"Electro", "Electro"},   {"House", "House"},
    {"Reggae", "Reggae"},     {"Bossa Nova", "Latin"},  {"Samba", "Latin"},
    {"Cha-Cha", "Latin"},     {"Shuffle", "Rock"},      {"Waltz", "Studio"},
    {"Intro Count", "Studio"}, {"Fill Toms", "Rock"},   {"Fill Snare Roll", "Funk"},
    {"Fill Latin", "Latin"},
};

constexpr PatternKit kSimpleKits[] = {
    {"Rock Basic", "Rock"},       {"Rock Ride", "Rock"},          {"Hard Rock", "Rock"},
    {"Pop Ballad", "Studio"},     {"Motown", "Studio"},           {"Twist", "Studio"},
    {"Surf", "Rock"},             {"March", "Studio"},            {"Disco", "Disco"},
    {"Disco Cowbell", "Disco"},   {"Funk", "Funk"},               {"Funk Break", "Funk"},
    {"Go-Go", "Funk"},            {"Boom Bap", "Boom Bap"},       {"Lazy Beat", "Boom Bap"},
    {"New Jack Swing", "Hip-Hop"}, {"Electro", "Electro"},        {"Miami Bass", "Miami Bass"},
    {"Breakbeat", "Funk"},        {"Drum Bass", "Techno"},        {"House", "House"},
    {"Deep House", "House"},      {"Techno", "Techno"},           {"Minimal", "Techno"},
    {"Garage 2-Step", "House"},   {"Trap Hats", "Hip-Hop"},       {"Dancehall", "Reggae"},
    {"Dembow", "Reggae"},         {"One Drop", "Reggae"},         {"Ska", "Reggae"},
    {"Bossa Nova", "Latin"},      {"Samba", "Latin"},             {"Baiao", "Latin"},
    {"Cha-Cha", "Latin"},         {"Mambo", "Latin"},             {"Son Clave", "Latin"},
    {"Tango", "Latin"},           {"Slow Blues 12/8", "Studio"},  {"Jazz Swing", "Studio"},
    {"Six Eight", "Studio"},
};

TEST(FactoryGainStaging, EveryFactoryPatternPeaksBelowMinusOneDecibelOnItsKit) {
    FactoryRender render;
    std::set<std::string> extendedNamed;
    for (const PatternKit& entry : kExtendedKits) {
        const int pattern = render.extendedPatternOf(entry.pattern);
        const int kit = render.programOf(entry.kit);
        ASSERT_GE(pattern, 0) << entry.pattern;
        ASSERT_GE(kit, 0) << entry.kit;
        extendedNamed.insert(entry.pattern);
        for (int variation = 0; variation < 2; ++variation) {
            render.chooseKit(kit);
            // Two measures, so that the ring of the last steps reaches into the first ones.
            const Loudness l = measureLoudness(render.extended(pattern, variation, 2), kRenderRate);
            const char label = variation == 0 ? 'A' : 'B';
            EXPECT_LE(l.peak, kMaxPeak) << entry.pattern << " " << label << " on " << entry.kit;
            if (printing())
                std::printf("extended %-16s %c on %-10s peak %6.2f dBFS, %6.2f LUFS\n", entry.pattern, label,
                            entry.kit, l.peak, l.integrated);
        }
    }
    EXPECT_EQ(extendedNamed.size(), static_cast<std::size_t>(kExtendedPatternCount)) << "a pattern has no kit";

    int simpleNamed = 0;
    for (const PatternKit& entry : kSimpleKits) {
        const int pattern = render.simplePatternOf(entry.pattern);
        const int kit = render.programOf(entry.kit);
        ASSERT_GE(pattern, 0) << entry.pattern;
        ASSERT_GE(kit, 0) << entry.kit;
        ++simpleNamed;
        render.chooseKit(kit);
        const Loudness l = measureLoudness(render.simple(pattern, 2), kRenderRate);
        EXPECT_LE(l.peak, kMaxPeak) << entry.pattern << " on " << entry.kit;
        if (printing())
            std::printf("simple   %-16s on %-10s peak %6.2f dBFS, %6.2f LUFS\n", entry.pattern, entry.kit, l.peak,
                        l.integrated);
    }
    int programmed = 0;
    for (const StepPattern& p : render.plugin().patternStore()->simplePatterns)
        programmed += std::string(p.name) != "Empty";
    EXPECT_EQ(simpleNamed, programmed) << "a programmed simple pattern has no kit";
}

// The start pattern of a fresh instance in a host at 120 bpm, on each of the 128 kits: what a
// user hears when stepping through the presets.
TEST(FactoryGainStaging, StartPatternIsEquallyLoudAndBelowFullScaleOnEveryKit) {
    FactoryRender render;
    std::vector<Loudness> kits;
    for (int program = 0; program < DrumPlugin::kNumPrograms; ++program) {
        render.chooseKit(program);
        kits.push_back(measureLoudness(render.onTransport(120.0, 2), kRenderRate));
        EXPECT_LE(kits.back().peak, kMaxPeak) << render.kitName(program);
    }
    std::vector<double> loudness;
    for (const Loudness& l : kits) loudness.push_back(l.integrated);
    std::nth_element(loudness.begin(), loudness.begin() + 64, loudness.end());
    const double upper = loudness[64];
    std::nth_element(loudness.begin(), loudness.begin() + 63, loudness.end());
    const double median = (loudness[63] + upper) / 2.0;
    for (int program = 0; program < DrumPlugin::kNumPrograms; ++program) {
        const Loudness& l = kits[static_cast<std::size_t>(program)];
        EXPECT_NEAR(l.integrated, median, kLoudnessSpread) << render.kitName(program);
        if (printing())
            std::printf("start pattern on %-22s peak %6.2f dBFS, %6.2f LUFS (%+.2f LU)\n", render.kitName(program).c_str(),
                        l.peak, l.integrated, l.integrated - median);
    }
}

TEST(FactoryGainStaging, NoVoiceIsBuriedAndNoAccentedHitClipsOnAnyKit) {
    FactoryRender render;
    for (int program = 0; program < DrumPlugin::kNumPrograms; ++program) {
        render.chooseKit(program);
        const FactoryRender::Recording hits = render.hits(true, 0.6);
        std::vector<Loudness> voices;
        for (const auto& hit : hits) voices.push_back(measureLoudness(hit, kRenderRate));
        double loudest = voices[0].maxMomentary;
        for (const Loudness& v : voices) loudest = std::max(loudest, v.maxMomentary);
        for (int i = 0; i < kInstrumentCount; ++i) {
            const Loudness& v = voices[static_cast<std::size_t>(i)];
            EXPECT_GE(v.maxMomentary, loudest - kBuriedBelow) << kInstrumentNames[i] << " on " << render.kitName(program);
            EXPECT_LE(v.peak, kMaxPeak) << kInstrumentNames[i] << " on " << render.kitName(program);
            if (printing())
                std::printf("hit %-22s %s peak %6.2f dBFS, %6.2f LUFS momentary (%+.2f LU)\n", render.kitName(program).c_str(),
                            kInstrumentNames[i].data(), v.peak, v.maxMomentary, v.maxMomentary - loudest);
        }
    }
}

}  // namespace
}  // namespace vorlatek
