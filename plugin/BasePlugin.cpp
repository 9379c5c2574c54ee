#include "plugin/BasePlugin.h"

#include "sequencer/XmlDocument.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vorlatek {

namespace {

constexpr std::size_t kMaxControlName = 255;

void copyCut(char* destination, const std::string& source, std::size_t maxChars) {
    const std::size_t n = std::min(source.size(), maxChars);
    std::memcpy(destination, source.data(), n);
    destination[n] = '\0';
}

}  // namespace

BasePlugin::BasePlugin(int numParams, std::string moduleDirectory)
    : numParams_(numParams < 0 ? 0 : numParams),
      params_(static_cast<std::size_t>(numParams_)),
      moduleDirectory_(std::move(moduleDirectory)) {}

float BasePlugin::declaredValue(int index) const {
    if (index < 0 || index >= numParams_) return 0.0f;
    return params_[static_cast<std::size_t>(index)].value;
}

namespace {

// The host's parameter texts: at most 8 characters, terminated after the 8th.
void copyParameterText(char* text, const char* source) {
    const std::size_t n = strnlen(source, 8);
    std::memcpy(text, source, n);
    text[n] = '\0';
}

}  // namespace

void BasePlugin::getParameterName(int index, char* text) const {
    if (!text || index < 0 || index >= numParams_) return;
    copyParameterText(text, params_[static_cast<std::size_t>(index)].shortName);
}

void BasePlugin::getParameterLabel(int index, char* text) const {
    if (!text || index < 0 || index >= numParams_) return;
    copyParameterText(text, params_[static_cast<std::size_t>(index)].label);
}

void BasePlugin::getParameterDisplay(int, char*) const {}

void BasePlugin::readParameters(const xmlNode* element) {
    if (!xml::isElement(element, "VSTParameters")) return;
    xml::forEachChildElement(element, [&](xmlNodePtr param) {
        if (!xml::isElement(param, "param")) return;
        int index = -1;
        float value = 0.0f;
        int cc = -1;
        std::string name, shortName, label;
        xml::forEachAttribute(param, [&](std::string_view attr, const std::string& text) {
            if (attr == "index") {
                if (auto v = xml::parseInt(text)) index = *v;
            } else if (attr == "name") {
                name = text.substr(0, kMaxControlName);
            } else if (attr == "value") {
                if (auto v = xml::parseFloat(text)) value = *v;
            } else if (attr == "desc") {
                shortName = text;
            } else if (attr == "label") {
                label = text;
            } else if (attr == "CC") {
                if (auto v = xml::parseInt(text)) cc = *v;
            }
        });
        addXMLControl(name, index);
        addXMLControlValue(name, index);
        if (index < 0 || index >= numParams_) return;
        ParamEntry& entry = params_[static_cast<std::size_t>(index)];
        entry.value = std::clamp(value, 0.0f, 1.0f);
        copyCut(entry.shortName, shortName, sizeof entry.shortName - 1);
        copyCut(entry.label, label, sizeof entry.label - 1);
        if (cc >= 0 && cc < MidiCcMap::kControllers) assignController(cc, index);
    });
}

std::string BasePlugin::versionText(bool shortForm) const {
    const unsigned v = static_cast<unsigned>(kVersion);
    char text[64];
    if (shortForm)
        std::snprintf(text, sizeof text, "v.%u.%u.%u", v / 1000, (v / 100) % 10, (v % 100) / 10);
    else
        std::snprintf(text, sizeof text, "v.%u.%u.%u", v / 1000, (v / 100) % 10, v % 100);
    std::string result = text;
    if (buildNumber_ != 0) {
        result += 'b';
        result += std::to_string(buildNumber_);
    }
    return result;
}

void BasePlugin::handleController(int controller, int value) {
    const int target = learnTarget();
    if (learnActive() && target != -1) {
        assignController(controller, target);
        midiLearnAssigned();
        return;
    }
    const int parameter = ccMap_.parameterFor(controller);
    if (parameter >= 0) editParameter(parameter, static_cast<float>(value) * (1.0f / 127.0f));
}

void BasePlugin::readMidiCcMap(const xmlNode* element) {
    if (!xml::isElement(element, "MidiCCMap")) return;
    xml::forEachChildElement(element, [&](xmlNodePtr assign) {
        if (!xml::isElement(assign, "assign")) return;
        int cc = -1;
        std::string name;
        xml::forEachAttribute(assign, [&](std::string_view attr, const std::string& text) {
            if (attr == "CC") {
                if (auto v = xml::parseInt(text)) cc = *v;
            } else if (attr == "param") {
                name = text.substr(0, kMaxControlName);
            }
        });
        const int parameter = controlIndex(name);
        if (cc >= 0 && cc < MidiCcMap::kControllers && parameter >= 0) assignController(cc, parameter);
    });
}

xmlNodePtr BasePlugin::writeMidiCcMap() const {
    xmlNodePtr element = xml::newElement("MidiCCMap");
    for (int i = 0; i < numParams_; ++i) {
        const std::string name = controlName(i);
        if (name.empty()) continue;
        xmlNodePtr assign = xml::addChildElement(element, "assign");
        xml::setAttribute(assign, "param", name);
        xml::setAttribute(assign, "CC", xml::formatInt(ccMap_.controllerFor(i)));
    }
    return element;
}

bool BasePlugin::loadMidiCcMapFile(const std::string& path) {
    const xml::Document doc = xml::Document::parseFile(path);
    if (!xml::isElement(doc.root(), "MidiCCMap")) return false;
    readMidiCcMap(doc.root());
    return true;
}

bool BasePlugin::saveMidiCcMapFile(const std::string& path) const {
    if (path.empty()) return false;
    return xml::Document::withRoot(writeMidiCcMap()).saveFile(path);
}

void BasePlugin::readSettingsBase(const xmlNode* root) {
    xml::forEachChildElement(root, [&](xmlNodePtr child) {
        if (xml::isElement(child, "VSTParameters")) readParameters(child);
        else if (xml::isElement(child, "MidiCCMap")) readMidiCcMap(child);
    });
}

void BasePlugin::readUserSettingsBase(const xmlNode* root) {
    xml::forEachChildElement(root, [&](xmlNodePtr child) {
        if (xml::isElement(child, "MidiCCMap")) readMidiCcMap(child);
    });
}

}  // namespace vorlatek
