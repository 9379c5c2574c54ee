#include "sequencer/PatternFiles.h"

#include "sequencer/XmlDocument.h"

#include <string_view>

namespace vorlatek {

namespace {

constexpr const char* kSimplePatternElement = "VorlatekSimplePattern";
constexpr const char* kExtendedPatternElement = "VorlatekExtendedPattern";
constexpr const char* kSimpleBankElement = "VorlatekSimplePatternBank";
constexpr const char* kExtendedBankElement = "VorlatekExtendedPatternBank";
constexpr const char* kSimpleSetElement = "VorlatekSimpleSet";
constexpr const char* kExtendedSetElement = "VorlatekExtendedSet";
constexpr const char* kVariationElements[2] = {"VariationA", "VariationB"};
constexpr const char* kPartElements[2] = {"Part1", "Part2"};

// Files hold the swing as the fraction of a step by which every second step is late; the
// store keeps it on a 0..1 knob scale where 1 means 0.8 of a step.
constexpr double kShuffleToFile = 0.8;
constexpr double kShuffleFromFile = 1.25;

// Writing ------------------------------------------------------------------------------

void addRows(xmlNodePtr element, const StepPattern& pattern) {
    for (int row = 0; row < kPatternRows; ++row)
        xml::addTextElement(element, kRowNames[row], encodeStepString(pattern, row));
}

void addSwingAndTempo(xmlNodePtr element, double shuffle, double bpm) {
    xml::setAttribute(element, "shuffle", xml::formatFloat(shuffle * kShuffleToFile));
    xml::setAttribute(element, "bpm", xml::formatFloat(bpm));
}

void addLengthAndResolution(xmlNodePtr element, const StepPattern& pattern) {
    xml::setAttribute(element, "length", xml::formatInt(pattern.length));
    xml::setAttribute(element, "stepsPerBeat", xml::formatInt(pattern.stepsPerBeat));
}

void attach(xmlNodePtr parent, xmlNodePtr child) {
    if (!child) return;
    if (!parent || !xmlAddChild(parent, child)) xmlFreeNode(child);
}

// A set element holding the pattern element (when there is one) and then the preset.
xmlNodePtr writeSet(const char* name, xmlNodePtr pattern, xmlNodePtr preset) {
    xmlNodePtr element = xml::newElement(name);
    attach(element, pattern);
    attach(element, preset);
    return element;
}

// Reading ------------------------------------------------------------------------------

double shuffleFromFile(const std::string& value) {
    return static_cast<double>(xml::parseFloat(value).value_or(0.0f)) * kShuffleFromFile;
}

double bpmFromFile(const std::string& value) { return xml::parseFloat(value).value_or(0.0f); }

// The length a pattern element asks for: 16 when the attribute is missing or unreadable.
class LengthReader {
public:
    void read(const std::string& value) {
        if (const auto n = xml::parseInt(value)) requested_ = *n;
    }
    // Stored once, after the attributes, so that the sequencer never sees a passing value.
    void store(StepPattern& pattern) const { pattern.setLength(requested_); }

private:
    int requested_ = kPatternSteps;
};

// An unreadable resolution leaves the previous one; any other number becomes 4.
void readStepsPerBeat(const std::string& value, StepPattern& pattern) {
    if (const auto n = xml::parseInt(value)) pattern.setStepsPerBeat(*n);
}

void readName(const std::string& value, char (&name)[kPatternNameLength + 1]) {
    if (!value.empty()) copyPatternName(name, value);
}

int rowIndex(std::string_view name) {
    for (int row = 0; row < kPatternRows; ++row)
        if (name == kRowNames[row]) return row;
    return -1;
}

void readRows(const xmlNode* node, StepPattern& pattern) {
    xml::forEachChildElement(node, [&](xmlNodePtr child) {
        const int row = rowIndex(xml::nodeName(child));
        if (row < 0) return;
        if (const auto text = xml::firstChildText(child)) decodeStepString(*text, pattern, row);
    });
}

// Reads the element children named `childName` into consecutive slots until `count` are read.
template <class Read>
void readBankChildren(const xmlNode* bank, const char* childName, int count, Read&& read) {
    int slot = 0;
    for (xmlNodePtr child = bank->children; child && slot < count; child = child->next)
        if (xml::isElement(child, childName)) read(child, slot++);
}

bool endsWithExtension(const std::string& path, std::string_view extension) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.size() - dot != extension.size()) return false;
    // ASCII only: the host's locale must not decide what an extension is.
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = path[dot + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != extension[i]) return false;
    }
    return true;
}

