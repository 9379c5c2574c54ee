#pragma once
// The host-independent half of the plug-in object that knows nothing about drums: the
// parameter table declared by the settings document, the control-name registry, the MIDI
// CC map with MIDI learn, and the version.

#include "plugin/ControlRegistry.h"
#include "plugin/MidiCcMap.h"

#include <libxml/tree.h>

#include <atomic>
#include <string>
#include <vector>

namespace vorlatek {

// One row of the parameter table. `value` is the declared default; it never changes after
// the settings document has been read.
struct ParamEntry {
    char shortName[32] = "no name";
    char label[32] = "";
    float value = 0.0f;
};

class BasePlugin {
public:
    static constexpr int kVersion = 1050;

    BasePlugin(int numParams, std::string moduleDirectory);
    virtual ~BasePlugin() = default;
    BasePlugin(const BasePlugin&) = delete;
    BasePlugin& operator=(const BasePlugin&) = delete;

    int numParams() const { return numParams_; }
    const ParamEntry& paramEntry(int index) const { return params_[static_cast<std::size_t>(index)]; }
    // The declared default of a parameter, 0 outside the table.
    float declaredValue(int index) const;

    // A value from the host.
    virtual void setParameter(int index, float value) = 0;
    // A change that starts inside the plug-in, reported to the host as automation.
    virtual void editParameter(int index, float value) = 0;
    virtual float getParameter(int index) const = 0;

    // At most 8 characters and a terminator (9 bytes); indices outside the table leave text alone.
    void getParameterName(int index, char* text) const;
    void getParameterLabel(int index, char* text) const;
    // Writes nothing: hosts show their own rendering of the value.
    void getParameterDisplay(int index, char* text) const;

    const ControlRegistry& registry() const { return registry_; }
    void addXMLControl(const std::string& name, int index) { registry_.addXMLControl(name, index); }
    void addXMLControlValue(const std::string& name, int index) { registry_.addXMLControlValue(name, index); }
    int controlIndex(std::string_view name) const { return registry_.controlIndex(name); }
    std::string controlName(int index) const { return registry_.controlName(index); }

    // Reads a `VSTParameters` element into the table and the registry.
    void readParameters(const xmlNode* element);

    // "v.1.0.5" (short) or "v.1.0.50" (long), with "b<n>" when the build number is not 0.
    std::string versionText(bool shortForm) const;
    int version() const { return kVersion; }
    int buildNumber() const { return buildNumber_; }
    const std::string& pluginName() const { return pluginName_; }
    const std::string& identifier() const { return identifier_; }
    const std::string& moduleDirectory() const { return moduleDirectory_; }

    // MIDI CC map and MIDI learn -------------------------------------------------------
    MidiCcMap& midiCcMap() { return ccMap_; }
    const MidiCcMap& midiCcMap() const { return ccMap_; }
    void assignController(int controller, int parameter) { ccMap_.assign(controller, parameter); }
    // A controller message 0..120: teaches the map while learning, else moves its parameter.
    void handleController(int controller, int value);
    virtual void midiLearnAssigned() = 0;
    bool learnActive() const { return learnActive_.load(std::memory_order_relaxed); }
    int learnTarget() const { return learnTarget_.load(std::memory_order_relaxed); }
    void setLearnTarget(int parameter) { learnTarget_.store(parameter, std::memory_order_relaxed); }

    // `MidiCCMap` element: every named parameter with its lowest controller or −1.
    void readMidiCcMap(const xmlNode* element);
    xmlNodePtr writeMidiCcMap() const;
    // CC map files (root `MidiCCMap`). Loading an unparsable file changes nothing.
    bool loadMidiCcMapFile(const std::string& path);
    bool saveMidiCcMapFile(const std::string& path) const;

protected:
    // The parts of the settings readers that every plug-in of this family shares.
    void readSettingsBase(const xmlNode* root);
    void readUserSettingsBase(const xmlNode* root);

    std::atomic<bool> learnActive_{false};
    std::atomic<int> learnTarget_{-1};

private:
    int numParams_;
    std::vector<ParamEntry> params_;
    ControlRegistry registry_;
    MidiCcMap ccMap_;
    int buildNumber_ = 0;
    std::string pluginName_ = "Vorlatek";
    std::string identifier_ = "com.velmoragroup.vorlatek";
    std::string moduleDirectory_;
};

}  // namespace vorlatek
