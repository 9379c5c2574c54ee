#include "plugin/DrumPlugin.h"
#include "sequencer/XmlDocument.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

namespace vorlatek {
namespace {

using test::RecordingHost;
using test::ScratchDirectory;

std::uint32_t controlChange(int controller, int value, int channel = 0) {
    return static_cast<std::uint32_t>(0xB0 | channel) | (static_cast<std::uint32_t>(controller) << 8) |
           (static_cast<std::uint32_t>(value) << 16);
}

class CcMapTest : public ::testing::Test {
protected:
    ScratchDirectory dir;
    RecordingHost host;
    DrumPlugin plugin{&host, dir.path()};
};

TEST_F(CcMapTest, ControllersMoveTheirParameterOnAnyChannel) {
    plugin.assignController(7, plugin.controlIndex("Master Volume"));
    plugin.midiEvent(controlChange(7, 64, 9), 0);
    EXPECT_NEAR(plugin.getParameter(58), 64.0 / 127.0, 1e-7);
    plugin.midiEvent(controlChange(7, 127), 0);
    EXPECT_FLOAT_EQ(plugin.getParameter(58), 1.0f);
    plugin.midiEvent(controlChange(7, 0), 0);
    EXPECT_FLOAT_EQ(plugin.getParameter(58), 0.0f);
    // Channel mode messages never reach the map.
    const float before = plugin.getParameter(1);
    plugin.assignController(121, 1);
    plugin.midiEvent(controlChange(121, 127), 0);
    EXPECT_EQ(plugin.getParameter(1), before);
}

TEST_F(CcMapTest, OneControllerPerParameter) {
    plugin.assignController(7, 58);
    plugin.assignController(10, 58);
    EXPECT_EQ(plugin.midiCcMap().parameterFor(7), -1);
    EXPECT_EQ(plugin.midiCcMap().parameterFor(10), 58);
    plugin.assignController(128, 3);
    plugin.assignController(-1, 3);
    EXPECT_EQ(plugin.midiCcMap().controllerFor(3), -1);
}

TEST_F(CcMapTest, LearnAssignsTheNextControllerWithoutApplyingIt) {
    plugin.setMidiLearn(true);
    EXPECT_EQ(host.count(kNotifyMidiLearn), 1);
    plugin.midiEvent(controlChange(20, 100), 0);  // no target yet: nothing learnt
    EXPECT_EQ(plugin.midiCcMap().parameterFor(20), -1);
    const float before = plugin.getParameter(2);
    plugin.setLearnTarget(2);
    plugin.midiEvent(controlChange(20, 100), 0);
    EXPECT_EQ(plugin.midiCcMap().parameterFor(20), 2);
    EXPECT_EQ(plugin.getParameter(2), before);
    EXPECT_EQ(host.count(kNotifyMidiLearnAssigned), 1);
    EXPECT_EQ(plugin.learnTarget(), 2);  // further controllers reassign the same target
    plugin.midiEvent(controlChange(21, 5), 0);
    EXPECT_EQ(plugin.midiCcMap().parameterFor(20), -1);
    EXPECT_EQ(plugin.midiCcMap().parameterFor(21), 2);
    plugin.setMidiLearn(false);
    EXPECT_EQ(plugin.learnTarget(), -1);
    plugin.midiEvent(controlChange(21, 127), 0);
    EXPECT_FLOAT_EQ(plugin.getParameter(2), 1.0f);
}

TEST_F(CcMapTest, DocumentFormAndFiles) {
    // The factory state writes every named parameter, none assigned.
    const xml::Document fresh = xml::Document::withRoot(plugin.writeMidiCcMap());
    int assigns = 0;
    xml::forEachChildElement(fresh.root(), [&](xmlNodePtr a) {
        ++assigns;
        EXPECT_EQ(xml::attribute(a, "CC").value_or(""), "-1");
    });
    EXPECT_EQ(assigns, 111);

    plugin.assignController(7, 58);
    plugin.assignController(1, 2);
    ASSERT_TRUE(plugin.saveMidiCcMapFile(dir.file("map.vcc")));
    EXPECT_FALSE(plugin.saveMidiCcMapFile(""));

    DrumPlugin other(nullptr, "");
    other.assignController(30, 5);
    ASSERT_TRUE(other.loadMidiCcMapFile(dir.file("map.vcc")));
    EXPECT_EQ(other.midiCcMap().parameterFor(7), 58);
    EXPECT_EQ(other.midiCcMap().parameterFor(1), 2);
    EXPECT_EQ(other.midiCcMap().parameterFor(30), 5);  // reading adds, it does not clear

    // Unknown controls, controllers out of range and foreign or broken files change nothing.
    const std::string text =
        "<MidiCCMap><assign param='Nope' CC='3'/><assign param='BD Tone' CC='128'/>"
        "<assign param='BD Tone' CC='-1'/><other param='BD Tone' CC='4'/></MidiCCMap>";
    const xml::Document doc = xml::Document::parseMemory(text.data(), text.size());
    other.readMidiCcMap(doc.root());
    EXPECT_EQ(other.midiCcMap().controllerFor(2), 1);
    EXPECT_EQ(other.midiCcMap().parameterFor(3), -1);
    EXPECT_EQ(other.midiCcMap().parameterFor(4), -1);
    dir.write("broken.vcc", "<MidiCCMap><assign param='BD Tone' CC='9'");
    EXPECT_FALSE(other.loadMidiCcMapFile(dir.file("broken.vcc")));
    EXPECT_EQ(other.midiCcMap().parameterFor(9), -1);
}

}  // namespace
}  // namespace vorlatek
