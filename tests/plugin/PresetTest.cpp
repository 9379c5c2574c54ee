#include "plugin/DrumPlugin.h"
#include "sequencer/PatternStore.h"
#include "sequencer/XmlDocument.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace vorlatek {
namespace {

using test::RecordingHost;
using test::ScratchDirectory;

std::string presetXml(const std::string& name, const std::string& params) {
    std::string text = "<VorlatekPreset name='";
    text.append(name).append("'>").append(params).append("</VorlatekPreset>");
    return text;
}

std::string bankXml(int presets) {
    std::string text = "<VorlatekPresetBank>";
    for (int i = 0; i < presets; ++i) {
        std::string name = "P";
        name.append(std::to_string(i));
        std::string param = "<param name='BD Tone' value='0.";
        param.append(std::to_string(i % 10)).append("'/>");
        text.append(presetXml(name, param)).append("<junk/>");
    }
    text.append("</VorlatekPresetBank>");
    return text;
}

class PresetTest : public ::testing::Test {
protected:
    ScratchDirectory dir;
    RecordingHost host;
    DrumPlugin plugin{&host, dir.path()};
};

TEST_F(PresetTest, FactoryBankIsLoadedAtStart) {
    std::set<std::string> names;
    for (int i = 0; i < kPresetCount; ++i) {
        const PresetSlot& slot = plugin.presets()->slot(i);
        EXPECT_GT(std::strlen(slot.name), 0u);
        names.insert(slot.name);
        for (float v : slot.values) {
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, 1.0f);
        }
    }
    EXPECT_EQ(names.size(), 128u);
    EXPECT_EQ(plugin.currentProgram(), 0);
    EXPECT_FLOAT_EQ(plugin.getParameter(2), plugin.presets()->slot(0).values[2]);
}

TEST_F(PresetTest, ShortBanksFillWithDefaultsAndLongBanksStopAt128) {
    dir.write("three.vpb", bankXml(3));
    ASSERT_TRUE(plugin.loadPresetFile(dir.file("three.vpb")));
    EXPECT_STREQ(plugin.presets()->slot(2).name, "P2");
    EXPECT_FLOAT_EQ(plugin.presets()->slot(2).values[2], 0.2f);
    EXPECT_FLOAT_EQ(plugin.presets()->slot(2).values[3], plugin.declaredValue(3));
    for (int i = 3; i < kPresetCount; ++i) {
        EXPECT_STREQ(plugin.presets()->slot(i).name, "default");
        EXPECT_FLOAT_EQ(plugin.presets()->slot(i).values[45], 1.0f);  // declared LG Depth
    }

    dir.write("long.VPB", bankXml(130));
    ASSERT_TRUE(plugin.loadPresetFile(dir.file("long.VPB")));
    EXPECT_STREQ(plugin.presets()->slot(127).name, "P127");
}

TEST_F(PresetTest, SinglePresetFiles) {
    plugin.selectProgram(4);
    plugin.setParameter(3, 0.33f);
    dir.write("one.VpP", presetXml("A name that is far too long for a slot",
                                   "<param name='BD Tone' value='1.7'/><param name='Master Volume' value='0.1'/>"
                                   "<param name='Nope' value='0.2'/>"));
    host.clear();
    ASSERT_TRUE(plugin.loadPresetFile(dir.file("one.VpP")));
    EXPECT_STREQ(plugin.presets()->slot(4).name, "A name that is far too ");
    EXPECT_FLOAT_EQ(plugin.getParameter(2), 1.0f);  // clamped into 0..1 as it is read
    EXPECT_FLOAT_EQ(plugin.getParameter(3), 0.33f); // not named: kept
    EXPECT_FLOAT_EQ(plugin.getParameter(58), 0.5f); // not a preset parameter
    EXPECT_EQ(host.changes.size(), 58u);            // the program was re-applied

    ASSERT_TRUE(plugin.savePresetFile(dir.file("saved.vpp")));
    EXPECT_FALSE(plugin.savePresetFile(dir.file("saved.txt")));
    EXPECT_FALSE(plugin.savePresetFile(""));
    EXPECT_FALSE(plugin.loadPresetFile(dir.file("noextension")));
    const std::string saved = dir.read("saved.vpp");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VorlatekPreset name=", 0), 0u);
    EXPECT_NE(saved.find("  <param name=\"BD Tone\" value=\"1.000000\"/>"), std::string::npos);

    // A file that does not parse changes nothing but still re-applies the program.
    dir.write("bad.vpp", "<VorlatekPreset name='x'><param");
    host.clear();
    EXPECT_FALSE(plugin.loadPresetFile(dir.file("bad.vpp")));
    EXPECT_STREQ(plugin.presets()->slot(4).name, "A name that is far too ");
    EXPECT_EQ(host.changes.size(), 58u);
}

