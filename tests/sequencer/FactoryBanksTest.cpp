#include "engine/Instrument.h"
#include "sequencer/PatternFiles.h"
#include "sequencer/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string resource(const char* name) { return fileText(std::string(VORLATEK_SOURCE_DIR) + "/resources/" + name); }

bool hasNotes(const StepPattern& pattern) {
    for (int row = 0; row < kAccentRow; ++row)
        for (int step = 0; step < pattern.length; ++step)
            if (pattern.getCell(row, step) & kCellOn) return true;
    return false;
}

class FactoryBanksTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_unique<PatternLibrary>();
        simpleText = resource("simple.vsb");
        extendedText = resource("extended.veb");
        ASSERT_TRUE(loadPatternBank(simpleText.data(), simpleText.size(), *store));
        ASSERT_TRUE(loadPatternBank(extendedText.data(), extendedText.size(), *store));
    }

    std::unique_ptr<PatternLibrary> store;
    std::string simpleText;
    std::string extendedText;
};

TEST_F(FactoryBanksTest, SimpleBankHoldsFortyProgrammedPatternsThenEmptyOnes) {
    std::set<std::string> names;
    for (int i = 0; i < kSimplePatternCount; ++i) {
        const StepPattern& p = store->simplePatterns[i];
        if (i < 40) {
            EXPECT_TRUE(hasNotes(p)) << i;
            EXPECT_STRNE(p.name, "Empty") << i;
            EXPECT_TRUE(names.insert(p.name).second) << "duplicate name " << p.name;
        } else {
            EXPECT_STREQ(p.name, "Empty") << i;
            EXPECT_FALSE(hasNotes(p)) << i;
            EXPECT_EQ(p.length, 16);
            EXPECT_EQ(p.stepsPerBeat, 4);
            EXPECT_EQ(p.shuffle, 0.0);
            EXPECT_EQ(p.bpm, 120.0);
        }
    }
}

TEST_F(FactoryBanksTest, ExtendedBankHoldsTwelveGroovesAndFourFillIns) {
    int withSecondPart = 0;
    int withAccents = 0;
    bool waltz = false;
    for (int i = 0; i < kExtendedPatternCount; ++i) {
        const ExtendedPattern& e = store->extendedPatterns[i];
        EXPECT_GT(std::strlen(e.name), 0u);
        EXPECT_STRNE(e.name, "Empty");
        const bool fill = std::strncmp(e.name, "Fill", 4) == 0 || std::strncmp(e.name, "Intro", 5) == 0;
        EXPECT_EQ(fill, i >= kBasicPatternCount) << e.name;
        for (const PatternVariation* v : {&e.variationA, &e.variationB}) {
            EXPECT_TRUE(hasNotes(v->part1)) << e.name;
            EXPECT_GE(v->bpm, 60.0);
            EXPECT_LE(v->bpm, 200.0);
            if (v->part2.length > 0) {
                ++withSecondPart;
                EXPECT_TRUE(hasNotes(v->part2)) << e.name;
            }
            for (int step = 0; step < v->part1.length; ++step)
                if (v->part1.getCell(kAccentRow, step)) {
                    ++withAccents;
                    break;
                }
            waltz = waltz || (v->part1.stepsPerBeat == 3 && v->part1.length == 9);
        }
    }
    EXPECT_GE(withSecondPart, 6);
    EXPECT_GE(withAccents, 16);
    EXPECT_TRUE(waltz);
}

// A closed hi-hat chokes the open one; struck on the same step, the open hi-hat is never heard.
TEST_F(FactoryBanksTest, NoOpenHiHatSharesItsStepWithAClosedOne) {
    auto check = [](const StepPattern& p, const std::string& where) {
        for (int step = 0; step < p.length; ++step)
            EXPECT_FALSE((p.getCell(kOpenHiHat, step) & kCellOn) && (p.getCell(kClosedHiHat, step) & kCellOn))
                << where << " step " << step;
    };
    for (const StepPattern& p : store->simplePatterns) check(p, p.name);
    for (const ExtendedPattern& e : store->extendedPatterns)
        for (const PatternVariation* v : {&e.variationA, &e.variationB})
            for (const StepPattern* part : {&v->part1, &v->part2}) check(*part, e.name);
}

