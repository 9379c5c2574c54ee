#include "resources/art/Layout.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace vorlatek::art {

namespace {

std::string attribute(xmlNodePtr node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value) return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

int number(xmlNodePtr node, const char* name) { return std::atoi(attribute(node, name).c_str()); }

bool named(xmlNodePtr node, const char* name) {
    return node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

}  // namespace

Layout Layout::read(const std::string& settingsPath) {
    xmlDocPtr doc = xmlReadFile(settingsPath.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    if (!doc) throw std::runtime_error("cannot read " + settingsPath);
    Layout layout;
    for (xmlNodePtr section = xmlDocGetRootElement(doc)->children; section; section = section->next) {
        if (named(section, "VSTParameters")) {
            for (xmlNodePtr p = section->children; p; p = p->next)
                if (named(p, "param")) layout.parameters_[attribute(p, "name")] = std::atof(attribute(p, "value").c_str());
        }
        if (!named(section, "GUI")) continue;
        const int offsetX = number(section, "offsetX"), offsetY = number(section, "offsetY");
        for (xmlNodePtr n = section->children; n; n = n->next) {
            if (!named(n, "control")) continue;
            LayoutControl c;
            c.name = attribute(n, "name");
            c.className = attribute(n, "class");
            c.x = number(n, "posX") + number(n, "ofsX") + offsetX;
            c.y = number(n, "posY") + number(n, "ofsY") + offsetY;
            c.width = number(n, "width");
            c.height = number(n, "height");
            c.bitmap = number(n, "resID");
            c.frames = number(n, "frames");
            c.chars = number(n, "chars");
            c.fonts = number(n, "fonts");
            c.realButton = attribute(n, "realButton") != "false";
            c.text = attribute(n, "text");
            c.font = attribute(n, "font");
            c.fontColor = attribute(n, "fontcolor");
            c.bgColor = attribute(n, "bgcolor");
            c.align = attribute(n, "align");
            const auto known = layout.byName_.find(c.name);
            if (known != layout.byName_.end()) {
                layout.controls_.erase(layout.controls_.begin() + static_cast<long>(known->second));
                layout.byName_.clear();
                for (std::size_t i = 0; i < layout.controls_.size(); ++i) layout.byName_[layout.controls_[i].name] = i;
            }
            layout.byName_[c.name] = layout.controls_.size();
            layout.controls_.push_back(std::move(c));
        }
    }
    xmlFreeDoc(doc);
    return layout;
}

const LayoutControl* Layout::find(const std::string& name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : &controls_[it->second];
}

std::optional<double> Layout::parameterValue(const std::string& name) const {
    const auto it = parameters_.find(name);
    if (it == parameters_.end()) return std::nullopt;
    return it->second;
}

int Layout::framesOf(const LayoutControl& c) {
    if (c.className == "CKickButton" || c.className == "COnOffButton") return 2;
    if (c.className == "CBitmapDisplay") return c.fonts;
    if (c.className == "CTextLabel" || c.className == "CTextEdit" || c.className == "CViewContainer") return 0;
    return c.frames;
}

}  // namespace vorlatek::art
