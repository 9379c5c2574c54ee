#include "engine/DrumEngine.h"
#include "plugin/DrumPlugin.h"
#include "sequencer/PatternStore.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vorlatek {
namespace {

using test::RecordingHost;
using test::ScratchDirectory;

std::string userSettings(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<VorlatekUserSettings>" + body + "</VorlatekUserSettings>\n";
}

std::string bankChunk(const std::string& body) { return "<VorlatekBank>" + body + "</VorlatekBank>"; }

void setChunkText(DrumPlugin& plugin, const std::string& text) { plugin.setChunk(text.data(), text.size(), false); }

// Changes something in every part of the state the bank chunk carries.
void changeEverything(DrumPlugin& plugin) {
    plugin.setIntSeqOn(false);
    plugin.setSyncInternal(1);
    plugin.setNoteOff(true);
    plugin.setExtSyncType(kExtSyncLowestNote);
    PlaybackSelection& selection = plugin.playbackSelection();
    selection.setAutoFillIn(8);
    selection.setBasicVariation(2);
    selection.setIntroFillInVariation(1);
    selection.selectPlayPattern(7);
    selection.selectPlayPattern(14);
    selection.setStartPatternType(1);
    plugin.setAutoFollow(true);
    plugin.setEditedSimplePattern(42);
    plugin.setEditedExtendedPattern(9);
    plugin.setEditedExtendedVariation(1);
    plugin.setEditedExtendedPart(1);
    plugin.setSelectedInstrument(5, true);
    plugin.setOutAssign(3, 12);
    plugin.setParameter(58, 0.3f);
    plugin.setParameter(70, 1.0f);
    plugin.setParameter(105, 0.65f);
    PatternStore& store = *plugin.patternStore();
    store.simplePattern(95)->setCell(3, 4, 15);
    store.simplePattern(95)->setBpm(99.9);
    store.part(15, 1, 1)->setLength(5);
    store.part(15, 1, 1)->setCell(1, 16, 4);
    store.variation(3, 0)->setShuffle(0.5);
    plugin.selectProgram(77);
    plugin.setProgramName("Moved Kit");
    plugin.setParameter(20, 0.015625f);
    plugin.assignController(74, 2);
}

TEST(StateChunk, RoundTripRestoresEverythingItCarries) {
    ScratchDirectory dirA, dirB;
    std::string chunk;
    {
        DrumPlugin a(nullptr, dirA.path());
        changeEverything(a);
        chunk = a.getChunk(false);
    }
    EXPECT_EQ(chunk.rfind("<?xml version=\"1.0\"?>\n<VorlatekBank currentProgram=\"77\">\n  <PluginState>", 0), 0u);
    const auto at = [&](const char* element) { return chunk.find(element); };
    EXPECT_LT(at("<PluginState>"), at("<NotPresetParams>"));
    EXPECT_LT(at("<NotPresetParams>"), at("<VorlatekSimplePatternBank>"));
    EXPECT_LT(at("<VorlatekSimplePatternBank>"), at("<VorlatekExtendedPatternBank>"));
    EXPECT_LT(at("<VorlatekExtendedPatternBank>"), at("<VorlatekPresetBank>"));
    EXPECT_LT(at("<VorlatekPresetBank>"), at("<MidiCCMap>"));
    EXPECT_EQ(at("<OutputConfig"), std::string::npos);
    EXPECT_EQ(at("<DrumMap"), std::string::npos);

    RecordingHost host;
    DrumPlugin b(&host, dirB.path());
    ASSERT_NE(b.getChunk(false), chunk);
    b.setChunk(chunk.data(), chunk.size(), false);
    EXPECT_EQ(b.getChunk(false), chunk);

    EXPECT_FALSE(b.sequencerSettings()->intSeqOn);
    EXPECT_EQ(b.sequencerSettings()->extSyncType, kExtSyncLowestNote);
    EXPECT_EQ(b.playbackSelection().basicPattern(), 7);
    EXPECT_EQ(b.patternEdition()->editedSimplePattern, 42);
    EXPECT_TRUE(b.patternEdition()->selectedInstrument[5]);
    EXPECT_EQ(b.outAssign(3), 12);
    EXPECT_FLOAT_EQ(b.getParameter(105), 0.65f);
    EXPECT_FLOAT_EQ(b.patternStore()->thresholds().get(12), 0.65f);
    EXPECT_EQ(b.engine().mute(11), 1);
    EXPECT_EQ(b.patternStore()->simplePattern(95)->getCell(4, 15), 3);
    EXPECT_EQ(b.patternStore()->part(15, 1, 1)->length, 5);
    EXPECT_EQ(b.currentProgram(), 77);  // the chunk says which program is current
    EXPECT_STREQ(b.presets()->slot(77).name, "Moved Kit");
    EXPECT_EQ(b.midiCcMap().parameterFor(74), 2);
    EXPECT_GT(host.displayUpdates, 0);  // the current program was re-applied
}

TEST(StateChunk, BadChunksChangeNothingTheyDoNotSay) {
    ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    changeEverything(plugin);
    const std::string before = plugin.getChunk(false);
    const std::string bomb =
        "<?xml version='1.0'?><!DOCTYPE VorlatekBank [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;'>]>"
        "<VorlatekBank><PluginState><InternalSequencer state='on'/></PluginState>&b;</VorlatekBank>";
    for (const std::string& bad : {std::string(), std::string("garbage"), before.substr(0, before.size() / 2),
                                   bomb, std::string("<VorlatekSettings><PluginState/></VorlatekSettings>"),
                                   std::string(1000, '\0')}) {
        setChunkText(plugin, bad);
        EXPECT_EQ(plugin.getChunk(false), before);
    }
    plugin.setChunk(nullptr, 12345, false);
    EXPECT_EQ(plugin.getChunk(false), before);

    // Only what a readable chunk says changes.
    setChunkText(plugin, bankChunk("<PluginState><InternalSequencer state='on' sync='sideways'/></PluginState>"));
    EXPECT_TRUE(plugin.sequencerSettings()->intSeqOn);
    EXPECT_EQ(plugin.sequencerSettings()->syncInternal, 1);
    setChunkText(plugin, bankChunk("<PluginState><InternalSequencer state='off'/></PluginState>"));
    EXPECT_FALSE(plugin.sequencerSettings()->intSeqOn);
}

TEST(StateChunk, AnOutputConfigAfterConstructionLeavesThePinsAlone) {
    ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    setChunkText(plugin, bankChunk("<PluginState><OutputConfig><MasterOutput state='off'/>"
                                   "<InstrumentsOutputs type='mono'/><TriggerOutput state='on' type='AC'/>"
                                   "</OutputConfig></PluginState>"));
    EXPECT_EQ(plugin.numOutputs(), 36);
    EXPECT_EQ(plugin.outputConfig().outputCount(), 36);
    EXPECT_TRUE(plugin.outputConfig().masterOn);
    EXPECT_EQ(plugin.triggerSource(), kCowBell);
}

TEST(StateChunk, PlaybackAndEditionValuesAreCheckedAsRead) {
    ScratchDirectory dir;
    RecordingHost host;
    DrumPlugin plugin(&host, dir.path());
    setChunkText(plugin, bankChunk("<PluginState><PlaybackSettings autoFillIn='3' basicPattern='12' "
                                   "introFillInPattern='11' basicVariation='C' startPatternType='fillIn'/>"
                                   "<PatternEdition editedSimplePattern='500' editedExtendedPattern='-4' "
                                   "selectedInstrument='0101x'/></PluginState>"));
    const PlaybackSelection& selection = plugin.playbackSelection();
    EXPECT_EQ(selection.autoFillIn(), 0);
    EXPECT_EQ(selection.basicPattern(), 0);
    EXPECT_EQ(selection.introFillInPattern(), 12);
    EXPECT_EQ(selection.basicVariation(), 0);
    EXPECT_EQ(selection.startPatternType(), 1);
    EXPECT_EQ(plugin.patternEdition()->editedSimplePattern, 95);
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 0);
    const auto& selected = plugin.patternEdition()->selectedInstrument;
    EXPECT_FALSE(selected[0]);
    EXPECT_TRUE(selected[1]);
    EXPECT_TRUE(selected[3]);
    EXPECT_FALSE(selected[4]);

