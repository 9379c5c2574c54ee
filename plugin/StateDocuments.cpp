#include "plugin/StateDocuments.h"

#include "engine/DrumEngine.h"
#include "engine/Instrument.h"
#include "plugin/DrumPlugin.h"
#include "plugin/ModuleServices.h"
#include "sequencer/PatternFiles.h"
#include "sequencer/PatternStore.h"
#include "sequencer/XmlDocument.h"

#include <algorithm>
#include <string>

namespace vorlatek {

namespace {

const char* onOff(bool on) { return on ? "on" : "off"; }

// Applies an "on"/"off" attribute value; anything else leaves the field alone.
template <class Setter>
void readOnOff(const std::string& text, Setter&& set) {
    if (text == "on") set(true);
    else if (text == "off") set(false);
}

const char* triggerSourceName(int source) {
    switch (source) {
        case kCowBell: return "CB";
        case kHandClap: return "CP";
        case kAccent: return "AC";
        default: return nullptr;
    }
}

std::string cutPath(const std::string& text) { return text.substr(0, DefaultResources::kMaxPath); }

xml::Document parseResource(const char* type, const char* name) {
    const auto resource = findResource(type, name);
    if (!resource) return xml::Document();
    return xml::Document::parseMemory(resource->data, resource->size);
}

xmlNodePtr writeInternalSequencer(const SequencerSettings& settings, int extSyncType) {
    xmlNodePtr element = xml::newElement("InternalSequencer");
    xml::setAttribute(element, "state", onOff(settings.intSeqOn));
    xml::setAttribute(element, "sync", settings.syncInternal == 1 ? "internal" : "external");
    xml::setAttribute(element, "hostMode", onOff(settings.hostMode));
    xml::setAttribute(element, "noteOff", onOff(settings.noteOff));
    xml::setAttribute(element, "extSyncType", extSyncType == kExtSyncLowestNote ? "lowestNote" : "transportChange");
    xml::setAttribute(element, "drumChannel", xml::formatInt(settings.drumChannel));
    return element;
}

xmlNodePtr writeOutputAssigns(const std::array<std::int32_t, 17>& assigns) {
    xmlNodePtr element = xml::newElement("OutputAssigns");
    for (int i = 0; i < kInstrumentCount; ++i) {
        const std::string name(kInstrumentNames[static_cast<std::size_t>(i)]);
        xmlNodePtr child = xml::addChildElement(element, name.c_str());
        xml::setAttribute(child, "out", xml::formatInt(assigns[static_cast<std::size_t>(i)] + 1));
    }
    return element;
}

}  // namespace

// Construction ----------------------------------------------------------------------------

void StateDocuments::loadAtConstruction(DrumPlugin& plugin) {
    {
        const xml::Document settings = parseResource("xml", "settings");
        readSettings(plugin, settings.root());
    }
    {
        xml::Document::FileOutcome outcome{};
        const xml::Document user = xml::Document::parseFile(plugin.userSettingsPath_, &outcome);
        readUserSettings(plugin, user.root());
        // Whatever is there and is not our settings (unreadable, too large, broken, another
        // program's file, a FIFO) is the user's: closing must not replace it with defaults.
        plugin.userSettingsReplaceable_ =
            outcome == xml::Document::FileOutcome::Absent ||
            (outcome == xml::Document::FileOutcome::Parsed && xml::isElement(user.root(), "VorlatekUserSettings"));
    }

    UserDefaults& defaults = plugin.userDefaults_;
    defaults.output = plugin.outputConfig_;
    defaults.triggerSource = plugin.triggerSource_;
    defaults.outAssign = plugin.outAssign_;
    defaults.sequencer = plugin.sequencer_;
    plugin.numOutputs_ = plugin.outputConfig_.outputCount();
    plugin.outputFixed_ = true;

    for (int i = 0; i < param::kCount; ++i) plugin.setParameter(i, plugin.declaredValue(i));

    {
        const xml::Document presets = parseResource("vpb", "default");
        plugin.presets_.readPresetBank(presets.root(), plugin);
        const xml::Document extended = parseResource("veb", "default");
        readExtendedBank(extended.root(), *plugin.store_);
        const xml::Document simple = parseResource("vsb", "default");
        readSimpleBank(simple.root(), *plugin.store_);
    }
    plugin.selectProgram(0);

    {
        const xml::Document presets = xml::Document::parseFile(plugin.defaultResources_.presetBank);
        plugin.presets_.readPresetBank(presets.root(), plugin);
        plugin.selectProgram(-1);
    }
    {
        const xml::Document simple = xml::Document::parseFile(plugin.defaultResources_.simplePatternBank);
        readSimpleBank(simple.root(), *plugin.store_);
        const xml::Document extended = xml::Document::parseFile(plugin.defaultResources_.extendedPatternBank);
        readExtendedBank(extended.root(), *plugin.store_);
    }
}

// Settings documents ----------------------------------------------------------------------

void StateDocuments::readSettings(DrumPlugin& plugin, const xmlNode* root) {
    if (!root) return;
    plugin.readSettingsBase(root);
    if (!xml::isElement(root, "VorlatekSettings")) return;
    xml::forEachChildElement(root, [&](xmlNodePtr child) {
        const std::string_view name = xml::nodeName(child);
        if (name == "DrumMap") plugin.drumMap_.read(child);
        else if (name == "VorlatekPresetBank") plugin.presets_.readPresetBank(child, plugin);
        else if (name == "VorlatekSimplePatternBank") readSimpleBank(child, *plugin.store_);
        else if (name == "VorlatekExtendedPatternBank") readExtendedBank(child, *plugin.store_);
        else if (name == "PluginState") readPluginState(plugin, child);
    });
}

void StateDocuments::readUserSettings(DrumPlugin& plugin, const xmlNode* root) {
    if (!root) return;
    plugin.readUserSettingsBase(root);
    if (!xml::isElement(root, "VorlatekUserSettings")) return;
    xml::forEachChildElement(root, [&](xmlNodePtr child) {
        const std::string_view name = xml::nodeName(child);
        if (name == "Statistics") readStatistics(plugin, child);
        else if (name == "DefaultResources") readDefaultResources(plugin, child);
        else if (name == "InternalSequencer") readInternalSequencer(plugin, child);
        else if (name == "OutputConfig") readOutputConfig(plugin, child);
        else if (name == "OutputAssigns") readOutputAssigns(plugin, child);
        else if (name == "DrumMap") plugin.drumMap_.read(child);
    });
}

xmlNodePtr StateDocuments::writeUserSettings(const DrumPlugin& plugin) {
    const UserDefaults& defaults = plugin.userDefaults_;
    xmlNodePtr root = xml::newElement("VorlatekUserSettings");

    xmlNodePtr statistics = xml::addChildElement(root, "Statistics");
    xml::setAttribute(statistics, "ttm", xml::formatInt(plugin.usageSeconds_));

    xmlNodePtr resources = xml::addChildElement(root, "DefaultResources");
    xml::setAttribute(resources, "presetBank", plugin.defaultResources_.presetBank);
    xml::setAttribute(resources, "simplePatternBank", plugin.defaultResources_.simplePatternBank);
    xml::setAttribute(resources, "extendedPatternBank", plugin.defaultResources_.extendedPatternBank);

    xmlAddChild(root, writeInternalSequencer(defaults.sequencer, plugin.sequencer_.extSyncType));

    xmlNodePtr output = xml::addChildElement(root, "OutputConfig");
    xmlNodePtr master = xml::addChildElement(output, "MasterOutput");
    xml::setAttribute(master, "state", onOff(defaults.output.masterOn));
    xml::setAttribute(master, "type", defaults.output.masterStereo ? "stereo" : "mono");
    xmlNodePtr instruments = xml::addChildElement(output, "InstrumentsOutputs");
    xml::setAttribute(instruments, "type", defaults.output.instrumentsStereo ? "stereo" : "mono");
    xmlNodePtr trigger = xml::addChildElement(output, "TriggerOutput");
    xml::setAttribute(trigger, "state", onOff(defaults.output.triggerOn));
    if (const char* source = triggerSourceName(defaults.triggerSource)) xml::setAttribute(trigger, "type", source);

    xmlAddChild(root, writeOutputAssigns(defaults.outAssign));
    xmlAddChild(root, plugin.drumMap_.write());
    xmlAddChild(root, plugin.writeMidiCcMap());
    return root;
}

bool StateDocuments::saveUserSettings(const DrumPlugin& plugin) {
    if (plugin.userSettingsPath_.empty() || !plugin.userSettingsReplaceable_) return false;
    return xml::Document::withRoot(writeUserSettings(plugin)).saveFile(plugin.userSettingsPath_);
}

void StateDocuments::readStatistics(DrumPlugin& plugin, const xmlNode* element) {
    if (const auto ttm = xml::attribute(element, "ttm"))
        if (const auto value = xml::parseInt(*ttm)) plugin.usageSeconds_ = *value;
}

void StateDocuments::readDefaultResources(DrumPlugin& plugin, const xmlNode* element) {
    DefaultResources& paths = plugin.defaultResources_;
    xml::forEachAttribute(element, [&](std::string_view attr, const std::string& text) {
        if (attr == "presetBank") paths.presetBank = cutPath(text);
        else if (attr == "simplePatternBank") paths.simplePatternBank = cutPath(text);
        else if (attr == "extendedPatternBank") paths.extendedPatternBank = cutPath(text);
    });
}

// Bank chunk ----------------------------------------------------------------------------

xmlNodePtr StateDocuments::writeBank(const DrumPlugin& plugin) {
    xmlNodePtr root = xml::newElement("VorlatekBank");
    // Older chunks lack it: the program then stays as it was.
    xml::setAttribute(root, "currentProgram", xml::formatInt(plugin.currentProgram()));
    xmlAddChild(root, writePluginState(plugin));
    xmlAddChild(root, writeNotPresetParams(plugin));
    xmlAddChild(root, writeSimpleBank(*plugin.store_));
    xmlAddChild(root, writeExtendedBank(*plugin.store_));
    xmlAddChild(root, plugin.presets_.writePresetBank(plugin));
    xmlAddChild(root, plugin.writeMidiCcMap());
    return root;
}

void StateDocuments::readBank(DrumPlugin& plugin, const xmlNode* root) {
    if (!xml::isElement(root, "VorlatekBank")) return;
    if (const auto text = xml::attribute(root, "currentProgram"))
        if (const auto n = xml::parseInt(*text); n && PresetBank::validIndex(*n))
            plugin.currentProgram_.store(*n, std::memory_order_relaxed);
    xml::forEachChildElement(root, [&](xmlNodePtr child) {
        const std::string_view name = xml::nodeName(child);
        if (name == "PluginState") readPluginState(plugin, child);
        else if (name == "NotPresetParams") readNotPresetParams(plugin, child);
        else if (name == "VorlatekSimplePatternBank") readSimpleBank(child, *plugin.store_);
        else if (name == "VorlatekExtendedPatternBank") readExtendedBank(child, *plugin.store_);
        else if (name == "VorlatekPresetBank") plugin.presets_.readPresetBank(child, plugin);
        else if (name == "MidiCCMap") plugin.readMidiCcMap(child);
    });
}

void StateDocuments::readNotPresetParams(DrumPlugin& plugin, const xmlNode* element) {
    if (!xml::isElement(element, "NotPresetParams")) return;
    xml::forEachChildElement(element, [&](xmlNodePtr param) {
        if (!xml::isElement(param, "param")) return;
        std::string name;
        float value = 0.0f;
        xml::forEachAttribute(param, [&](std::string_view attr, const std::string& text) {
            if (attr == "name") name = text.substr(0, 255);
            else if (attr == "value") {
                if (auto v = xml::parseFloat(text)) value = *v;
            }
        });
        const int index = plugin.controlIndex(name);
        if (index >= param::kFirstGlobal && index < param::kCount) plugin.storeParameter(index, value, false);
    });
}

xmlNodePtr StateDocuments::writeNotPresetParams(const DrumPlugin& plugin) {
    xmlNodePtr element = xml::newElement("NotPresetParams");
    for (int i = param::kFirstGlobal; i < param::kCount; ++i) {
        xmlNodePtr param = xml::addChildElement(element, "param");
        xml::setAttribute(param, "name", plugin.controlName(i));
        xml::setAttribute(param, "value", xml::formatFloat(plugin.getParameter(i)));
    }
    return element;
}

// Plug-in state ---------------------------------------------------------------------------

void StateDocuments::readPluginState(DrumPlugin& plugin, const xmlNode* element) {
    if (!xml::isElement(element, "PluginState")) return;
    xml::forEachChildElement(element, [&](xmlNodePtr child) {
        const std::string_view name = xml::nodeName(child);
        if (name == "InternalSequencer") readInternalSequencer(plugin, child);
        else if (name == "PlaybackSettings") readPlaybackSettings(plugin, child);
        else if (name == "PatternEdition") readPatternEdition(plugin, child);
        else if (name == "OutputConfig") readOutputConfig(plugin, child);
        else if (name == "OutputAssigns") readOutputAssigns(plugin, child);
    });
}

xmlNodePtr StateDocuments::writePluginState(const DrumPlugin& plugin) {
    xmlNodePtr element = xml::newElement("PluginState");
    xmlAddChild(element, writeInternalSequencer(plugin.sequencer_, plugin.sequencer_.extSyncType));

    const PlaybackSelection& selection = plugin.selection_;
    xmlNodePtr playback = xml::addChildElement(element, "PlaybackSettings");
    const int fillIn = selection.autoFillIn();
    if (fillIn == 0) xml::setAttribute(playback, "autoFillIn", "manual");
    else if (PlaybackSelection::validAutoFillIn(fillIn)) xml::setAttribute(playback, "autoFillIn", xml::formatInt(fillIn));
    static constexpr const char* kBasicVariations[] = {"A", "B", "AB"};
    const int basicVariation = selection.basicVariation();
    if (basicVariation >= 0 && basicVariation <= 2)
        xml::setAttribute(playback, "basicVariation", kBasicVariations[basicVariation]);
    xml::setAttribute(playback, "introFillInVariation", selection.introFillInVariation() == 1 ? "B" : "A");
    xml::setAttribute(playback, "basicPattern", xml::formatInt(selection.basicPattern()));
    xml::setAttribute(playback, "introFillInPattern", xml::formatInt(selection.introFillInPattern()));
    xml::setAttribute(playback, "startPatternType", selection.startPatternType() == 1 ? "fillIn" : "basic");

    const PatternEdition& edition = plugin.edition_;
    xmlNodePtr editing = xml::addChildElement(element, "PatternEdition");
    xml::setAttribute(editing, "writeMode", onOff(edition.writeMode));
    xml::setAttribute(editing, "autoFollow", onOff(edition.autoFollow));
    xml::setAttribute(editing, "randMode", onOff(edition.randMode));
    xml::setAttribute(editing, "lengthMode", onOff(edition.lengthMode));
    xml::setAttribute(editing, "editedSimplePattern", xml::formatInt(edition.editedSimplePattern));
    xml::setAttribute(editing, "editedExtendedPattern", xml::formatInt(edition.editedExtendedPattern));
    xml::setAttribute(editing, "editedExtendedVariation", edition.editedExtendedVariation == 1 ? "B" : "A");
    xml::setAttribute(editing, "editedExtendedPart", edition.editedExtendedPart == 1 ? "2" : "1");
    std::string selected;
    for (bool on : edition.selectedInstrument) selected += on ? '1' : '0';
    xml::setAttribute(editing, "selectedInstrument", selected);

    xmlAddChild(element, writeOutputAssigns(plugin.outAssign_));
    return element;
}

void StateDocuments::readInternalSequencer(DrumPlugin& plugin, const xmlNode* element) {
    xml::forEachAttribute(element, [&](std::string_view attr, const std::string& text) {
        if (attr == "state") readOnOff(text, [&](bool on) { plugin.setIntSeqOn(on); });
        else if (attr == "sync") {
            if (text == "internal") plugin.setSyncInternal(1);
            else if (text == "external") plugin.setSyncInternal(0);
        } else if (attr == "hostMode" || attr == "freeMode") {
            readOnOff(text, [&](bool on) { plugin.setHostMode(on); });
        } else if (attr == "noteOff") {
            readOnOff(text, [&](bool on) { plugin.setNoteOff(on); });
        } else if (attr == "extSyncType") {
            if (text == "transportChange") plugin.setExtSyncType(kExtSyncTransportChange);
            else if (text == "lowestNote") plugin.setExtSyncType(kExtSyncLowestNote);
        } else if (attr == "drumChannel") {
            if (const auto n = xml::parseInt(text)) plugin.setDrumChannel(*n);
        }
    });
}

void StateDocuments::readPlaybackSettings(DrumPlugin& plugin, const xmlNode* element) {
    PlaybackSelection& selection = plugin.selection_;
    xml::forEachAttribute(element, [&](std::string_view attr, const std::string& text) {
        if (attr == "autoFillIn") {
            if (text == "manual") selection.setAutoFillIn(0);
            else if (const auto n = xml::parseInt(text); n && *n != 0) selection.setAutoFillIn(*n);
        } else if (attr == "basicVariation") {
            if (text == "A") selection.setBasicVariation(0);
            else if (text == "B") selection.setBasicVariation(1);
            else if (text == "AB") selection.setBasicVariation(2);
        } else if (attr == "introFillInVariation") {
            if (text == "A") selection.setIntroFillInVariation(0);
            else if (text == "B") selection.setIntroFillInVariation(1);
        } else if (attr == "basicPattern") {
            if (const auto n = xml::parseInt(text); n && *n >= 0 && *n < kBasicPatternCount) selection.selectPlayPattern(*n);
        } else if (attr == "introFillInPattern") {
            if (const auto n = xml::parseInt(text); n && *n >= kBasicPatternCount && *n < kExtendedPatternCount)
                selection.selectPlayPattern(*n);
        } else if (attr == "startPatternType") {
            if (text == "basic") selection.setStartPatternType(0);
            else if (text == "fillIn") selection.setStartPatternType(1);
        }
    });
}

void StateDocuments::readPatternEdition(DrumPlugin& plugin, const xmlNode* element) {
    xml::forEachAttribute(element, [&](std::string_view attr, const std::string& text) {
        if (attr == "writeMode") readOnOff(text, [&](bool on) { plugin.setWriteMode(on); });
        else if (attr == "autoFollow") readOnOff(text, [&](bool on) { plugin.setAutoFollow(on); });
        else if (attr == "randMode") readOnOff(text, [&](bool on) { plugin.setRandMode(on); });
        else if (attr == "lengthMode") readOnOff(text, [&](bool on) { plugin.setLengthMode(on); });
        else if (attr == "editedSimplePattern") {
            if (const auto n = xml::parseInt(text)) plugin.setEditedSimplePattern(*n);
        } else if (attr == "editedExtendedPattern") {
            if (const auto n = xml::parseInt(text)) plugin.setEditedExtendedPattern(*n);
        } else if (attr == "editedExtendedVariation") {
            if (text == "A") plugin.setEditedExtendedVariation(0);
            else if (text == "B") plugin.setEditedExtendedVariation(1);
        } else if (attr == "editedExtendedPart") {
            if (text == "1") plugin.setEditedExtendedPart(0);
            else if (text == "2") plugin.setEditedExtendedPart(1);
        } else if (attr == "selectedInstrument") {
            for (std::size_t k = 0; k < text.size() && k < PatternEdition::kRows; ++k)
                plugin.setSelectedInstrument(static_cast<int>(k), text[k] == '1');
        }
    });
}

void StateDocuments::readOutputConfig(DrumPlugin& plugin, const xmlNode* element) {
    // The pins were counted and published when the plug-in was built; a configuration met
    // later (a chunk from elsewhere) must not make processing disagree with them.
    if (plugin.outputFixed_) return;
    OutputConfig output = plugin.outputConfig_;
    xml::forEachChildElement(element, [&](xmlNodePtr child) {
        const std::string_view name = xml::nodeName(child);
        xml::forEachAttribute(child, [&](std::string_view attr, const std::string& text) {
            if (name == "MasterOutput" && attr == "state") readOnOff(text, [&](bool on) { output.masterOn = on; });
            else if (name == "MasterOutput" && attr == "type") {
                if (text == "stereo") output.masterStereo = true;
                else if (text == "mono") output.masterStereo = false;
            } else if (name == "InstrumentsOutputs" && attr == "type") {
                if (text == "stereo") output.instrumentsStereo = true;
                else if (text == "mono") output.instrumentsStereo = false;
            } else if (name == "TriggerOutput" && attr == "state") {
                readOnOff(text, [&](bool on) { output.triggerOn = on; });
            } else if (name == "TriggerOutput" && attr == "type") {
                if (text == "CB") plugin.triggerSource_ = kCowBell;
                else if (text == "CP") plugin.triggerSource_ = kHandClap;
                else if (text == "AC") plugin.triggerSource_ = kAccent;
            }
        });
    });
    plugin.outputConfig_ = output;
    plugin.numOutputs_ = output.outputCount();
}

void StateDocuments::readOutputAssigns(DrumPlugin& plugin, const xmlNode* element) {
    xml::forEachChildElement(element, [&](xmlNodePtr child) {
        const int instrument = instrumentFromName(xml::nodeName(child));
        if (instrument < 0 || instrument >= kInstrumentCount) return;
        const auto out = xml::attribute(child, "out");
        if (!out) return;
        if (const auto n = xml::parseInt(*out))
            plugin.setOutAssign(instrument, static_cast<int>(std::clamp(static_cast<long long>(*n) - 1, 0LL, 16LL)));
    });
    plugin.notifyEditor(kNotifyOutputAssigns);
}

}  // namespace vorlatek