TEST_F(PresetTest, BankFileRoundTripIsByteIdentical) {
    plugin.presets()->slot(9).setName("Ninth");
    plugin.presets()->slot(9).values[10] = 0.123456f;
    ASSERT_TRUE(plugin.savePresetFile(dir.file("all.vpb")));
    DrumPlugin other(nullptr, "");
    ASSERT_TRUE(other.loadPresetFile(dir.file("all.vpb")));
    ASSERT_TRUE(other.savePresetFile(dir.file("again.vpb")));
    EXPECT_EQ(dir.read("all.vpb"), dir.read("again.vpb"));
    EXPECT_STREQ(other.presets()->slot(9).name, "Ninth");
}

TEST_F(PresetTest, NamesAndMoves) {
    plugin.selectProgram(1);
    plugin.setProgramName("123456789012345678901234567890");
    char text[64];
    std::memset(text, 'x', sizeof text);
    plugin.getProgramName(text);
    EXPECT_STREQ(text, "12345678901234567890123");
    EXPECT_TRUE(plugin.getProgramNameIndexed(0, -1, text));
    EXPECT_STREQ(text, "12345678901234567890123");
    EXPECT_FALSE(plugin.getProgramNameIndexed(0, 128, text));
    EXPECT_EQ(plugin.getPresetSlot(128), nullptr);
    EXPECT_EQ(plugin.getPresetSlot(-1), &plugin.presets()->slot(1));

    const std::string second = plugin.presets()->slot(2).name;
    plugin.movePreset(+1);
    EXPECT_EQ(plugin.currentProgram(), 2);
    EXPECT_STREQ(plugin.presets()->slot(2).name, "12345678901234567890123");
    EXPECT_EQ(plugin.presets()->slot(1).name, second);
    plugin.selectProgram(0);
    plugin.movePreset(-1);  // no slot before 0
    EXPECT_EQ(plugin.currentProgram(), 0);
    plugin.selectProgram(127);
    plugin.movePreset(1);
    EXPECT_EQ(plugin.currentProgram(), 127);
}

TEST_F(PresetTest, ProgramChunkRoundTrip) {
    plugin.selectProgram(3);
    plugin.setParameter(6, 0.625f);
    plugin.setProgramName("Chunky");
    const std::string chunk = plugin.getChunk(true);
    EXPECT_EQ(chunk.rfind("<?xml version=\"1.0\"?>\n<VorlatekPreset name=\"Chunky\">", 0), 0u);

    DrumPlugin other(nullptr, "");
    other.selectProgram(7);
    other.setChunk(chunk.data(), chunk.size(), true);
    EXPECT_STREQ(other.presets()->slot(7).name, "Chunky");
    EXPECT_FLOAT_EQ(other.getParameter(6), 0.625f);
    EXPECT_EQ(other.getChunk(true), chunk);

    // Garbage leaves the slot as it was.
    other.setChunk("\x01\x02garbage", 9, true);
    other.setChunk(nullptr, 0, true);
    EXPECT_EQ(other.getChunk(true), chunk);
}

}  // namespace
}  // namespace vorlatek

namespace vorlatek {
namespace {

TEST(PatternFilesFromThePlugin, SetsCarryTheEditedPatternAndTheCurrentPreset) {
    test::ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    plugin.setEditedSimplePattern(3);
    plugin.selectProgram(2);
    plugin.setProgramName("Set Kit");
    ASSERT_TRUE(plugin.savePatternFile(dir.file("one.VSS")));
    const xml::Document doc = xml::Document::parseFile(dir.file("one.VSS"));
    ASSERT_TRUE(xml::isElement(doc.root(), "VorlatekSimpleSet"));
    std::vector<std::string> children;
    xml::forEachChildElement(doc.root(), [&](xmlNodePtr c) { children.emplace_back(xml::nodeName(c)); });
    EXPECT_EQ(children, (std::vector<std::string>{"VorlatekSimplePattern", "VorlatekPreset"}));
    EXPECT_NE(dir.read("one.VSS").find("name=\"Set Kit\""), std::string::npos);

    ASSERT_TRUE(plugin.savePatternFile(dir.file("bank.veb")));
    DrumPlugin other(nullptr, "");
    other.patternStore()->extendedPattern(0)->setName("Changed");
    ASSERT_TRUE(other.loadPatternBankFile(dir.file("bank.veb")));
    EXPECT_EQ(patternName(other.patternStore()->extendedPattern(0)->name),
              patternName(plugin.patternStore()->extendedPattern(0)->name));
    EXPECT_FALSE(plugin.savePatternFile(dir.file("wrong.xml")));
}

}  // namespace
}  // namespace vorlatek
