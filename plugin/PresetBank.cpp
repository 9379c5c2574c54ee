#include "plugin/PresetBank.h"

#include "plugin/BasePlugin.h"
#include "sequencer/XmlDocument.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace vorlatek {

void PresetSlot::setName(const char* text) {
    if (!text) return;
    // A host may hand over any bytes; keep what a saved bank can carry.
    xml::copyStorableText(name, kPresetNameChars, std::string_view(text, strnlen(text, 4096)));
}

void PresetSlot::swapWith(PresetSlot& other) {
    std::swap(name, other.name);
    for (int i = 0; i < param::kPresetCount; ++i) {
        const float mine = value(i);
        setValue(i, other.value(i));
        other.setValue(i, mine);
    }
}

void PresetBank::readPreset(const xmlNode* element, PresetSlot& slot, const BasePlugin& names) {
    if (!xml::isElement(element, "VorlatekPreset")) return;
    if (const auto name = xml::attribute(element, "name")) slot.setName(name->c_str());
    xml::forEachChildElement(element, [&](xmlNodePtr param) {
        if (!xml::isElement(param, "param")) return;
        std::string controlName;
        float value = 0.0f;
        xml::forEachAttribute(param, [&](std::string_view attr, const std::string& text) {
            if (attr == "name") controlName = text.substr(0, 255);
            else if (attr == "value") {
                if (auto v = xml::parseFloat(text)) value = *v;
            }
        });
        const int index = names.controlIndex(controlName);
        if (index >= 0 && index < param::kPresetCount && !std::isnan(value))
            slot.setValue(index, std::clamp(value, 0.0f, 1.0f));
    });
}

xmlNodePtr PresetBank::writePreset(const PresetSlot& slot, const BasePlugin& names) {
    xmlNodePtr element = xml::newElement("VorlatekPreset");
    xml::setAttribute(element, "name", slot.name);
    for (int i = 0; i < param::kPresetCount; ++i) {
        xmlNodePtr param = xml::addChildElement(element, "param");
        xml::setAttribute(param, "name", names.controlName(i));
        xml::setAttribute(param, "value", xml::formatFloat(slot.value(i)));
    }
    return element;
}

void PresetBank::readPresetBank(const xmlNode* element, const BasePlugin& names) {
    if (!xml::isElement(element, "VorlatekPresetBank")) return;
    for (PresetSlot& s : slots_) {
        s.setName("default");
        for (int i = 0; i < param::kPresetCount; ++i) s.setValue(i, names.declaredValue(i));
    }
    int next = 0;
    for (xmlNodePtr child = element->children; child && next < kPresetCount; child = child->next) {
        if (!xml::isElement(child, "VorlatekPreset")) continue;
        readPreset(child, slots_[static_cast<std::size_t>(next)], names);
        ++next;
    }
}

xmlNodePtr PresetBank::writePresetBank(const BasePlugin& names) const {
    xmlNodePtr element = xml::newElement("VorlatekPresetBank");
    for (const PresetSlot& s : slots_) xmlAddChild(element, writePreset(s, names));
    return element;
}

void PresetBank::swap(int a, int b) {
    if (!validIndex(a) || !validIndex(b)) return;
    slots_[static_cast<std::size_t>(a)].swapWith(slots_[static_cast<std::size_t>(b)]);
}

}  // namespace vorlatek
