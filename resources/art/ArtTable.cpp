#include "resources/art/ArtTable.h"

#include "resources/art/Backgrounds.h"
#include "resources/art/Palette.h"
#include "resources/art/PanelText.h"

#include <map>
#include <stdexcept>

namespace vorlatek::art {

using namespace palette;

namespace {

// Sizes of what the layout does not place: the backgrounds and the menus the editor makes.
constexpr int kPanelWidth = 900, kPanelHeight = 590;
constexpr int kPresetManagerWidth = 706, kPresetManagerHeight = 248;
constexpr int kSettingsWidth = 600, kSettingsHeight = 374;
constexpr int kAboutWidth = 400, kAboutHeight = 226;
constexpr int kPatternMenuWidth = 31, kPatternMenuHeight = 39;
constexpr int kPresetMenuWidth = 47, kPresetMenuHeight = 21;

// Bitmap ids of the per-instrument families, in instrument order (as in tools/gui_layout.py).
constexpr int kMuteIds[17] = {120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 136, 133, 134, 135};
constexpr int kSoloIds[17] = {140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 156, 153, 154, 155};
constexpr int kActivityIds[18] = {160, 161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 176, 173, 174, 175,
                                  177};
constexpr int kSelectIds[18] = {201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 217, 214, 215, 216,
                                200};
// Knobs per instrument (rows top down) and the level parameter's first row.
constexpr int kKnobRows[17] = {4, 4, 3, 3, 3, 4, 4, 4, 3, 3, 2, 3, 3, 4, 3, 3, 4};

// Glyphs of the pattern number digits, frame by frame.
constexpr const char* kPatternDigit01 = " -012345678";       // octave (host mode)
constexpr const char* kPatternDigit1 = " 0123456789# ";      // units, or the sharp of a note
constexpr const char* kPatternDigit10 = " 0123456789CDEFGAB"; // tens, or the note letter
constexpr const char* kPatternDigit100 = " 123n";             // 'n': the note sign of host mode
constexpr const char* kTempoDigit = " 0123456789";
constexpr const char* kTempoHundreds = " 123";

struct Table {
    std::vector<BitmapArt> rows;

