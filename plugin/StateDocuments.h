#pragma once
// The XML documents that carry the plug-in's state outside a preset: the built-in settings
// document, the user settings file next to the module, and the bank chunk the host stores
// in its project. Everything here runs on the thread of the call that triggers it
// (construction, destruction, the host's chunk calls, the editor's file commands).

#include <libxml/tree.h>

namespace vorlatek {

class DrumPlugin;

class StateDocuments {
public:
    // The documents read while the plug-in object is built, in order: built-in settings,
    // user settings file, defaults copied, pin count fixed, declared parameter values
    // applied, factory banks, program 0, the user's default preset and pattern bank files.
    static void loadAtConstruction(DrumPlugin& plugin);

    // Built-in settings document (root `VorlatekSettings`); null is accepted.
    static void readSettings(DrumPlugin& plugin, const xmlNode* root);
    // User settings document (root `VorlatekUserSettings`); null is accepted.
    static void readUserSettings(DrumPlugin& plugin, const xmlNode* root);
    static xmlNodePtr writeUserSettings(const DrumPlugin& plugin);
    // Writes the user settings file (replacing the old one atomically) when there is a path
    // and the file found at construction was ours or absent.
    static bool saveUserSettings(const DrumPlugin& plugin);

    // The bank chunk (root `VorlatekBank`).
    static xmlNodePtr writeBank(const DrumPlugin& plugin);
    static void readBank(DrumPlugin& plugin, const xmlNode* root);

    static void readPluginState(DrumPlugin& plugin, const xmlNode* element);
    static xmlNodePtr writePluginState(const DrumPlugin& plugin);
    static void readNotPresetParams(DrumPlugin& plugin, const xmlNode* element);
    static xmlNodePtr writeNotPresetParams(const DrumPlugin& plugin);

private:
    static void readInternalSequencer(DrumPlugin& plugin, const xmlNode* element);
    static void readPlaybackSettings(DrumPlugin& plugin, const xmlNode* element);
    static void readPatternEdition(DrumPlugin& plugin, const xmlNode* element);
    static void readOutputConfig(DrumPlugin& plugin, const xmlNode* element);
    static void readOutputAssigns(DrumPlugin& plugin, const xmlNode* element);
    static void readStatistics(DrumPlugin& plugin, const xmlNode* element);
    static void readDefaultResources(DrumPlugin& plugin, const xmlNode* element);
};

}  // namespace vorlatek
