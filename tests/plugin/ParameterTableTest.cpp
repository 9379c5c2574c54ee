#include "plugin/DrumPlugin.h"
#include "sequencer/PatternStore.h"
#include "sequencer/XmlDocument.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include <cstring>

namespace vorlatek {
namespace {

using test::RecordingHost;
using test::ScratchDirectory;

std::string shortName(const DrumPlugin& plugin, int index) {
    char text[16];
    std::memset(text, '#', sizeof text);
    text[15] = '\0';
    plugin.getParameterName(index, text);
    return text;
}

// A core that reads only the built-in settings: its scratch folder holds no user file.
class CoreTest : public ::testing::Test {
protected:
    ScratchDirectory dir;
    RecordingHost host;
    DrumPlugin plugin{&host, dir.path()};
};

TEST_F(CoreTest, DeclaredParametersFromTheBuiltInSettings) {
    EXPECT_EQ(shortName(plugin, 8), "SD Snapp");
    EXPECT_EQ(shortName(plugin, 37), "MA Tone ");
    EXPECT_EQ(shortName(plugin, 58), "Volume");
    EXPECT_EQ(shortName(plugin, 110), "AC RndTh");
    EXPECT_EQ(plugin.controlIndex("BD Tone"), 2);
    EXPECT_EQ(plugin.controlIndex("HH Filters Freq"), 57);
    EXPECT_EQ(plugin.controlName(58), "Master Volume");
    EXPECT_EQ(plugin.controlName(92), "CH Solo");
    EXPECT_EQ(plugin.controlIndex("No Such Control"), -1);
    EXPECT_EQ(plugin.controlName(111), "");

    EXPECT_FLOAT_EQ(plugin.declaredValue(21), 1.0f);   // LT Snappy
    EXPECT_FLOAT_EQ(plugin.declaredValue(45), 1.0f);   // LG Depth
    EXPECT_FLOAT_EQ(plugin.declaredValue(46), 0.0f);   // LG Decay
    EXPECT_FLOAT_EQ(plugin.declaredValue(93), 0.2f);
    EXPECT_FLOAT_EQ(plugin.getParameter(58), 0.5f);
    EXPECT_FLOAT_EQ(plugin.getParameter(100), 0.2f);
    EXPECT_FLOAT_EQ(plugin.getParameter(59), 0.0f);
}

TEST_F(CoreTest, NameCallsOutsideTheTableLeaveTheTextAlone) {
    char text[16] = "untouched";
    plugin.getParameterName(-1, text);
    plugin.getParameterName(111, text);
    plugin.getParameterLabel(500, text);
    plugin.getParameterDisplay(3, text);
    EXPECT_STREQ(text, "untouched");
    plugin.getParameterLabel(3, text);
    EXPECT_STREQ(text, "");
}

TEST_F(CoreTest, SetParameterStoresForwardsAndTellsTheEditorButNotTheHost) {
    host.clear();
    plugin.setParameter(100, 0.75f);
    EXPECT_FLOAT_EQ(plugin.getParameter(100), 0.75f);
    EXPECT_FLOAT_EQ(plugin.patternStore()->thresholds().get(7), 0.75f);
    ASSERT_EQ(host.changes.size(), 1u);
    EXPECT_EQ(host.changes[0].index, 100);
    EXPECT_FLOAT_EQ(host.changes[0].value, 0.75f);
    EXPECT_TRUE(host.automated.empty());  // the host made the change: no echo

    // A change from inside the plug-in is the host's automation to record.
    plugin.editParameter(58, 0.25f);
    ASSERT_EQ(host.automated.size(), 1u);
    EXPECT_EQ(host.automated[0].index, 58);
}

TEST_F(CoreTest, ValuesAreClampedNaNIsIgnoredAndUnknownIndicesAreRefused) {
    plugin.setParameter(3, 0.5f);
    host.clear();
    const struct {
        float in;
        float stored;
    } cases[] = {{1.25f, 1.0f}, {-1.0f, 0.0f}, {1e30f, 1.0f}, {INFINITY, 1.0f}, {-INFINITY, 0.0f}, {0.25f, 0.25f}};
    for (const auto& c : cases) {
        plugin.setParameter(3, c.in);
        EXPECT_FLOAT_EQ(plugin.getParameter(3), c.stored) << c.in;
    }
    plugin.setParameter(3, std::nanf(""));
    EXPECT_FLOAT_EQ(plugin.getParameter(3), 0.25f);
    plugin.setParameter(200, 0.5f);
    plugin.setParameter(-1, 0.5f);
    EXPECT_FLOAT_EQ(plugin.getParameter(200), 0.0f);
    EXPECT_EQ(host.changes.size(), std::size(cases));  // NaN and bad indices report nothing
    EXPECT_EQ(plugin.getChunk(false).find("nan"), std::string::npos);
}

TEST_F(CoreTest, ProgramChangeSwapsTheSoundButNotTheGlobals) {
    plugin.setParameter(58, 0.9f);
    plugin.setParameter(60, 1.0f);
    plugin.presets()->slot(5).setValue(0, 0.125f);
    plugin.presets()->slot(5).setValue(57, 0.875f);
    host.clear();
    plugin.selectProgram(5);
    EXPECT_EQ(plugin.currentProgram(), 5);
    EXPECT_FLOAT_EQ(plugin.getParameter(0), 0.125f);
    EXPECT_FLOAT_EQ(plugin.getParameter(57), 0.875f);
    EXPECT_FLOAT_EQ(plugin.getParameter(58), 0.9f);
    EXPECT_FLOAT_EQ(plugin.getParameter(60), 1.0f);
    // All 58 values reach the host (and the editor) in index order, then the display.
    ASSERT_EQ(host.changes.size(), 58u);
    for (int i = 0; i < 58; ++i) EXPECT_EQ(host.changes[static_cast<std::size_t>(i)].index, i);
    EXPECT_EQ(host.displayUpdates, 1);

    host.clear();
    plugin.selectProgram(128);
    plugin.selectProgram(-2);
    EXPECT_EQ(plugin.currentProgram(), 5);
    EXPECT_TRUE(host.changes.empty());
}

TEST_F(CoreTest, VersionText) {
    EXPECT_EQ(plugin.versionText(true), "v.1.0.5");
    EXPECT_EQ(plugin.versionText(false), "v.1.0.50");
}

TEST(ParameterDeclarations, ClampDuplicatesAndMissingIndices) {
    ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    const std::string text =
        "<VSTParameters>"
        "<param index='0' name='AC Level' desc='Accent' value='1.5' label='dB' CC='7' convert='x'/>"
        "<param index='1' name='Second Name For One' value='-0.2' desc='A very long short name indeed, longer than 31'/>"
        "<param name='Orphan' value='0.3'/>"
        "<param index='400' name='Far Away'/>"
        "</VSTParameters>";
    const xml::Document doc = xml::Document::parseMemory(text.data(), text.size());
    testing::internal::CaptureStdout();
    plugin.readParameters(doc.root());
    const std::string printed = testing::internal::GetCapturedStdout();

    // The first registration of a name or an index wins; each refusal is one line.
    EXPECT_NE(printed.find("BasePlugin::addXMLControl(AC Level, 0) - already exists\n"), std::string::npos);
    EXPECT_NE(printed.find("BasePlugin::addXMLControlValue(AC Level, 0) - already exists\n"), std::string::npos);
    EXPECT_NE(printed.find("BasePlugin::addXMLControlValue(Second Name For One, 1) - already exists\n"),
              std::string::npos);
    EXPECT_EQ(plugin.controlName(1), "BD Level");
    EXPECT_EQ(plugin.controlIndex("Second Name For One"), 1);
    EXPECT_EQ(plugin.controlIndex("Orphan"), -1);

    EXPECT_FLOAT_EQ(plugin.declaredValue(0), 1.0f);
    EXPECT_FLOAT_EQ(plugin.declaredValue(1), 0.0f);
    EXPECT_STREQ(plugin.paramEntry(0).shortName, "Accent");
    EXPECT_STREQ(plugin.paramEntry(0).label, "dB");
    EXPECT_EQ(std::strlen(plugin.paramEntry(1).shortName), 31u);
    EXPECT_EQ(plugin.midiCcMap().parameterFor(7), 0);
}

}  // namespace
}  // namespace vorlatek