    void add(int id, std::string what, DrawFrame draw, int w = 0, int h = 0, int frames = 0) {
        rows.push_back({id, std::move(what), std::move(draw), w, h, frames, false});
    }
    // A lamp of the dark panel: frame 0 dark, frame 1 lit.
    void addLamp(int id, std::string what, DrawFrame draw) {
        add(id, std::move(what), std::move(draw));
        rows.back().lamp = true;
    }
};

DrawFrame lamp(Rgb color, bool round) {
    return [=](cairo_t* cr, int f, Cell c) { round ? drawRoundLed(cr, c, color, f == 1) : drawBarLed(cr, c, color, f == 1); };
}

DrawFrame realButton(std::function<void(cairo_t*, Cell, bool lit, bool pressed)> draw) {
    return [=](cairo_t* cr, int f, Cell c) { draw(cr, c, f / 2 == 1, f % 2 == 1); };
}

DrawFrame kickButton(Icon icon, std::string legend = {}) {
    return [=](cairo_t* cr, int f, Cell c) { drawKickButton(cr, c, icon, legend, f == 1); };
}

DrawFrame windowButton(Icon icon, std::string text = {}) {
    return [=](cairo_t* cr, int f, Cell c) { drawWindowButton(cr, c, icon, text, false, f == 1); };
}

DrawFrame glyphs(const char* frames, void (*draw)(cairo_t*, Cell, char)) {
    return [=](cairo_t* cr, int f, Cell c) { draw(cr, c, frames[f]); };
}

DrawFrame knob(Rgb capColor) {
    return [=](cairo_t* cr, int f, Cell c) { drawKnob(cr, c, f / 30.0, capColor); };
}

void mainPanel(Table& t, const Layout& layout) {
    t.add(100, "main panel", [&layout](cairo_t* cr, int, Cell c) { drawPanelBackground(cr, layout, c.w, c.h); },
          kPanelWidth, kPanelHeight, 1);
    for (int i = 0; i < 17; ++i) {
        const InstrumentText& text = kInstrumentText[i];
        const std::string code = text.code;
        t.addLamp(kMuteIds[i], code + " mute",
              [](cairo_t* cr, int f, Cell c) { drawSquareLedButton(cr, c, kLedRed, f == 1, "M"); });
        t.addLamp(kSoloIds[i], code + " solo",
              [](cairo_t* cr, int f, Cell c) { drawSquareLedButton(cr, c, kLedAmber, f == 1, "S"); });
    }
    for (int i = 0; i < 18; ++i) {
        const InstrumentText& text = kInstrumentText[i];
        const std::string code = text.code;
        t.addLamp(kActivityIds[i], code + " name plate", [text](cairo_t* cr, int f, Cell c) {
            drawNamePlate(cr, c, text.plateTop, text.plateBottom, text.family, f == 1);
        });
        t.addLamp(i == 17 ? 180 : 181 + i, code + " random level", lamp(kLedBlue, false));
        t.addLamp(kSelectIds[i], code + " select", [text](cairo_t* cr, int f, Cell c) {
            drawSelectButton(cr, c, text.code, text.family, f == 1);
        });
    }
    t.add(300, "AC knob", knob(kFamilyAccent));
    for (int i = 0; i < 17; ++i)
        for (int row = 0; row < kKnobRows[i]; ++row)
            t.add(310 + 10 * i + row, std::string(kInstrumentText[i].code) + " knob", knob(kInstrumentText[i].family));

    auto mode = [](const std::string& legend) {
        return realButton([legend](cairo_t* cr, Cell c, bool lit, bool pressed) { drawModeButton(cr, c, legend, lit, pressed); });
    };
    t.add(500, "write", mode(""));
    t.add(501, "follow", mode(""));
    t.add(502, "random", mode(""));
    t.add(506, "last step", mode(""));
    t.add(503, "random undo", kickButton(Icon::Undo));
    t.add(504, "pattern prev", kickButton(Icon::Left));
    t.add(505, "pattern next", kickButton(Icon::Right));
    t.add(508, "shift left", kickButton(Icon::ShiftLeft));
    t.add(509, "shift right", kickButton(Icon::ShiftRight));
    t.add(510, "copy", kickButton(Icon::Copy));
    t.add(511, "paste", kickButton(Icon::Paste));
    t.add(512, "clear", kickButton(Icon::Clear));
    t.add(513, "pattern digit 01", glyphs(kPatternDigit01, drawBigDigit));
    t.add(514, "pattern digit 1", glyphs(kPatternDigit1, drawBigDigit));
    t.add(515, "pattern digit 10", glyphs(kPatternDigit10, drawBigDigit));
    t.add(516, "pattern digit 100", glyphs(kPatternDigit100, drawBigDigit));
    t.add(517, "pattern name font", [](cairo_t* cr, int f, Cell c) { drawDotGlyph(cr, c, 32 + f); });
    t.add(518, "variation A", mode("A"));
    t.add(519, "variation B", mode("B"));
    t.add(520, "part 1", mode("1"));
    t.add(521, "part 2", mode("2"));
    for (int k = 0; k < 16; ++k)
        t.add(550 + k, "step " + std::to_string(k + 1),
              [k](cairo_t* cr, int f, Cell c) { drawStepButton(cr, c, k, f / 2, f % 2 == 1); });
    t.add(600, "shuffle", knob(hex(0x8d9099)));
    t.add(601, "tempo", knob(kBrand));
    t.add(602, "master volume", knob(kFamilyAccent));
    t.add(603, "auto fill-in", [](cairo_t* cr, int f, Cell c) { drawSelector(cr, c, f, 6); });
    t.add(604, "start", kickButton(Icon::Play));
    t.add(605, "stop", kickButton(Icon::Stop));
    t.add(607, "tap", kickButton(Icon::None, "TAP"));
    t.add(609, "basic variation", [](cairo_t* cr, int f, Cell c) { drawSlideSwitch(cr, c, f, 3); });
    t.add(610, "fill-in variation", [](cairo_t* cr, int f, Cell c) { drawSlideSwitch(cr, c, f, 2); });
    for (int id = 611; id <= 614; ++id) t.addLamp(id, "playing part or variation", lamp(kLedGreen, true));
    for (int k = 0; k < 4; ++k) t.addLamp(616 + k, "prescale " + std::to_string(k + 1), lamp(kLedRed, true));
    t.add(700, "output number", [](cairo_t* cr, int f, Cell c) { drawOutputNumber(cr, c, f + 1); });
    t.add(701, "about", kickButton(Icon::Info));
    for (int id = 702; id <= 705; ++id)
        t.addLamp(id, "sequencer state", [](cairo_t* cr, int f, Cell c) { drawStateButton(cr, c, kLedGreen, f == 1); });
    t.addLamp(706, "midi learn", [](cairo_t* cr, int f, Cell c) { drawStateButton(cr, c, kLedRed, f == 1); });
    t.add(709, "previous preset", kickButton(Icon::Left));
    t.add(710, "next preset", kickButton(Icon::Right));
    t.add(711, "preset manager", kickButton(Icon::List));
    for (int k = 0; k < 3; ++k) t.add(750 + k, "tempo digit", glyphs(kTempoDigit, drawSmallDigit));
    t.add(753, "tempo hundreds", glyphs(kTempoHundreds, drawSmallDigit));
    for (int k = 0; k < 16; ++k) t.addLamp(760 + k, "length " + std::to_string(k + 1), lamp(kLedGreen, false));
    // Option menus the editor makes itself: an image, and another while the menu is open.
    for (int open = 0; open < 2; ++open) {
        t.add(800 + open, "load pattern menu", [open](cairo_t* cr, int, Cell c) {
            drawMenuButton(cr, c, Icon::Folder, "LOAD", open, false, false);
        }, kPatternMenuWidth, kPatternMenuHeight, 1);
        t.add(802 + open, "save pattern menu", [open](cairo_t* cr, int, Cell c) {
            drawMenuButton(cr, c, Icon::Disk, "SAVE", open, false, true);
        }, kPatternMenuWidth, kPatternMenuHeight, 1);
        t.add(804 + open, "load preset menu", [open](cairo_t* cr, int, Cell c) {
            drawMenuButton(cr, c, Icon::None, "LOAD", open, true, true);
        }, kPresetMenuWidth, kPresetMenuHeight, 1);
        t.add(806 + open, "save preset menu", [open](cairo_t* cr, int, Cell c) {
            drawMenuButton(cr, c, Icon::None, "SAVE", open, true, true);
        }, kPresetMenuWidth, kPresetMenuHeight, 1);
    }
}

void windows(Table& t, const Layout& layout) {
    t.add(10010, "preset manager",
          [&layout](cairo_t* cr, int, Cell c) { drawPresetManagerBackground(cr, layout, c.w, c.h); },
          kPresetManagerWidth, kPresetManagerHeight, 1);
    t.add(10011, "settings", [&layout](cairo_t* cr, int, Cell c) { drawSettingsBackground(cr, layout, c.w, c.h); },
          kSettingsWidth, kSettingsHeight, 1);
    t.add(10012, "about", [&layout](cairo_t* cr, int, Cell c) { drawAboutBackground(cr, layout, c.w, c.h); },
          kAboutWidth, kAboutHeight, 1);
    const char* captions[] = {"MONO", "STEREO", "COW BELL", "HAND CLAP", "ACCENT"};
    for (int k = 0; k < 5; ++k) {
        const std::string text = captions[k];
        t.add(10050 + k, "caption " + text, [text](cairo_t* cr, int, Cell c) { drawCardCaption(cr, c, text); });
    }
    t.add(10060, "load cc map", windowButton(Icon::None, "LOAD"));
    t.add(10061, "save cc map", windowButton(Icon::None, "SAVE"));
    t.add(11000, "close", windowButton(Icon::Close));
    t.add(11001, "previous", windowButton(Icon::Left));
    t.add(11003, "next", windowButton(Icon::Right));
    t.add(11010, "browse", windowButton(Icon::Ellipsis));
    t.add(11013, "ok", windowButton(Icon::None, "OK"));
    t.add(11014, "cancel", windowButton(Icon::None, "CANCEL"));
    t.add(11015, "reset", windowButton(Icon::None, "RESET"));
    t.add(11016, "set current", windowButton(Icon::None, "CURRENT"));
    t.add(11017, "settings", windowButton(Icon::None, "SETTINGS"));
    for (int k = 0; k < 4; ++k) {
        const std::string page = std::to_string(k + 1);
        t.add(11020 + k, "page " + page, [page](cairo_t* cr, int f, Cell c) {
            drawWindowButton(cr, c, Icon::None, page, f / 2 == 1, f % 2 == 1);
        });
    }
    t.add(11030, "radio button", [](cairo_t* cr, int f, Cell c) { drawRadio(cr, c, f == 1); });
    t.add(11031, "checkbox", [](cairo_t* cr, int f, Cell c) { drawCheckbox(cr, c, f == 1); });
}

}  // namespace

std::vector<BitmapArt> bitmapTable(const Layout& layout) {
    Table t;
    mainPanel(t, layout);
    windows(t, layout);
    std::map<int, BitmapArt*> byId;
    for (BitmapArt& art : t.rows) {
        if (!byId.emplace(art.id, &art).second) throw std::runtime_error("bitmap " + std::to_string(art.id) + " twice");
    }
    std::map<int, const LayoutControl*> sizedBy;
    for (const LayoutControl& c : layout.controls()) {
        const int frames = Layout::framesOf(c);
        if (frames == 0 || c.bitmap == 0) continue;
        const auto it = byId.find(c.bitmap);
        if (it == byId.end())
            throw std::runtime_error(c.name + " names bitmap " + std::to_string(c.bitmap) + ", which has no art");
        BitmapArt& art = *it->second;
        const int w = c.className == "CBitmapDisplay" && c.chars > 0 ? c.width / c.chars : c.width;
        if (art.frames == 0) {
            art.width = w;
            art.height = c.height;
            art.frames = frames;
            sizedBy[art.id] = &c;
        } else if (art.width != w || art.height != c.height || art.frames != frames) {
            const auto first = sizedBy.find(art.id);
            throw std::runtime_error(c.name + " and " + (first == sizedBy.end() ? "its table entry" : first->second->name) +
                                     " disagree on the size of bitmap " + std::to_string(art.id));
        }
    }
    for (const BitmapArt& art : t.rows)
        if (art.frames == 0) throw std::runtime_error("bitmap " + std::to_string(art.id) + " is used by no control");
    return t.rows;
}

}  // namespace vorlatek::art
