#include "sequencer/PatternFiles.h"
#include "sequencer/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlatek {
namespace {

std::unique_ptr<PatternLibrary> newStore() { return std::make_unique<PatternLibrary>(); }

// The text of a document holding `element` as its root.
std::string documentText(xmlNodePtr element) { return xml::Document::withRoot(element).dump(); }

xml::Document parse(const std::string& text) { return xml::Document::parseMemory(text.data(), text.size()); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/vorlatek-patterns-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A store whose patterns differ in every field the files carry.
void fillStore(PatternLibrary& store) {
    const char* texts[] = {"o.O.", "OOoo..o", "o", "...O.o.o.O.o.o.O", ".o"};
    for (int i = 0; i < kSimplePatternCount; ++i) {
        StepPattern& p = store.simplePatterns[i];
        p.setName("Simple " + std::to_string(i));
        p.setLength(1 + i % 16);
        p.setStepsPerBeat(i % 4 == 0 ? 3 : i % 4 == 1 ? 4 : i % 4 == 2 ? 6 : 8);
        p.setShuffle((i % 5) * 0.25);
        p.setBpm(30 + i * 2.7);
        for (int row = 0; row < kPatternRows; ++row)
            if ((row + i) % 3 == 0) decodeStepString(texts[(row + i) % 5], p, row);
    }
    for (int i = 0; i < kExtendedPatternCount; ++i) {
        ExtendedPattern& e = store.extendedPatterns[i];
        e.setName("Extended " + std::to_string(i));
        for (int v = 0; v < 2; ++v) {
            PatternVariation& var = *e.variation(v);
            var.setShuffle(0.1 * (i % 10) + 0.05 * v);
            var.setBpm(60 + i * 11.3 + v);
            var.part1.setLength(16 - i % 7);
            var.part1.setStepsPerBeat(i % 2 ? 3 : 8);
            var.part2.setLength((i + v) % 3 == 0 ? 0 : 4 + i % 12);
            var.part2.setStepsPerBeat(6);
            for (int row = 0; row < kPatternRows; ++row) {
                decodeStepString(texts[(row + i + v) % 5], var.part1, row);
                if (row % 2) decodeStepString(texts[(row + v) % 5], var.part2, row);
            }
        }
    }
}

void expectSamePattern(const StepPattern& a, const StepPattern& b, bool withNameAndTempo) {
    if (withNameAndTempo) {
        EXPECT_STREQ(a.name, b.name);
        EXPECT_NEAR(a.shuffle, b.shuffle, 1e-6);
        EXPECT_NEAR(a.bpm, b.bpm, 1e-9);
    }
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.stepsPerBeat, b.stepsPerBeat);
    for (int row = 0; row < kPatternRows; ++row) EXPECT_EQ(encodeStepString(a, row), encodeStepString(b, row));
}

void expectSameStore(const PatternLibrary& a, const PatternLibrary& b) {
    for (int i = 0; i < kSimplePatternCount; ++i) expectSamePattern(a.simplePatterns[i], b.simplePatterns[i], true);
    for (int i = 0; i < kExtendedPatternCount; ++i) {
        EXPECT_STREQ(a.extendedPatterns[i].name, b.extendedPatterns[i].name);
        for (int v = 0; v < 2; ++v) {
            const PatternVariation& x = *a.variation(i, v);
            const PatternVariation& y = *b.variation(i, v);
            EXPECT_NEAR(x.shuffle, y.shuffle, 1e-6);
            EXPECT_NEAR(x.bpm, y.bpm, 1e-9);
            expectSamePattern(x.part1, y.part1, false);
            expectSamePattern(x.part2, y.part2, false);
        }
    }
}

TEST(PatternFilesTest, SimplePatternIsWrittenWithAttributesInOrderAndPlayedStepsOnly) {
    StepPattern pattern;
    pattern.setName("Groove");
    pattern.setLength(3);
    pattern.setStepsPerBeat(6);
    pattern.setShuffle(0.25);
    pattern.setBpm(97.25);
    decodeStepString("oO.o", pattern, 0);
    pattern.setCell(2, 1, 0);  // accent without on: written as off
    pattern.setCell(1, kAccentRow, 2);
    std::string expected =
        "<?xml version=\"1.0\"?>\n"
        "<VorlatekSimplePattern name=\"Groove\" length=\"3\" stepsPerBeat=\"6\" shuffle=\"0.200000\" "
        "bpm=\"97.300000\">\n"
        "  <BD>oO.</BD>\n"
        "  <SD>...</SD>\n";
    for (int row = 2; row < kAccentRow; ++row) expected += std::string("  <") + kRowNames[row] + ">...</" + kRowNames[row] + ">\n";
    expected += "  <AC>..O</AC>\n</VorlatekSimplePattern>\n";
    EXPECT_EQ(documentText(writeSimplePattern(pattern)), expected);

    pattern.setLength(1);
    pattern.length = 0;  // never stored by the setters, but written as empty rows if it is
    const std::string empty = documentText(writeSimplePattern(pattern));
    EXPECT_NE(empty.find("<BD/>"), std::string::npos);
}

TEST(PatternFilesTest, OddNamesStillGiveReadableFiles) {
    auto store = newStore();
    store->simplePatterns[0].setName("Tab\tand\x01\xFF&<\"");
    store->extendedPatterns[0].setName("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
    const std::string simple = documentText(writeSimpleBank(*store));
    const std::string extended = documentText(writeExtendedBank(*store));
    auto copy = newStore();
    ASSERT_TRUE(loadPatternBank(simple.data(), simple.size(), *copy));
    ASSERT_TRUE(loadPatternBank(extended.data(), extended.size(), *copy));
    EXPECT_STREQ(copy->simplePatterns[0].name, "Tab and &<\"");
    EXPECT_STREQ(copy->extendedPatterns[0].name, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
}

TEST(PatternFilesTest, BanksRoundTripAndWriteTheSameBytesAgain) {
    auto original = newStore();
    fillStore(*original);
    const std::string simpleText = documentText(writeSimpleBank(*original));
    const std::string extendedText = documentText(writeExtendedBank(*original));

    auto copy = newStore();
    // Leftovers in the destination must not survive the read.
    for (StepPattern& p : copy->simplePatterns) decodeStepString("OOOOOOOOOOOOOOOO", p, 3);
    const xml::Document simpleDoc = parse(simpleText);
    const xml::Document extendedDoc = parse(extendedText);
    readSimpleBank(simpleDoc.root(), *copy);
    readExtendedBank(extendedDoc.root(), *copy);
    expectSameStore(*original, *copy);

    EXPECT_EQ(documentText(writeSimpleBank(*copy)), simpleText);
    EXPECT_EQ(documentText(writeExtendedBank(*copy)), extendedText);
}

TEST(PatternFilesTest, ShortPatternReadsBackItsStepsAndClearsTheRest) {
    StepPattern pattern;
    pattern.setLength(12);
    decodeStepString("o..O..o..O..oooo", pattern, 0);
    const xml::Document doc = parse(documentText(writeSimplePattern(pattern)));
    EXPECT_NE(doc.dump().find("<BD>o..O..o..O..</BD>"), std::string::npos);
    StepPattern read;
    decodeStepString("OOOOOOOOOOOOOOOO", read, 0);
    readSimplePattern(doc.root(), read);
    EXPECT_EQ(read.length, 12);
    read.length = 16;
    EXPECT_EQ(encodeStepString(read, 0), "o..O..o..O......");
}

TEST(PatternFilesTest, SimpleReaderAppliesItsRules) {
    const auto read = [](const std::string& text, StepPattern& pattern) {
        const xml::Document doc = parse(text);
        ASSERT_TRUE(doc) << text;
        readSimplePattern(doc.root(), pattern);
    };
    StepPattern pattern;
    pattern.setName("Kept");
    pattern.setStepsPerBeat(6);
    pattern.setShuffle(0.5);
    pattern.setBpm(99);
    pattern.setLength(5);
    decodeStepString("oooo", pattern, 0);

    // Missing attributes keep the fields, except the length, which becomes 16; cells clear.
    read("<VorlatekSimplePattern name=\"\"/>", pattern);
    EXPECT_STREQ(pattern.name, "Kept");
    EXPECT_EQ(pattern.stepsPerBeat, 6);
    EXPECT_EQ(pattern.shuffle, 0.5);
    EXPECT_EQ(pattern.bpm, 99.0);
    EXPECT_EQ(pattern.length, 16);
    EXPECT_EQ(pattern.getCell(0, 0), 0);

    // Clamping and rounding.
    read("<VorlatekSimplePattern name=\"A name longer than sixteen\" length=\"0\" stepsPerBeat=\"5\" "
         "shuffle=\"0.8\" bpm=\"29.5\"/>", pattern);
    EXPECT_STREQ(pattern.name, "A name longer th");
    EXPECT_EQ(pattern.length, 1);
    EXPECT_EQ(pattern.stepsPerBeat, 4);
    EXPECT_EQ(pattern.shuffle, 1.0);
    EXPECT_EQ(pattern.bpm, 30.0);
    read("<VorlatekSimplePattern length=\"40\" shuffle=\"1.0\" bpm=\"120.06\" stepsPerBeat=\"8\"/>", pattern);
    EXPECT_EQ(pattern.length, 16);
    EXPECT_EQ(pattern.shuffle, 1.0);
    EXPECT_NEAR(pattern.bpm, 120.1, 1e-9);
    read("<VorlatekSimplePattern shuffle=\"0.2\" bpm=\"500\"/>", pattern);
    EXPECT_NEAR(pattern.shuffle, 0.25, 1e-7);
    EXPECT_EQ(pattern.bpm, 303.0);

    // Unreadable numbers: shuffle 0, tempo 30, length 16, resolution unchanged.
    read("<VorlatekSimplePattern length=\"x\" stepsPerBeat=\"eight\" shuffle=\"abc\" bpm=\"fast\"/>", pattern);
    EXPECT_EQ(pattern.length, 16);
    EXPECT_EQ(pattern.stepsPerBeat, 8);
    EXPECT_EQ(pattern.shuffle, 0.0);
    EXPECT_EQ(pattern.bpm, 30.0);
    read("<VorlatekSimplePattern shuffle=\"nan\" bpm=\"inf\" length=\"7steps\"/>", pattern);
    EXPECT_EQ(pattern.shuffle, 0.0);
    EXPECT_EQ(pattern.bpm, 30.0);
    EXPECT_EQ(pattern.length, 7);

    // Rows: AC 'o' is accented, long texts are cut, repeated rows overwrite, unknown
    // children and rows in the wrong case are ignored, an empty row stays clear.
    read("<VorlatekSimplePattern length=\"16\">"
         "<AC>o.o</AC><BD>oooooooooooooooooooooOOO</BD><SD>o</SD><SD>.O</SD><bd>OOOO</bd>"
         "<Extra>OOOO</Extra><CH/><OH></OH><CY>x-O</CY></VorlatekSimplePattern>", pattern);
    EXPECT_EQ(encodeStepString(pattern, kAccentRow), "O.O.............");
    EXPECT_EQ(encodeStepString(pattern, 0), "oooooooooooooooo");
    EXPECT_EQ(encodeStepString(pattern, 1), ".O..............");
    EXPECT_EQ(encodeStepString(pattern, 14), "..O.............");
    EXPECT_EQ(encodeStepString(pattern, 16), "................");
    const std::string written = documentText(writeSimplePattern(pattern));
    EXPECT_NE(written.find("<AC>O.O.............</AC>"), std::string::npos);

    // Only an element of exactly this name is read.
    const StepPattern before = pattern;
    read("<vorlatekSimplePattern name=\"Other\" length=\"3\"/>", pattern);
    read("<VorlatekExtendedPattern name=\"Other\"/>", pattern);
    EXPECT_STREQ(pattern.name, before.name);
    EXPECT_EQ(pattern.length, before.length);
    EXPECT_EQ(encodeStepString(pattern, 0), encodeStepString(before, 0));
    readSimplePattern(nullptr, pattern);
}

TEST(PatternFilesTest, ExtendedReaderKeepsWhatTheElementDoesNotCarry) {
    ExtendedPattern pattern;
    pattern.setName("Before");
    pattern.variationB.setBpm(77);
    pattern.variationB.part1.setLength(5);
    decodeStepString("ooooo", pattern.variationB.part1, 0);
    pattern.variationA.part2.setLength(7);
    decodeStepString("O", pattern.variationA.part2, 1);

    const xml::Document doc = parse(
        "<VorlatekExtendedPattern name=\"\">"
        "<VariationA shuffle=\"0.4\"><Part1 length=\"0\" stepsPerBeat=\"3\"><BD>oO</BD></Part1></VariationA>"
        "<Junk/></VorlatekExtendedPattern>");
    readExtendedPattern(doc.root(), pattern);
    EXPECT_STREQ(pattern.name, "Before");
    EXPECT_NEAR(pattern.variationA.shuffle, 0.5, 1e-7);
    EXPECT_EQ(pattern.variationA.bpm, 120.0);
    EXPECT_EQ(pattern.variationA.part1.length, 1);
    EXPECT_EQ(pattern.variationA.part1.stepsPerBeat, 3);
    EXPECT_EQ(pattern.variationA.part1.getCell(0, 1), 3);
    // No Part2 in variation A: it keeps its length and cells.
    EXPECT_EQ(pattern.variationA.part2.length, 7);
    EXPECT_EQ(pattern.variationA.part2.getCell(1, 0), 3);
    // No variation B: untouched.
    EXPECT_EQ(pattern.variationB.bpm, 77.0);
    EXPECT_EQ(pattern.variationB.part1.length, 5);
    EXPECT_EQ(pattern.variationB.part1.getCell(0, 4), 1);

    // A second part may be empty; one without a length attribute gets 16.
    const xml::Document parts = parse(
        "<VorlatekExtendedPattern><VariationB bpm=\"130\"><Part2 length=\"0\"><BD>ooo</BD></Part2></VariationB>"
        "<VariationA><Part2/></VariationA></VorlatekExtendedPattern>");
    readExtendedPattern(parts.root(), pattern);
    EXPECT_EQ(pattern.variationB.part2.length, 0);
    EXPECT_EQ(pattern.variationB.part2.getCell(0, 2), 1);
    EXPECT_EQ(pattern.variationB.bpm, 130.0);
    EXPECT_EQ(pattern.variationA.part2.length, 16);
    const std::string written = documentText(writeExtendedPattern(pattern));
    EXPECT_NE(written.find("<Part2 length=\"0\" stepsPerBeat=\"4\">\n      <BD/>"), std::string::npos);
}

TEST(PatternFilesTest, BankReadersFillSlotsInOrderAndNoMore) {
    // A bank of `count` patterns named prefix + index; `extra` goes after the fourth one.
    const auto bank = [](const std::string& root, const std::string& child, const std::string& prefix,
                         int count, const std::string& extra = "") {
        std::string text = "<" + root + ">";
        for (int i = 0; i < count; ++i) {
            text += "<" + child + " name=\"" + prefix + std::to_string(i) + "\"/>";
            if (i == 3) text += extra;
        }
        return text + "</" + root + ">";
    };
    const std::string hundred =
        bank("VorlatekSimplePatternBank", "VorlatekSimplePattern", "P", 100,
             "<Other name=\"not a pattern\"/><VorlatekExtendedPattern name=\"nor this\"/>");
    auto store = newStore();
    EXPECT_TRUE(loadPatternBank(hundred.data(), hundred.size(), *store));
    EXPECT_STREQ(store->simplePatterns[0].name, "P0");
    EXPECT_STREQ(store->simplePatterns[4].name, "P4");
    EXPECT_STREQ(store->simplePatterns[95].name, "P95");

    const std::string ten = bank("VorlatekSimplePatternBank", "VorlatekSimplePattern", "T", 10);
    EXPECT_TRUE(loadPatternBank(ten.data(), ten.size(), *store));
    EXPECT_STREQ(store->simplePatterns[9].name, "T9");
    EXPECT_STREQ(store->simplePatterns[10].name, "P10");
    EXPECT_STREQ(store->simplePatterns[95].name, "P95");

    const std::string extended = bank("VorlatekExtendedPatternBank", "VorlatekExtendedPattern", "E", 20);
    EXPECT_TRUE(loadPatternBank(extended.data(), extended.size(), *store));
    EXPECT_STREQ(store->extendedPatterns[15].name, "E15");
    EXPECT_STREQ(store->simplePatterns[0].name, "T0");

    const std::string other = "<VorlatekPresetBank><VorlatekSimplePattern name=\"X\"/></VorlatekPresetBank>";
    EXPECT_FALSE(loadPatternBank(other.data(), other.size(), *store));
    EXPECT_STREQ(store->simplePatterns[0].name, "T0");
}

TEST(PatternFilesTest, SetsCarryThePatternAndThePresetTheCallerBuilt) {
    auto store = newStore();
    fillStore(*store);
    xmlNodePtr preset = xml::newElement("VorlatekPreset");
    xml::setAttribute(preset, "name", "Kit");
    const xml::Document set = xml::Document::withRoot(writeSimpleSet(*store, 7, preset));
    const xmlNode* first = xmlFirstElementChild(set.root());
    EXPECT_TRUE(xml::isElement(set.root(), "VorlatekSimpleSet"));
    EXPECT_TRUE(xml::isElement(first, "VorlatekSimplePattern"));
    EXPECT_EQ(xml::attribute(first, "name").value_or(""), "Simple 7");
    EXPECT_TRUE(xml::isElement(xmlNextElementSibling(const_cast<xmlNode*>(first)), "VorlatekPreset"));

    const xml::Document noPattern = xml::Document::withRoot(writeExtendedSet(*store, 16, xml::newElement("VorlatekPreset")));
    EXPECT_TRUE(xml::isElement(noPattern.root(), "VorlatekExtendedSet"));
    EXPECT_TRUE(xml::isElement(xmlFirstElementChild(noPattern.root()), "VorlatekPreset"));
    EXPECT_EQ(xmlChildElementCount(noPattern.root()), 1u);
}

TEST(PatternFilesTest, SaverPicksTheFormatByExtension) {
    TempDir dir;
    auto store = newStore();
    fillStore(*store);
    int presetsBuilt = 0;
    const PresetElementBuilder buildPreset = [&] {
        ++presetsBuilt;
        return xml::newElement("VorlatekPreset");
    };
    const std::pair<const char*, const char*> files[] = {
        {"a.vsp", "VorlatekSimplePattern"}, {"b.VSS", "VorlatekSimpleSet"},
        {"c.Vsb", "VorlatekSimplePatternBank"}, {"d.vep", "VorlatekExtendedPattern"},
        {"e.ves", "VorlatekExtendedSet"}, {"f.veb", "VorlatekExtendedPatternBank"}};
    for (const auto& [name, root] : files) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(savePatternFile(path, *store, 2, 3, buildPreset)) << name;
        const std::string text = readFile(path);
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<", 0), 0u) << name;
        const xml::Document doc = xml::Document::parseFile(path);
        EXPECT_TRUE(xml::isElement(doc.root(), root)) << name;
    }
    EXPECT_EQ(presetsBuilt, 2);

    // A saved bank reads back into a fresh store.
    auto copy = newStore();
    EXPECT_TRUE(loadPatternBankFile(dir.file("c.Vsb"), *copy));
    EXPECT_TRUE(loadPatternBankFile(dir.file("f.veb"), *copy));
    expectSameStore(*store, *copy);

    for (const char* name : {"g.xml", "h", "i.vsbx", "j.vs", "dir.vsb/k"}) {
        EXPECT_FALSE(savePatternFile(dir.file(name), *store, 2, 3, buildPreset)) << name;
        EXPECT_NE(access(dir.file(name).c_str(), F_OK), 0) << name;
    }
    EXPECT_FALSE(savePatternFile("", *store, 2, 3, buildPreset));
    EXPECT_FALSE(savePatternFile(dir.file("l.vsp"), *store, 96, 3, buildPreset));
    EXPECT_EQ(presetsBuilt, 2);
    // Without a preset builder a set holds the pattern alone.
    EXPECT_TRUE(savePatternFile(dir.file("m.vss"), *store, 2, 3, nullptr));
    EXPECT_EQ(xmlChildElementCount(xml::Document::parseFile(dir.file("m.vss")).root()), 1u);
}

TEST(PatternFilesTest, SavingWhereNothingCanBeWrittenChangesNothing) {
    TempDir dir;
    auto store = newStore();
    EXPECT_FALSE(savePatternFile(dir.file("missing/folder/bank.vsb"), *store, 0, 0, nullptr));
    // A folder in the way stays a folder.
    ASSERT_EQ(mkdir(dir.file("taken.veb").c_str(), 0755), 0);
    EXPECT_FALSE(savePatternFile(dir.file("taken.veb"), *store, 0, 0, nullptr));
    struct stat info {};
    ASSERT_EQ(stat(dir.file("taken.veb").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    // An existing file is replaced whole, never half-written.
    writeFile(dir.file("old.vsb"), "old");
    store->simplePatterns[0].setName("New");
    EXPECT_TRUE(savePatternFile(dir.file("old.vsb"), *store, 0, 0, nullptr));
    EXPECT_NE(readFile(dir.file("old.vsb")).find("name=\"New\""), std::string::npos);
}

TEST(PatternFilesTest, HostileDocumentsChangeNothing) {
    TempDir dir;
    auto store = newStore();
    store->simplePatterns[0].setName("Safe");
    const std::string secret = dir.file("secret.txt");
    writeFile(secret, "ooooOOOO");
    const std::string documents[] = {
        // External entity pulling in a local file.
        "<?xml version=\"1.0\"?><!DOCTYPE b [<!ENTITY x SYSTEM \"file://" + secret + "\">]>"
        "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"&x;\"><BD>&x;</BD>"
        "</VorlatekSimplePattern></VorlatekSimplePatternBank>",
        // Entity expansion bomb.
        "<?xml version=\"1.0\"?><!DOCTYPE b [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
        "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
        "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"&h;\"/></VorlatekSimplePatternBank>",
        // External DTD over the network.
        "<?xml version=\"1.0\"?><!DOCTYPE b SYSTEM \"http://127.0.0.1:9/x.dtd\">"
        "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"Net\"/></VorlatekSimplePatternBank>",
        // Truncated.
        "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"Cut\"><BD>oooo</BD>",
        // Not XML at all.
        std::string("\0\xff\xfe<<<>>>", 9),
        // Invalid UTF-8 inside a name.
        "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"\xff\xc3\"/></VorlatekSimplePatternBank>",
    };
    for (const std::string& text : documents) {
        EXPECT_FALSE(loadPatternBank(text.data(), text.size(), *store));
        const std::string path = dir.file("hostile.vsb");
        writeFile(path, text);
        EXPECT_FALSE(loadPatternBankFile(path, *store));
        EXPECT_STREQ(store->simplePatterns[0].name, "Safe");
        EXPECT_EQ(store->simplePatterns[0].getCell(0, 0), 0);
    }
    EXPECT_FALSE(loadPatternBankFile(dir.file("does-not-exist.vsb"), *store));
    EXPECT_FALSE(loadPatternBankFile(dir.file(""), *store));
}

TEST(PatternFilesTest, DeepAndHugeDocumentsAreHandled) {
    TempDir dir;
    auto store = newStore();
    store->simplePatterns[0].setName("Safe");

    // Nesting far deeper than any pattern file.
    std::string deep = "<VorlatekSimplePatternBank>";
    for (int i = 0; i < 100000; ++i) deep += "<VorlatekSimplePattern>";
    EXPECT_FALSE(loadPatternBank(deep.data(), deep.size(), *store));
    EXPECT_STREQ(store->simplePatterns[0].name, "Safe");

    // A parsable bank with an enormous row text and many patterns: read, rows cut at 16.
    std::string big = "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"Big\"><BD>";
    big += std::string(8 << 20, 'O');
    big += "</BD></VorlatekSimplePattern>";
    for (int i = 0; i < 20000; ++i) big += "<VorlatekSimplePattern name=\"More\"/>";
    big += "</VorlatekSimplePatternBank>";
    EXPECT_TRUE(loadPatternBank(big.data(), big.size(), *store));
    EXPECT_STREQ(store->simplePatterns[0].name, "Big");
    EXPECT_EQ(encodeStepString(store->simplePatterns[0], 0), std::string(16, 'O'));
    store->simplePatterns[0].setName("Safe");

    // A 100 MB file is refused before it is parsed.
    const std::string path = dir.file("huge.vsb");
    {
        std::ofstream out(path, std::ios::binary);
        out << "<VorlatekSimplePatternBank><VorlatekSimplePattern name=\"Huge\"/>";
        const std::string filler(1 << 20, ' ');
        for (int i = 0; i < 100; ++i) out << filler;
        out << "</VorlatekSimplePatternBank>";
    }
    EXPECT_FALSE(loadPatternBankFile(path, *store));
    EXPECT_STREQ(store->simplePatterns[0].name, "Safe");
}

}  // namespace
}  // namespace vorlatek