    setChunkText(plugin, bankChunk("<PluginState><PlaybackSettings autoFillIn='16'/></PluginState>"));
    EXPECT_NE(plugin.getChunk(false).find("autoFillIn=\"16\""), std::string::npos);

    // Write mode is refused while the internal sequencer is off, and follows the sequencer when on.
    setChunkText(plugin, bankChunk("<PluginState><InternalSequencer state='off'/>"
                                   "<PatternEdition writeMode='on'/></PluginState>"));
    EXPECT_FALSE(plugin.patternEdition()->writeMode);
    setChunkText(plugin, bankChunk("<PluginState><InternalSequencer state='on'/><PlaybackSettings basicPattern='6' startPatternType='basic'/>"
                                   "<PatternEdition writeMode='on' editedExtendedPattern='2'/></PluginState>"));
    EXPECT_TRUE(plugin.patternEdition()->writeMode);
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 2);
    host.clear();
    plugin.setWriteMode(true);
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 6);
    EXPECT_EQ(host.count(kNotifyWriteMode), 0);
    EXPECT_EQ(host.count(kNotifyEditedExtendedPattern), 1);
}

TEST(UserSettings, WrittenAtDestructionAndReadByTheNextInstance) {
    ScratchDirectory dir;
    dir.write("Vorlatek.ini",
              userSettings("<Statistics ttm='1234'/>"
                           "<DefaultResources presetBank='/nowhere/p.vpb' simplePatternBank='' extendedPatternBank=''/>"
                           "<InternalSequencer state='on' sync='internal' freeMode='on' noteOff='on'/>"
                           "<OutputConfig><TriggerOutput state='on' type='CP'/></OutputConfig>"
                           "<OutputAssigns><SD out='25'/><MT out='0'/><XX out='3'/><CH/></OutputAssigns>"
                           "<DrumMap><assign note='36' instrument='bd'/><assign note='60' instrument='CB'/></DrumMap>"
                           "<MidiCCMap><assign param='BD Tone' CC='74'/></MidiCCMap>"));
    {
        DrumPlugin plugin(nullptr, dir.path());
        EXPECT_EQ(plugin.numOutputs(), 38);
        EXPECT_EQ(plugin.triggerSource(), kHandClap);
        EXPECT_EQ(plugin.outAssign(kSnareDrum), 16);
        EXPECT_EQ(plugin.outAssign(kMidTom), 0);
        EXPECT_EQ(plugin.outAssign(kClosedHiHat), 16);
        EXPECT_TRUE(plugin.sequencerSettings()->hostMode);
        EXPECT_EQ(plugin.sequencerSettings()->syncInternal, 1);
        EXPECT_EQ(plugin.usageSeconds(), 1234);
        EXPECT_EQ(plugin.drumMap()->instrumentFor(36), -1);
        EXPECT_EQ(plugin.drumMap()->instrumentFor(60), kCowBell);
        EXPECT_EQ(plugin.midiCcMap().parameterFor(74), 2);
        EXPECT_EQ(plugin.defaultResources()->presetBank, "/nowhere/p.vpb");
        // The settings window edits the defaults for the next instance, not this one's pins.
        plugin.userDefaults()->output.masterOn = false;
        plugin.userDefaults()->output.triggerOn = false;
        plugin.userDefaults()->output.instrumentsStereo = false;
        EXPECT_EQ(plugin.numOutputs(), 38);
    }
    const std::string written = dir.read("Vorlatek.ini");
    EXPECT_NE(written.find("hostMode=\"on\""), std::string::npos);
    EXPECT_EQ(written.find("freeMode"), std::string::npos);
    EXPECT_NE(written.find("<SD out=\"17\"/>"), std::string::npos);
    EXPECT_NE(written.find("<TriggerOutput state=\"off\" type=\"CP\"/>"), std::string::npos);
    EXPECT_NE(written.find("<Statistics ttm=\"1234\"/>"), std::string::npos);
    DrumPlugin next(nullptr, dir.path());
    EXPECT_EQ(next.numOutputs(), 17);
    EXPECT_EQ(next.outAssign(kSnareDrum), 16);
}

