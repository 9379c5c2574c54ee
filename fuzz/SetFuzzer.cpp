// Set files (.vss, .ves): a pattern and a preset, each read by its own reader.

#include "FuzzedPlugin.h"
#include "plugin/PresetBank.h"
#include "sequencer/PatternFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorlatek;
    DrumPlugin& plugin = fuzz::plugin();
    const auto store = plugin.patternStore();
    const xml::Document doc = fuzz::parse(data, size);
    const xmlNode* root = doc.root();
    if (!xml::isElement(root, "VorlatekSimpleSet") && !xml::isElement(root, "VorlatekExtendedSet")) return 0;
    xml::forEachChildElement(root, [&](xmlNodePtr child) {
        readSimplePattern(child, *store->simplePattern(1));
        readExtendedPattern(child, *store->extendedPattern(1));
        if (xml::isElement(child, "VorlatekPreset")) PresetBank::readPreset(child, *plugin.getPresetSlot(-1), plugin);
    });
    return 0;
}
