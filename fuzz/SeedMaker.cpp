// Writes a small, valid starting input for every fuzz target, made by the plug-in's own
// writers so that the seeds follow the formats as they change:
//   SeedMaker FOLDER   writes FOLDER/<Reader>/<name>.xml
// Banks are cut to a few members: a seed of hundreds of kilobytes would slow every run.

#include "FuzzedPlugin.h"
#include "plugin/PresetBank.h"
#include "plugin/StateDocuments.h"
#include "sequencer/PatternFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using namespace vorlatek;
namespace fs = std::filesystem;

void save(const fs::path& folder, const char* reader, const char* name, xmlNodePtr root) {
    fs::create_directories(folder / reader);
    std::ofstream(folder / reader / name, std::ios::binary) << xml::Document::withRoot(root).dump();
}

// A bank element with only its first `keep` members.
xmlNodePtr trimmed(xmlNodePtr bank, int keep) {
    int kept = 0;
    for (xmlNodePtr child = bank->children; child;) {
        xmlNodePtr next = child->next;
        if (child->type == XML_ELEMENT_NODE && ++kept > keep) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
        child = next;
    }
    return bank;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SeedMaker FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    DrumPlugin& plugin = fuzz::plugin();
    const auto store = plugin.patternStore();
    const PresetSlot& preset = *plugin.getPresetSlot(-1);

    xmlNodePtr bank = xml::newElement("VorlatekBank");
    xmlAddChild(bank, StateDocuments::writePluginState(plugin));
    xmlAddChild(bank, StateDocuments::writeNotPresetParams(plugin));
    xmlAddChild(bank, trimmed(writeSimpleBank(*store), 2));
    xmlAddChild(bank, trimmed(writeExtendedBank(*store), 1));
    xmlAddChild(bank, trimmed(plugin.presets()->writePresetBank(plugin), 2));
    xmlAddChild(bank, plugin.writeMidiCcMap());
    save(folder, "Chunk", "bank.xml", bank);

    save(folder, "Preset", "preset.xml", PresetBank::writePreset(preset, plugin));
    save(folder, "PresetBank", "bank.xml", trimmed(plugin.presets()->writePresetBank(plugin), 3));
    save(folder, "Pattern", "simple.xml", writeSimplePattern(*store->simplePattern(0)));
    save(folder, "Pattern", "extended.xml", writeExtendedPattern(*store->extendedPattern(0)));
    save(folder, "Pattern", "simple-bank.xml", trimmed(writeSimpleBank(*store), 3));
    save(folder, "Pattern", "extended-bank.xml", trimmed(writeExtendedBank(*store), 2));
    save(folder, "Set", "simple.xml", writeSimpleSet(*store, 0, PresetBank::writePreset(preset, plugin)));
    save(folder, "Set", "extended.xml", writeExtendedSet(*store, 0, PresetBank::writePreset(preset, plugin)));
    save(folder, "CcMap", "map.xml", plugin.writeMidiCcMap());
    save(folder, "UserSettings", "settings.xml", StateDocuments::writeUserSettings(plugin));
    return 0;
}
