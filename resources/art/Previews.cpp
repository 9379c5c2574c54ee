#include "resources/art/Previews.h"

#include "resources/art/Palette.h"
#include "resources/art/Renderer.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace vorlatek::art {

namespace {

// The state shown: what the panel looks like while editing the first factory pattern,
// "Rock" at 112 BPM, with the bass drum selected, playing, the running light on step 5.
struct PreviewState {
    std::map<std::string, double> values;
    std::map<std::string, int> forcedImage;
    std::map<std::string, std::string> texts;
};

struct Bank {
    std::vector<std::string> presetNames;
    std::map<std::string, double> firstKit;
};

Bank readPresetBank(const std::string& path) {
    Bank bank;
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    if (!doc) return bank;
    for (xmlNodePtr p = xmlDocGetRootElement(doc)->children; p; p = p->next) {
        if (p->type != XML_ELEMENT_NODE) continue;
        xmlChar* name = xmlGetProp(p, reinterpret_cast<const xmlChar*>("name"));
        bank.presetNames.push_back(name ? reinterpret_cast<const char*>(name) : "");
        xmlFree(name);
        if (bank.presetNames.size() > 1) continue;
        for (xmlNodePtr v = p->children; v; v = v->next) {
            if (v->type != XML_ELEMENT_NODE) continue;
            xmlChar* n = xmlGetProp(v, reinterpret_cast<const xmlChar*>("name"));
            xmlChar* value = xmlGetProp(v, reinterpret_cast<const xmlChar*>("value"));
            if (n && value) bank.firstKit[reinterpret_cast<const char*>(n)] = std::atof(reinterpret_cast<const char*>(value));
            xmlFree(n);
            xmlFree(value);
        }
    }
    xmlFreeDoc(doc);
    return bank;
}

PreviewState previewState(const Layout& layout, const Bank& bank) {
    PreviewState s;
    for (const LayoutControl& c : layout.controls()) {
        if (c.className == "CAnimKnob" && c.frames == 31) {
            const auto kit = bank.firstKit.find(c.name);
            if (kit != bank.firstKit.end()) s.values[c.name] = kit->second;
            else if (auto v = layout.parameterValue(c.name)) s.values[c.name] = *v;
        }
    }
    const char* codes[] = {"BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL", "RS",
                           "MA", "CP", "CB", "LG", "CY", "OH", "CH"};
    for (int i = 0; i < 17; ++i) s.values[std::string(codes[i]) + " Out Num"] = i * 0.0625 + 0.03125;
    for (const char* lit : {"Internal Seq State", "External Sync State", "Pattern Write Mode", "Pattern Variation A",
                            "Pattern Part 1", "Pattern Variation A Led", "Pattern Part 1 Led", "Pattern Prescale 3",
                            "BD Select", "BD Activity", "CH Activity", "AC Activity"})
        s.values[lit] = 1;
    for (int k = 1; k <= 16; ++k) s.values["Patt Len " + std::to_string(k)] = 1;
    const char* bassDrum = "o.......o.o.....";
    for (int k = 0; k < 16; ++k) s.values["Step " + std::to_string(k + 1)] = bassDrum[k] == 'o' ? 0.5 : 0;
    s.forcedImage["Step 5"] = 4;  // the running light on an empty step
    s.values["Pattern Num Digit 10"] = 1.0 / 17;
    s.values["Pattern Num Digit 1"] = 2.0 / 12;
    s.values["Tempo"] = (112.0 - 30) / 273;
    s.values["Tempo Digit 100"] = 0.5;
    s.values["Tempo Digit 10"] = 3.0 / 11;
    s.values["Tempo Digit 1"] = 4.0 / 11;
    s.values["Tempo Digit 01"] = 2.0 / 11;
    s.texts["Pattern Name"] = "Rock";
    s.texts["Preset Name"] = bank.presetNames.empty() ? "" : bank.presetNames[0];
    s.texts["Midi Learn Desc"] = "";
    // Windows.
    s.values["Preset Manager Page1"] = 1;
    s.values["Preset Manager Radio 00"] = 1;
    for (int k = 0; k < 32 && k < int(bank.presetNames.size()); ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "Preset Manager Edit %02d", k);
        s.texts[name] = bank.presetNames[std::size_t(k)];
    }
    for (const char* lit : {"Window Settings Int Seq Radio Sync With Host By Transport",
                            "Window Settings Int Seq Radio Int Seq State On", "Window Settings Int Seq Radio Int Sync State Off",
                            "Window Settings Int Seq Radio Host Mode State Off", "Window Settings Int Seq Radio Note Off State Off",
                            "Window Settings Outputs Checkbox Master Present", "Window Settings Outputs Radio Master Type Stereo",
                            "Window Settings Outputs Radio Instr Type Stereo", "Window Settings Outputs Checkbox Trigger Present",
                            "Window Settings Outputs Radio Trigger CowBell"})
        s.values[lit] = 1;
    s.texts["Window Settings Resources Edit Presets"] = "/home/musician/Vorlatek/My Kits.vpb";
    s.texts["About Label Version"] = "v.1.0.5";
    s.texts["About Label Plugin Path"] = "/home/musician/.vst/Vorlatek.so";
    return s;
}

