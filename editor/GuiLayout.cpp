#include "editor/GuiLayout.h"

#include <algorithm>
#include <cctype>

#include "plugin/ControlRegistry.h"
#include "plugin/ModuleServices.h"
#include "sequencer/XmlDocument.h"

namespace vorlatek::editor {

namespace {

struct ClassName {
    const char* text;
    ControlClass kind;
};

constexpr ClassName kClassNames[] = {
    {"CViewContainer", ControlClass::ViewContainer},   {"COnOffButton", ControlClass::OnOffButton},
    {"CKickButton", ControlClass::KickButton},         {"CNStateButton", ControlClass::NStateButton},
    {"CAnimKnob", ControlClass::AnimKnob},             {"CVerticalSwitch", ControlClass::VerticalSwitch},
    {"CHorizontalSwitch", ControlClass::HorizontalSwitch}, {"CMovieBitmap", ControlClass::MovieBitmap},
    {"CExMovieBitmap", ControlClass::ExMovieBitmap},   {"CBitmapDisplay", ControlClass::BitmapDisplay},
    {"CTextLabel", ControlClass::TextLabel},           {"CTextEdit", ControlClass::TextEdit},
};

struct Keyword {
    const char* text;
    int value;
};

constexpr Keyword kFonts[] = {
    {"kSystemFont", 0},        {"kNormalFontVeryBig", 1}, {"kNormalFontBig", 2},       {"kNormalFont", 3},
    {"kNormalFontSmall", 4},   {"kNormalFontSmaller", 5}, {"kNormalFontVerySmall", 6}, {"kSymbolFont", 7},
};

constexpr Keyword kAlignments[] = {{"kLeftText", 0}, {"kCenterText", 1}, {"kRightText", 2}};

template <std::size_t N>
void readKeyword(const Keyword (&table)[N], std::string_view text, int& value) {
    for (const Keyword& k : table)
        if (text == k.text) value = k.value;
}

std::string cut(std::string_view text, std::size_t max) { return std::string(text.substr(0, max)); }

}  // namespace

bool parseControlClass(std::string_view text, ControlClass& result) {
    for (const ClassName& c : kClassNames) {
        if (text == c.text) {
            result = c.kind;
            return true;
        }
    }
    return false;
}

int layoutNumber(std::string_view text) {
    const std::optional<int> n = xml::parseInt(text);
    return n ? std::clamp(*n, -kMaxCoordinate, kMaxCoordinate) : 0;
}

bool parseLayoutColor(std::string_view text, toolkit::Color& color) {
    if (text.size() < 7 || text[0] != '#') return false;
    unsigned v = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(c)) return false;
        v = v * 16 + unsigned(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    color = toolkit::Color{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), 255};
    return true;
}

void GuiLayout::read(const xmlNode* root, const ControlRegistry& registry) {
    xml::forEachChildElement(root, [&](const xmlNode* section) {
        if (!xml::isElement(section, "GUI")) return;
        toolkit::Point offset;
        xml::forEachAttribute(section, [&](std::string_view name, const std::string& value) {
            if (name == "offsetX") offset.x = layoutNumber(value);
            if (name == "offsetY") offset.y = layoutNumber(value);
        });
        xml::forEachChildElement(section, [&](const xmlNode* control) {
            if (xml::isElement(control, "control")) readControl(control, offset, registry);
        });
    });
}

void GuiLayout::readControl(const xmlNode* control, toolkit::Point sectionOffset, const ControlRegistry& registry) {
    LayoutEntry entry;
    bool knownClass = false;
    bool tagGiven = false;
    int x = 0, y = 0, width = 0, height = 0;
    xml::forEachAttribute(control, [&](std::string_view name, const std::string& value) {
        if (name == "name") entry.name = cut(value, LayoutEntry::kMaxName);
        else if (name == "class") knownClass = parseControlClass(value, entry.kind);
        else if (name == "param") {
            entry.tag = layoutNumber(value);
            tagGiven = true;
        } else if (name == "posX" || name == "ofsX") x += layoutNumber(value);
        else if (name == "posY" || name == "ofsY") y += layoutNumber(value);
        else if (name == "width") width = layoutNumber(value);
        else if (name == "height") height = layoutNumber(value);
        else if (name == "resID") entry.bitmapId = layoutNumber(value);
        else if (name == "frames") entry.frames = layoutNumber(value);
    });
    if (!knownClass) return;

    // The class-specific attributes, once the class is known, whatever their order.
    xml::forEachAttribute(control, [&](std::string_view name, const std::string& value) {
        switch (entry.kind) {
            case ControlClass::NStateButton:
                if (name == "realButton") entry.realButton = value != "false";
                if (name == "mode" && value == "onRelease") entry.onRelease = true;
                if (name == "mode" && value == "onPress") entry.onRelease = false;
                break;
            case ControlClass::BitmapDisplay:
                if (name == "chars") entry.chars = layoutNumber(value);
                if (name == "fonts") entry.glyphs = layoutNumber(value);
                break;
            case ControlClass::TextLabel:
            case ControlClass::TextEdit:
                if (name == "text") entry.text = cut(value, LayoutEntry::kMaxText);
                if (name == "font") readKeyword(kFonts, value, entry.font);
                if (name == "fontcolor") parseLayoutColor(value, entry.fontColor);
                if (name == "bgcolor") parseLayoutColor(value, entry.backColor);
                if (name == "align") readKeyword(kAlignments, value, entry.align);
                break;
            default:
                break;
        }
    });
    if (entry.kind == ControlClass::NStateButton) entry.states = entry.realButton ? entry.frames / 2 : entry.frames;
    if (entry.kind == ControlClass::TextLabel) entry.tag = -1;  // a label reports nothing
    else if (!tagGiven) entry.tag = registry.controlIndex(entry.name);
    entry.rect = toolkit::Rect::fromSize(x + sectionOffset.x, y + sectionOffset.y, width, height);
    entries_.insert_or_assign(entry.name, std::move(entry));
}

GuiLayout GuiLayout::builtIn(const ControlRegistry& registry) {
    GuiLayout layout;
    if (const auto settings = findResource("xml", "settings")) {
        const xml::Document document = xml::Document::parseMemory(settings->data, settings->size);
        if (document) layout.read(document.root(), registry);
    }
    return layout;
}

const LayoutEntry* GuiLayout::find(std::string_view name) const {
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace vorlatek::editor