TEST(UserSettings, MissingEmptyBrokenOrForeignFilesChangeNothing) {
    ScratchDirectory reference;
    std::string expected;
    {
        DrumPlugin plugin(nullptr, reference.path());
        expected = plugin.getChunk(false);
    }
    EXPECT_TRUE(reference.exists("Vorlatek.ini"));  // created at destruction
    for (const std::string& text : {std::string(), std::string("not xml at all"),
                                    userSettings("<InternalSequencer state='off'").substr(0, 60),
                                    std::string("<OtherSettings><InternalSequencer state='off'/></OtherSettings>")}) {
        ScratchDirectory dir;
        dir.write("Vorlatek.ini", text);
        DrumPlugin plugin(nullptr, dir.path());
        EXPECT_EQ(plugin.getChunk(false), expected);
        EXPECT_EQ(plugin.numOutputs(), 36);
    }
}

TEST(UserSettings, AFolderThatCannotBeWrittenLosesNothingElse) {
    ScratchDirectory dir;
    {
        DrumPlugin plugin(nullptr, dir.path());
    }
    const std::string first = dir.read("Vorlatek.ini");
    ASSERT_FALSE(first.empty());
    chmod(dir.path().c_str(), 0500);
    {
        DrumPlugin plugin(nullptr, dir.path());
        plugin.assignController(5, 5);
    }
    chmod(dir.path().c_str(), 0700);
    // Running as root the write may succeed; either way the file is whole and parses.
    const std::string after = dir.read("Vorlatek.ini");
    EXPECT_TRUE(after == first || after.find("</VorlatekUserSettings>") != std::string::npos);
    {
        DrumPlugin plugin(nullptr, dir.path() + "/no/such/folder");
    }
}

TEST(UserSettings, DefaultBankFilesOverrideTheFactoryBanks) {
    ScratchDirectory dir;
    {
        DrumPlugin plugin(nullptr, "");
        plugin.presets()->slot(0).setName("User Kit");
        plugin.presets()->slot(0).values[1] = 0.25f;
        ASSERT_TRUE(plugin.savePresetFile(dir.file("mine.vpb")));
    }
    dir.write("bad.vsb", "<VorlatekSimplePatternBank><VorlatekSimplePattern name='x'");
    dir.write("Vorlatek.ini", userSettings("<DefaultResources presetBank='" + dir.file("mine.vpb") +
                                           "' simplePatternBank='" + dir.file("bad.vsb") + "'/>"));
    DrumPlugin plugin(nullptr, dir.path());
    EXPECT_STREQ(plugin.presets()->slot(0).name, "User Kit");
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.25f);
    DrumPlugin factory(nullptr, "");
    EXPECT_EQ(std::string(patternName(plugin.patternStore()->simplePattern(0)->name)),
              std::string(patternName(factory.patternStore()->simplePattern(0)->name)));
}

}  // namespace
}  // namespace vorlatek