int frameOf(const LayoutControl& c, double v, const PreviewState& s) {
    const int frames = Layout::framesOf(c);
    if (frames <= 1) return 0;
    v = std::clamp(v, 0.0, 1.0);
    if (c.className == "CAnimKnob") return int(std::floor(v * (frames - 1) + 1e-6));
    if (c.className == "CNStateButton") {
        const auto forced = s.forcedImage.find(c.name);
        if (forced != s.forcedImage.end()) return forced->second;
        const int states = c.realButton ? frames / 2 : frames;
        const int state = int(std::lround(v * (states - 1)));
        return c.realButton ? 2 * state : state;
    }
    if (c.className == "CKickButton" || c.className == "COnOffButton") return v > 0.5 ? 1 : 0;
    return int(std::lround(v * (frames - 1)));
}

// The preview's stand-in for the toolkit's fonts: DejaVu Sans at a size per font index.
double fontSize(const std::string& keyword) {
    static const std::map<std::string, double> sizes = {
        {"kSystemFont", 11},    {"kNormalFontVeryBig", 18}, {"kNormalFontBig", 14},     {"kNormalFont", 11},
        {"kNormalFontSmall", 9.5}, {"kNormalFontSmaller", 8.5}, {"kNormalFontVerySmall", 8}, {"kSymbolFont", 11}};
    const auto it = sizes.find(keyword);
    return it == sizes.end() ? 11 : it->second;
}

Rgb colorOf(const std::string& text, Rgb fallback) {
    if (text.size() != 7 || text[0] != '#') return fallback;
    return hex(std::uint32_t(std::strtoul(text.c_str() + 1, nullptr, 16)));
}

class Composer {
public:
    Composer(const Layout& layout, const std::vector<BitmapArt>& table, int scale)
        : layout_(layout), scale_(scale) {
        for (const BitmapArt& art : table) art_[art.id] = &art;
    }
    ~Composer() {
        for (auto& [id, surface] : cache_) cairo_surface_destroy(surface);
    }

    const BitmapArt* art(int id) const {
        const auto it = art_.find(id);
        return it == art_.end() ? nullptr : it->second;
    }