// Alternating A and B, or switching between them, keeps the phrase only when both last
// equally long.
TEST_F(FactoryBanksTest, BothVariationsOfAPatternLastEquallyLong) {
    auto beats = [](const PatternVariation& v) {
        return static_cast<double>(v.part1.length) / v.part1.stepsPerBeat +
               static_cast<double>(v.part2.length) / v.part2.stepsPerBeat;
    };
    for (const ExtendedPattern& e : store->extendedPatterns)
        EXPECT_DOUBLE_EQ(beats(e.variationA), beats(e.variationB)) << e.name;
}

TEST_F(FactoryBanksTest, BanksAreWrittenBackByteForByte) {
    auto text = [](xmlNodePtr element) {
        xmlChar* buffer = nullptr;
        int size = 0;
        xml::Document doc = xml::Document::withRoot(element);
        xmlDocDumpFormatMemoryEnc(doc.get(), &buffer, &size, "UTF-8", 1);
        std::string result(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
        xmlFree(buffer);
        return result;
    };
    EXPECT_EQ(text(writeSimpleBank(*store)), simpleText);
    EXPECT_EQ(text(writeExtendedBank(*store)), extendedText);
}

TEST(FactoryPresetsTest, BankHoldsDistinctNamedKitsWithEveryKnob) {
    const std::string bank = resource("presets.vpb");
    const xml::Document doc = xml::Document::parseMemory(bank.data(), bank.size());
    ASSERT_TRUE(xml::isElement(doc.root(), "VorlatekPresetBank"));
    std::set<std::string> names;
    std::set<std::vector<std::string>> sounds;
    std::vector<std::string> knobOrder;
    int presets = 0;
    xml::forEachChildElement(doc.root(), [&](xmlNodePtr preset) {
        ASSERT_TRUE(xml::isElement(preset, "VorlatekPreset"));
        ++presets;
        const std::string name = xml::attribute(preset, "name").value_or("");
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 23u) << name;
        EXPECT_TRUE(names.insert(name).second) << "duplicate " << name;
        std::vector<std::string> knobs;
        std::vector<std::string> values;
        xml::forEachChildElement(preset, [&](xmlNodePtr param) {
            ASSERT_TRUE(xml::isElement(param, "param"));
            knobs.push_back(xml::attribute(param, "name").value_or(""));
            const std::string value = xml::attribute(param, "value").value_or("");
            const auto number = xml::parseFloat(value);
            ASSERT_TRUE(number) << name;
            EXPECT_GE(*number, 0.0f) << name << " " << knobs.back();
            EXPECT_LE(*number, 1.0f) << name << " " << knobs.back();
            EXPECT_EQ(value, xml::formatFloat(*number));
            values.push_back(value);
        });
        EXPECT_EQ(knobs.size(), 58u) << name;
        if (knobOrder.empty()) knobOrder = knobs;
        EXPECT_EQ(knobs, knobOrder) << name;
        EXPECT_TRUE(sounds.insert(values).second) << name << " sounds like another kit";
    });
    EXPECT_EQ(presets, 128);
    ASSERT_EQ(knobOrder.size(), 58u);
    EXPECT_EQ(knobOrder[0], "AC Level");
    EXPECT_EQ(knobOrder[10], "LC Tunning");
    EXPECT_EQ(knobOrder[37], "MA Tone");
    EXPECT_EQ(knobOrder[57], "HH Filters Freq");
}

// The checked-in banks are what the generator writes from its tables: nobody edited them by
// hand, and nobody changed the tables without regenerating.
TEST(FactoryGeneratorTest, CheckedInBanksMatchTheGenerator) {
    if (std::system("python3 --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    char folder[] = "/tmp/vorlatek-factory-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string out(folder);
    const std::string command =
        "python3 -B '" + std::string(VORLATEK_SOURCE_DIR) + "/tools/make_factory_banks.py' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name : {"presets.vpb", "extended.veb", "simple.vsb"})
        EXPECT_EQ(fileText(out + "/" + name), resource(name)) << name << " differs from the generator's output";
    std::system(("rm -rf '" + out + "'").c_str());
}

}  // namespace
}  // namespace vorlatek