bool saveElement(const std::string& path, xmlNodePtr element) {
    if (!element) return false;
    return xml::Document::withRoot(element).saveFile(path);
}

bool readBankDocument(const xml::Document& document, PatternLibrary& store) {
    const xmlNode* root = document.root();
    if (xml::isElement(root, kSimpleBankElement)) readSimpleBank(root, store);
    else if (xml::isElement(root, kExtendedBankElement)) readExtendedBank(root, store);
    else return false;
    return true;
}

}  // namespace

xmlNodePtr writeSimplePattern(const StepPattern& pattern) {
    xmlNodePtr element = xml::newElement(kSimplePatternElement);
    if (!element) return nullptr;
    xml::setAttribute(element, "name", patternName(pattern.name));
    addLengthAndResolution(element, pattern);
    addSwingAndTempo(element, pattern.shuffle, pattern.bpm);
    addRows(element, pattern);
    return element;
}

xmlNodePtr writePart(const StepPattern& part, int partNumber) {
    xmlNodePtr element = xml::newElement(kPartElements[partNumber == 2 ? 1 : 0]);
    if (!element) return nullptr;
    addLengthAndResolution(element, part);
    addRows(element, part);
    return element;
}

xmlNodePtr writeVariation(const PatternVariation& variation, int which) {
    xmlNodePtr element = xml::newElement(kVariationElements[which == 1 ? 1 : 0]);
    if (!element) return nullptr;
    addSwingAndTempo(element, variation.shuffle, variation.bpm);
    attach(element, writePart(variation.part1, 1));
    attach(element, writePart(variation.part2, 2));
    return element;
}

xmlNodePtr writeExtendedPattern(const ExtendedPattern& pattern) {
    xmlNodePtr element = xml::newElement(kExtendedPatternElement);
    if (!element) return nullptr;
    xml::setAttribute(element, "name", patternName(pattern.name));
    attach(element, writeVariation(pattern.variationA, 0));
    attach(element, writeVariation(pattern.variationB, 1));
    return element;
}

xmlNodePtr writeSimpleBank(const PatternLibrary& store) {
    xmlNodePtr element = xml::newElement(kSimpleBankElement);
    if (!element) return nullptr;
    for (const StepPattern& pattern : store.simplePatterns) attach(element, writeSimplePattern(pattern));
    return element;
}

xmlNodePtr writeExtendedBank(const PatternLibrary& store) {
    xmlNodePtr element = xml::newElement(kExtendedBankElement);
    if (!element) return nullptr;
    for (const ExtendedPattern& pattern : store.extendedPatterns)
        attach(element, writeExtendedPattern(pattern));
    return element;
}

xmlNodePtr writeSimpleSet(const PatternLibrary& store, int index, xmlNodePtr preset) {
    const StepPattern* pattern = store.simplePattern(index);
    return writeSet(kSimpleSetElement, pattern ? writeSimplePattern(*pattern) : nullptr, preset);
}

xmlNodePtr writeExtendedSet(const PatternLibrary& store, int index, xmlNodePtr preset) {
    const ExtendedPattern* pattern = store.extendedPattern(index);
    return writeSet(kExtendedSetElement, pattern ? writeExtendedPattern(*pattern) : nullptr, preset);
}

void readSimplePattern(const xmlNode* node, StepPattern& pattern) {
    if (!xml::isElement(node, kSimplePatternElement)) return;
    pattern.clearRow(-1);
    LengthReader length;
    xml::forEachAttribute(node, [&](std::string_view name, const std::string& value) {
        if (name == "name") readName(value, pattern.name);
        else if (name == "length") length.read(value);
        else if (name == "stepsPerBeat") readStepsPerBeat(value, pattern);
        else if (name == "shuffle") pattern.setShuffle(shuffleFromFile(value));
        else if (name == "bpm") pattern.setBpm(bpmFromFile(value));
    });
    length.store(pattern);
    readRows(node, pattern);
}