    // Draws frame `frame` of bitmap `id` with its top-left corner at (x, y).
    void blit(cairo_t* cr, int id, int frame, double x, double y, double w, double h) {
        const BitmapArt* a = art(id);
        if (!a) return;
        cairo_surface_t* strip = surface(*a);
        cairo_save(cr);
        cairo_rectangle(cr, x, y, w, h);
        cairo_clip(cr);
        cairo_translate(cr, x, y - double(frame) * a->height);
        cairo_scale(cr, 1.0 / scale_, 1.0 / scale_);
        cairo_set_source_surface(cr, strip, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }

    void control(cairo_t* cr, const LayoutControl& c, double ox, double oy, const PreviewState& s) {
        const double x = ox + c.x, y = oy + c.y;
        const auto value = s.values.find(c.name);
        const double v = value == s.values.end() ? 0 : value->second;
        const auto text = s.texts.find(c.name);
        if (c.className == "CBitmapDisplay") {
            const std::string t = text == s.texts.end() ? "" : text->second;
            const double cw = c.chars ? double(c.width) / c.chars : c.width;
            for (int k = 0; k < c.chars; ++k) {
                const int code = k < int(t.size()) ? static_cast<unsigned char>(t[std::size_t(k)]) : ' ';
                blit(cr, c.bitmap, std::clamp(code - 32, 0, c.fonts - 1), x + k * cw, y, cw, c.height);
            }
        } else if (c.className == "CTextLabel" || c.className == "CTextEdit") {
            if (!c.bgColor.empty()) {
                cairo_rectangle(cr, x, y, c.width, c.height);
                setColor(cr, colorOf(c.bgColor, Rgb{1, 1, 1}));
                cairo_fill(cr);
            }
            const std::string t = text == s.texts.end() ? c.text : text->second;
            const TextStyle style{Face::Sans, fontSize(c.font.empty() ? "kNormalFont" : c.font), 0, 1};
            const Rgb ink = colorOf(c.fontColor, Rgb{0, 0, 0});
            const double baseline = y + c.height / 2.0 + capHeight(style) / 2;
            cairo_save(cr);
            cairo_rectangle(cr, x, y, c.width, c.height);
            cairo_clip(cr);
            if (c.align == "kLeftText") drawText(cr, style, t, x + 2, baseline, Align::Left, ink);
            else if (c.align == "kRightText") drawText(cr, style, t, x + c.width - 2, baseline, Align::Right, ink);
            else drawText(cr, style, t, x + c.width / 2.0, baseline, Align::Center, ink);
            cairo_restore(cr);
        } else if (c.bitmap && c.className != "CViewContainer") {
            blit(cr, c.bitmap, frameOf(c, v, s), x, y, c.width, c.height);
        }
    }

private:
    cairo_surface_t* surface(const BitmapArt& a) {
        auto it = cache_.find(a.id);
        if (it == cache_.end()) it = cache_.emplace(a.id, renderBitmap(a, scale_)).first;
        return it->second;
    }

    const Layout& layout_;
    int scale_;
    std::map<int, const BitmapArt*> art_;
    std::map<int, cairo_surface_t*> cache_;
};

struct Window {
    const char* container;
    const char* prefix;
    const char* file;
};
const Window kWindows[] = {{"Preset Manager", "Preset Manager ", "window-preset-manager"},
                           {"Window Settings", "Window Settings ", "window-settings"},
                           {"About Window", "About ", "window-about"}};

bool inWindow(const LayoutControl& c) {
    for (const Window& w : kWindows)
        if (c.name == w.container || c.name.rfind(w.prefix, 0) == 0) return true;
    return false;
}

void savePicture(cairo_surface_t* surface, const std::string& path) { writeFile(path, pngBytes(surface)); }

void panelPicture(const std::string& directory, const Layout& layout, const std::vector<BitmapArt>& table,
                  const PreviewState& state, int scale, const Window* shown) {
    Composer composer(layout, table, scale);
    const BitmapArt* background = composer.art(100);
    if (!background) throw std::runtime_error("no background 100");
    const int w = background->width, h = background->height;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w * scale, h * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    composer.blit(cr, 100, 0, 0, 0, w, h);
    for (const LayoutControl& c : layout.controls())
        if (!inWindow(c)) composer.control(cr, c, 0, 0, state);
    // The option menus the editor makes on the top bar.
    composer.blit(cr, 800, 0, 369, 20, 31, 39);
    composer.blit(cr, 802, 0, 401, 20, 31, 39);
    std::string name = "panel";
    if (shown) {
        const LayoutControl* container = layout.find(shown->container);
        const BitmapArt* art = container ? composer.art(container->bitmap) : nullptr;
        if (art) {
            const int left = (w - art->width) / 2, top = (h - art->height) / 2;
            composer.blit(cr, art->id, 0, left, top, art->width, art->height);
            for (const LayoutControl& c : layout.controls())
                if (c.name.rfind(shown->prefix, 0) == 0) composer.control(cr, c, left, top, state);
            if (std::strcmp(shown->container, "Preset Manager") == 0) {
                composer.blit(cr, 804, 0, left + 7, top + 219, 47, 21);
                composer.blit(cr, 806, 0, left + 57, top + 219, 47, 21);
            }
        }
        name = shown->file;
    }
    cairo_destroy(cr);
    savePicture(surface, directory + "/" + name + (scale == 1 ? "" : "@2x") + ".png");
    cairo_surface_destroy(surface);
}

// Every bitmap but the backgrounds, frames side by side, at scale 2 so that details show.
// Bitmaps that look the same (the knobs of one family, the mute pads) share one tile.
void contactSheet(const std::string& directory, const Layout& layout, const std::vector<BitmapArt>& table) {
    constexpr int scale = 2, sheetWidth = 1200, margin = 10, labelHeight = 12;
    Composer composer(layout, table, scale);
    struct Tile {
        const BitmapArt* art;
        int columns, rows, w, h;
        std::string label;
    };
    std::vector<Tile> tiles;
    std::unordered_map<std::string, std::size_t> seen;  // image bytes to their tile
    for (const BitmapArt& a : table) {
        if (a.width >= 300) continue;
        cairo_surface_t* image = renderBitmap(a, 1);
        const std::vector<unsigned char> png = pngBytes(image);
        const auto [known, added] = seen.emplace(std::string(png.begin(), png.end()), tiles.size());
        cairo_surface_destroy(image);
        if (!added) {
            std::string& label = tiles[known->second].label;
            label += ' ';
            label += std::to_string(a.id);
            continue;
        }
        const int columns = std::max(1, std::min(a.frames, (sheetWidth - 2 * margin) / (a.width + 3)));
        const int rows = (a.frames + columns - 1) / columns;
        tiles.push_back({&a, columns, rows, std::max(columns * (a.width + 3), 110), rows * (a.height + 3) + labelHeight,
                         a.what + ": " + std::to_string(a.id)});
    }
    // Shelf packing: left to right, a new shelf when a tile does not fit.
    int x = margin, y = margin, shelf = 0;
    std::vector<std::pair<int, int>> places;
    for (const Tile& t : tiles) {
        if (x + t.w > sheetWidth - margin) {
            x = margin;
            y += shelf + margin;
            shelf = 0;
        }
        places.emplace_back(x, y);
        x += t.w + margin;
        shelf = std::max(shelf, t.h);
    }
    const int height = y + shelf + margin;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheetWidth * scale, height * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    cairo_rectangle(cr, 0, 0, sheetWidth, height);
    setColor(cr, hex(0x34373c));
    cairo_fill(cr);
    const TextStyle label{Face::Sans, 7, 0, 1};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const Tile& t = tiles[i];
        const auto [tx, ty] = places[i];
        std::string text = t.label;
        const double room = t.w;
        while (text.size() > 4 && textWidth(cr, label, text) > room) text.erase(text.size() - 4).append("...");
        drawText(cr, label, text, tx, ty + 8, Align::Left, palette::kPrint);
        for (int f = 0; f < t.art->frames; ++f) {
            const int fx = tx + (f % t.columns) * (t.art->width + 3), fy = ty + labelHeight + (f / t.columns) * (t.art->height + 3);
            cairo_rectangle(cr, fx, fy, t.art->width, t.art->height);
            setColor(cr, hex(0x25272b));
            cairo_fill(cr);
            composer.blit(cr, t.art->id, f, fx, fy, t.art->width, t.art->height);
        }
    }
    cairo_destroy(cr);
    savePicture(surface, directory + "/contact-sheet.png");
    cairo_surface_destroy(surface);
}

}  // namespace

void writePreviews(const std::string& directory, const Layout& layout, const std::vector<BitmapArt>& table,
                   const std::string& resources) {
    const PreviewState state = previewState(layout, readPresetBank(resources + "/presets.vpb"));
    for (int scale : {1, 2}) {
        panelPicture(directory, layout, table, state, scale, nullptr);
        for (const Window& w : kWindows) panelPicture(directory, layout, table, state, scale, &w);
    }
    contactSheet(directory, layout, table);
}

}  // namespace vorlatek::art