void readPart(const xmlNode* node, StepPattern& part) {
    if (!xml::isElement(node, kPartElements[0]) && !xml::isElement(node, kPartElements[1])) return;
    part.clearRow(-1);
    LengthReader length;
    xml::forEachAttribute(node, [&](std::string_view name, const std::string& value) {
        if (name == "length") length.read(value);
        else if (name == "stepsPerBeat") readStepsPerBeat(value, part);
    });
    length.store(part);
    readRows(node, part);
}

void readVariation(const xmlNode* node, PatternVariation& variation) {
    if (!xml::isElement(node, kVariationElements[0]) && !xml::isElement(node, kVariationElements[1]))
        return;
    xml::forEachAttribute(node, [&](std::string_view name, const std::string& value) {
        if (name == "shuffle") variation.setShuffle(shuffleFromFile(value));
        else if (name == "bpm") variation.setBpm(bpmFromFile(value));
    });
    xml::forEachChildElement(node, [&](xmlNodePtr child) {
        if (xml::isElement(child, kPartElements[0])) readPart(child, variation.part1);
        else if (xml::isElement(child, kPartElements[1])) readPart(child, variation.part2);
    });
}

void readExtendedPattern(const xmlNode* node, ExtendedPattern& pattern) {
    if (!xml::isElement(node, kExtendedPatternElement)) return;
    if (const auto name = xml::attribute(node, "name")) readName(*name, pattern.name);
    xml::forEachChildElement(node, [&](xmlNodePtr child) {
        if (xml::isElement(child, kVariationElements[0])) readVariation(child, pattern.variationA);
        else if (xml::isElement(child, kVariationElements[1])) readVariation(child, pattern.variationB);
    });
}

void readSimpleBank(const xmlNode* node, PatternLibrary& store) {
    if (!xml::isElement(node, kSimpleBankElement)) return;
    readBankChildren(node, kSimplePatternElement, kSimplePatternCount,
                     [&](const xmlNode* child, int slot) { readSimplePattern(child, store.simplePatterns[slot]); });
}

void readExtendedBank(const xmlNode* node, PatternLibrary& store) {
    if (!xml::isElement(node, kExtendedBankElement)) return;
    readBankChildren(node, kExtendedPatternElement, kExtendedPatternCount, [&](const xmlNode* child, int slot) {
        readExtendedPattern(child, store.extendedPatterns[slot]);
    });
}

bool savePatternFile(const std::string& path, const PatternLibrary& store, int simpleIndex,
                     int extendedIndex, const PresetElementBuilder& buildPreset) {
    if (path.empty()) return false;
    const auto preset = [&]() -> xmlNodePtr { return buildPreset ? buildPreset() : nullptr; };
    xmlNodePtr element = nullptr;
    if (endsWithExtension(path, ".vsp")) {
        if (const StepPattern* pattern = store.simplePattern(simpleIndex)) element = writeSimplePattern(*pattern);
    } else if (endsWithExtension(path, ".vss")) {
        element = writeSimpleSet(store, simpleIndex, preset());
    } else if (endsWithExtension(path, ".vsb")) {
        element = writeSimpleBank(store);
    } else if (endsWithExtension(path, ".vep")) {
        if (const ExtendedPattern* pattern = store.extendedPattern(extendedIndex))
            element = writeExtendedPattern(*pattern);
    } else if (endsWithExtension(path, ".ves")) {
        element = writeExtendedSet(store, extendedIndex, preset());
    } else if (endsWithExtension(path, ".veb")) {
        element = writeExtendedBank(store);
    }
    return saveElement(path, element);
}

bool loadPatternBank(const void* data, std::size_t size, PatternLibrary& store) {
    return readBankDocument(xml::Document::parseMemory(data, size), store);
}

bool loadPatternBankFile(const std::string& path, PatternLibrary& store) {
    return readBankDocument(xml::Document::parseFile(path), store);
}

}  // namespace vorlatek
