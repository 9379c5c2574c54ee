#include "resources/art/Backgrounds.h"

#include "resources/art/Palette.h"
#include "resources/art/PanelText.h"
#include "resources/art/Widgets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace vorlatek::art {

using namespace palette;

namespace {

const TextStyle kSilkscreen{Face::SansBold, 6.6, 0.9, 0.92};
const TextStyle kSmallPrint{Face::SansBold, 6.0, 0.7, 0.9};
const TextStyle kCardText{Face::SansBold, 7.2, 0.6, 0.92};
const TextStyle kCardTitle{Face::SansBold, 9.5, 2.2, 0.95};

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
};

Box boxOf(const LayoutControl& c) { return {double(c.x), double(c.y), double(c.width), double(c.height)}; }

bool spanOf(const Layout& layout, const Caption& caption, Box& box) {
    const LayoutControl* first = layout.find(caption.first);
    if (!first) return false;
    box = boxOf(*first);
    if (caption.last) {
        const LayoutControl* last = layout.find(caption.last);
        if (!last) return false;
        const Box b = boxOf(*last);
        const double x0 = std::min(box.x, b.x), y0 = std::min(box.y, b.y);
        box = {x0, y0, std::max(box.right(), b.right()) - x0, std::max(box.bottom(), b.bottom()) - y0};
    }
    return true;
}

void printCaption(cairo_t* cr, const Caption& caption, const Box& b, const TextStyle& style, Rgb ink,
                  double margin) {
    const double ch = capHeight(style);
    switch (caption.place) {
    case Place::Below:
        drawText(cr, style, caption.text, b.x + b.w / 2, b.bottom() + 2.5 + ch, Align::Center, ink);
        break;
    case Place::Above: {
        // Lines split at '\n', the last one just above the control.
        std::string text = caption.text;
        double baseline = b.y - 3.5;
        for (auto cut = text.rfind('\n'); cut != std::string::npos; cut = text.rfind('\n')) {
            drawText(cr, style, text.substr(cut + 1), b.x + b.w / 2, baseline, Align::Center, ink);
            text.erase(cut);
            baseline -= ch + 2.8;
        }
        drawText(cr, style, text, b.x + b.w / 2, baseline, Align::Center, ink);
        break;
    }
    case Place::Left:
        drawText(cr, style, caption.text, b.x - 6, b.y + b.h / 2 + ch / 2, Align::Right, ink);
        break;
    case Place::Right:
        drawText(cr, style, caption.text, b.right() + 5, b.y + b.h / 2 + ch / 2, Align::Left, ink);
        break;
    case Place::Margin:
        drawText(cr, style, caption.text, margin, b.y + b.h / 2 + ch / 2, Align::Left, ink);
        break;
    }
}

// Prints the captions of the controls whose names begin with `prefix` (one window's).
void printCaptions(cairo_t* cr, const Layout& layout, const Caption* captions, std::size_t count,
                   const TextStyle& style, Rgb ink, const std::string& prefix = {}, double margin = 14) {
    for (std::size_t i = 0; i < count; ++i) {
        if (std::strncmp(captions[i].first, prefix.c_str(), prefix.size()) != 0) continue;
        Box b;
        if (spanOf(layout, captions[i], b)) printCaption(cr, captions[i], b, style, ink, margin);
    }
}

void screw(cairo_t* cr, double cx, double cy) {
    cairo_arc(cr, cx, cy + 0.6, 3.6, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - 3, cy - 3, cx + 3, cy + 3);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.62, 0.63, 0.66);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.22, 0.23, 0.25);
    cairo_arc(cr, cx, cy, 3.3, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_move_to(cr, cx - 2.2, cy + 0.9);
    cairo_line_to(cr, cx + 2.2, cy - 0.9);
    cairo_set_line_width(cr, 0.9);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_stroke(cr);
}

// A recessed area of the panel.
void well(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom) {
    roundedRect(cr, x, y, w, h, 4);
    fillVertical(cr, y, y + h, top, bottom);
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 3.5);
    cairo_set_line_width(cr, 1);
    setColor(cr, kEdgeDark, 0.8);
    cairo_stroke(cr);
    cairo_move_to(cr, x + 4, y + h - 0.5);
    cairo_line_to(cr, x + w - 4, y + h - 0.5);
    setColor(cr, kEdgeLight, 0.35);
    cairo_stroke(cr);
}

void knobScale(cairo_t* cr, const LayoutControl& c, int marks) {
    const double cx = c.x + c.width / 2.0, cy = c.y + c.height / 2.0;
    const double r = std::min(c.width, c.height) / 2.0 - 1.2;
    for (int k = 0; k < marks; ++k) {
        const double a = knobAngle(double(k) / (marks - 1));
        const bool end = k == 0 || k == marks - 1 || k == marks / 2;
        cairo_arc(cr, cx + std::sin(a) * r, cy - std::cos(a) * r, end ? 0.95 : 0.7, 0, 2 * M_PI);
        setColor(cr, kPrint, end ? 0.85 : 0.55);
        cairo_fill(cr);
    }
}

void selectorLegends(cairo_t* cr, const LayoutControl& c, const char* const* legends, int count) {
    const double cx = c.x + c.width / 2.0, cy = c.y + c.height / 2.0;
    const double r = std::min(c.width, c.height) / 2.0 + 5.5;
    for (int k = 0; k < count; ++k) {
        const double a = selectorAngle(k, count);
        const double x = cx + std::sin(a) * r, y = cy - std::cos(a) * r;
        const double tw = textWidth(cr, kSmallPrint, legends[k]);
        const double dx = std::sin(a) * tw / 2;
        drawText(cr, kSmallPrint, legends[k], x + dx, y + capHeight(kSmallPrint) / 2, Align::Center, kPrint, 0.9);
        cairo_arc(cr, cx + std::sin(a) * (r - 6.5), cy - std::cos(a) * (r - 6.5), 0.8, 0, 2 * M_PI);
        setColor(cr, kPrint, 0.8);
        cairo_fill(cr);
    }
}

void switchLegends(cairo_t* cr, const LayoutControl& c, const char* const* legends, int count) {
    const double hw = 14, travel = c.width - 4 - hw - 2;
    for (int k = 0; k < count; ++k) {
        const double x = c.x + 3 + hw / 2 + travel * (count > 1 ? double(k) / (count - 1) : 0);
        drawText(cr, kSmallPrint, legends[k], x, c.y - 3, Align::Center, kPrint, 0.9);
    }
}

void logo(cairo_t* cr, double x, double baseline, double size, Rgb ink) {
    const TextStyle word{Face::SansBold, size, size * 0.16, 1.04};
    drawText(cr, word, "VORLATEK", x, baseline, Align::Left, ink);
    // The brand mark: three rising bars, like a level meter on a beat.
    const double bw = size * 0.16, gap = size * 0.09;
    double bx = x + textWidth(cr, word, "VORLATEK") + size * 0.35;
    for (int k = 0; k < 3; ++k) {
        const double bh = size * (0.35 + 0.2 * k);
        cairo_rectangle(cr, bx, baseline - bh, bw, bh);
        setColor(cr, kBrand, 1.0 - 0.2 * (2 - k));
        cairo_fill(cr);
        bx += bw + gap;
    }
}

void cardWindow(cairo_t* cr, double w, double h, const char* title) {
    // Card with a graphite title band and an orange rule under it.
    roundedRect(cr, 0, 0, w, h, 6);
    setColor(cr, hex(0x0d0e10));
    cairo_fill(cr);
    roundedRect(cr, 1, 1, w - 2, h - 2, 5);
    fillVertical(cr, 0, h, kCard, kCardLow);
    cairo_save(cr);
    roundedRect(cr, 1, 1, w - 2, h - 2, 5);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 0, w, 32);
    fillVertical(cr, 0, 32, hex(0x2c2f35), hex(0x1a1b1f));
    cairo_rectangle(cr, 0, 32, w, 2);
    setColor(cr, kBrand);
    cairo_fill(cr);
    cairo_restore(cr);
    drawText(cr, kCardTitle, title, 14, 16 + capHeight(kCardTitle) / 2, Align::Left, kPrint);
}

void cardRule(cairo_t* cr, double y, double w, const char* title) {
    const double tw = textWidth(cr, kCardText, title);
    drawText(cr, kCardText, title, 14, y + capHeight(kCardText) / 2, Align::Left, kBrand);
    cairo_move_to(cr, 14 + tw + 8, y + 0.5);
    cairo_line_to(cr, w - 14, y + 0.5);
    cairo_set_line_width(cr, 1);
    setColor(cr, kInkDim, 0.45);
    cairo_stroke(cr);
}

// A light inset field under a text control.
void field(cairo_t* cr, const LayoutControl& c) {
    roundedRect(cr, c.x - 1.5, c.y - 1.5, c.width + 3, c.height + 3, 2.5);
    setColor(cr, kField);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    setColor(cr, kInkDim, 0.5);
    cairo_stroke(cr);
}

// A rule from the left of one control to the right of another, a legend in its middle and
// short ends turned down.
void rangeLegend(cairo_t* cr, const Layout& layout, const char* first, const char* last, const char* text) {
    const LayoutControl* a = layout.find(first);
    const LayoutControl* b = layout.find(last);
    if (!a || !b) return;
    const double x0 = a->x - 6, x1 = b->x + b->width + 6, y = a->y - 5.5, mid = (x0 + x1) / 2;
    const double half = textWidth(cr, kSmallPrint, text) / 2 + 5;
    cairo_move_to(cr, x0, y + 3);
    cairo_line_to(cr, x0, y);
    cairo_line_to(cr, mid - half, y);
    cairo_move_to(cr, mid + half, y);
    cairo_line_to(cr, x1, y);
    cairo_line_to(cr, x1, y + 3);
    cairo_set_line_width(cr, 1);
    setColor(cr, kPrintDim, 0.8);
    cairo_stroke(cr);
    drawText(cr, kSmallPrint, text, mid, y + capHeight(kSmallPrint) / 2, Align::Center, kPrint);
}

// A well around a group of the sequencer's controls, from the deck's top to the row over
// the steps, with the group's title set into its upper edge.
void groupWell(cairo_t* cr, const Layout& layout, std::initializer_list<const char*> names, double pad,
               const char* title) {
    double x0 = 1e9, x1 = -1e9;
    for (const char* name : names) {
        if (const LayoutControl* c = layout.find(name)) {
            x0 = std::min(x0, double(c->x));
            x1 = std::max(x1, double(c->x + c->width));
        }
    }
    if (x0 > x1) return;
    const double y0 = 336, y1 = 477;
    x0 -= pad;
    x1 += pad;
    well(cr, x0, y0, x1 - x0, y1 - y0, shade(kSeqDeck, 0.03), shade(kSeqDeckLow, 0.02));
    if (!title) return;
    const double tw = textWidth(cr, kSilkscreen, title);
    cairo_rectangle(cr, x0 + 7, y0 - 1, tw + 8, 3);
    setColor(cr, kSeqDeck);
    cairo_fill(cr);
    drawText(cr, kSilkscreen, title, x0 + 11, y0 + capHeight(kSilkscreen) / 2, Align::Left, kBrand);
}

}  // namespace

void drawPanelBackground(cairo_t* cr, const Layout& layout, double w, double h) {
    const double topBar = 62, deckEnd = 332;
    // Body.
    cairo_rectangle(cr, 0, 0, w, h);
    setColor(cr, hex(0x0b0c0e));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, w, topBar);
    fillVertical(cr, 0, topBar, kTopBar, kTopBarLow);
    cairo_rectangle(cr, 0, topBar, w, deckEnd - topBar);
    fillVertical(cr, topBar, deckEnd, kDeck, kDeckLow);
    cairo_rectangle(cr, 0, deckEnd, w, h - deckEnd);
    fillVertical(cr, deckEnd, h, kSeqDeck, kSeqDeckLow);
    for (double y : {topBar, deckEnd}) {
        cairo_rectangle(cr, 0, y, w, 1);
        setColor(cr, kEdgeDark);
        cairo_fill(cr);
        cairo_rectangle(cr, 0, y + 1, w, 1);
        setColor(cr, kEdgeLight, 0.45);
        cairo_fill(cr);
    }
    // Orange rule along the top edge.
    cairo_rectangle(cr, 0, 0, w, 2);
    setColor(cr, kBrand);
    cairo_fill(cr);
    for (double x : {8.0, w - 8}) {
        screw(cr, x, 11);
        screw(cr, x, h - 9);
    }

    // Instrument deck: a well per family, with the family colour along its top.
    struct Span {
        int first, last;  // panel columns, -1 the accent
    };
    const Span families[] = {{-1, -1}, {0, 1}, {2, 4}, {5, 7}, {8, 12}, {13, 13}, {14, 16}};
    auto plate = [&](int column) -> const LayoutControl* {
        const char* code = column < 0 ? "AC" : kInstrumentText[column].code;
        return layout.find(std::string(code) + " Activity");
    };
    for (const Span& s : families) {
        const LayoutControl* a = plate(s.first);
        const LayoutControl* b = plate(s.last);
        if (!a || !b) continue;
        const double x0 = a->x - 1, x1 = b->x + b->width + 1;
        well(cr, x0, topBar + 4, x1 - x0, deckEnd - topBar - 7, shade(kDeck, 0.04), shade(kDeckLow, -0.05));
        const InstrumentText& t = kInstrumentText[s.first < 0 ? 17 : s.first];
        roundedRect(cr, x0 + 3, topBar + 4, x1 - x0 - 6, 2, 1);
        setColor(cr, t.family, 0.9);
        cairo_fill(cr);
    }
    // The sequencer's groups.
    groupWell(cr, layout, {"Shuffle", "Tempo", "Measures Auto Fill In", "Pattern Prescale 1", "Tempo Digit 100"}, 18, "TEMPO");
    groupWell(cr, layout, {"Pattern Num Digit 100", "Pattern Num Digit 01", "Pattern Prev", "Pattern Next"}, 10, nullptr);
    groupWell(cr, layout, {"Pattern Variation A", "Pattern Part 2", "Basic Variation", "Intro FillIn Variation"}, 8, "PLAY");
    groupWell(cr, layout, {"Pattern Write Mode", "Pattern Clear", "Pattern Rand Undo"}, 8, "EDIT");
    // Top bar: name, display glass, captions.
    logo(cr, 22, 36, 25, kPrint);
    drawText(cr, TextStyle{Face::SansBold, 6.2, 1.9, 0.95}, "ANALOGUE PERCUSSION SYNTHESIZER", 23, 50, Align::Left,
             kPrintDim);
    if (const LayoutControl* name = layout.find("Preset Name")) {
        const LayoutControl* desc = layout.find("Midi Learn Desc");
        const double bottom = desc ? desc->y + desc->height : name->y + name->height;
        drawGlass(cr, name->x - 6, name->y - 4, name->width + 12, bottom - name->y + 8);
    }
    if (const LayoutControl* a = layout.find("Pattern Num Digit 100")) {
        const LayoutControl* n = layout.find("Pattern Name");
        const double right = n ? std::max(n->x + n->width, a->x + 108) : a->x + 108;
        const double bottom = n ? n->y + n->height : a->y + a->height;
        drawGlass(cr, a->x - 8, a->y - 1, right - a->x + 16, bottom - a->y + 5);
    }
    if (const LayoutControl* hundreds = layout.find("Tempo Digit 100")) {
        const LayoutControl* tenths = layout.find("Tempo Digit 01");
        const double right = tenths ? tenths->x + tenths->width : hundreds->x + 36;
        drawGlass(cr, hundreds->x - 4, hundreds->y - 3, right - hundreds->x + 8, hundreds->height + 6);
        if (tenths) {
            cairo_rectangle(cr, tenths->x - 0.8, tenths->y + tenths->height - 2.8, 1.4, 1.4);
            setColor(cr, kSegmentOn);
            cairo_fill(cr);
            drawText(cr, kSilkscreen, "BPM", right + 8, tenths->y + tenths->height / 2.0 + capHeight(kSilkscreen) / 2,
                     Align::Left, kPrint);
        }
    }
    // The pattern menus are made by the editor itself, not the layout.
    drawText(cr, kSilkscreen, "PATTERN", 401, 16, Align::Center, kPrint);

    if (const LayoutControl* out = layout.find("BD Out Num")) {
        if (const LayoutControl* ac = plate(-1))
            drawText(cr, kSmallPrint, "OUT", ac->x + ac->width / 2.0, out->y + out->height / 2.0 + capHeight(kSmallPrint) / 2,
                     Align::Center, kPrintDim);
    }
    if (const LayoutControl* mute = layout.find("BD Mute")) {
        if (const LayoutControl* ac = plate(-1))
            drawText(cr, kSmallPrint, "M / S", ac->x + ac->width / 2.0,
                     mute->y + mute->height / 2.0 + capHeight(kSmallPrint) / 2 - 1, Align::Center, kPrintDim);
    }

    // Knobs: scales and captions.
    for (const LayoutControl& c : layout.controls()) {
        if (c.className != "CAnimKnob") continue;
        if (c.frames == 31) knobScale(cr, c, 11);
        if (c.frames == 31 && c.y > topBar && c.y < deckEnd) {
            const std::string caption = knobCaption(c.name);
            drawText(cr, kSilkscreen, caption, c.x + c.width / 2.0, c.y + c.height + 1.5 + capHeight(kSilkscreen),
                     Align::Center, kPrint);
        }
    }
    if (const LayoutControl* fill = layout.find("Measures Auto Fill In"))
        selectorLegends(cr, *fill, kFillInLegends, 6);
    if (const LayoutControl* s = layout.find("Basic Variation")) switchLegends(cr, *s, kBasicVariationLegends, 3);
    if (const LayoutControl* s = layout.find("Intro FillIn Variation")) switchLegends(cr, *s, kFillInVariationLegends, 2);
    for (int k = 0; k < 4; ++k) {
        if (const LayoutControl* p = layout.find("Pattern Prescale " + std::to_string(k + 1)))
            drawText(cr, kSilkscreen, kPrescaleLegends[k], p->x + p->width / 2.0, p->y + p->height + 2 + capHeight(kSilkscreen),
                     Align::Center, kPrint);
    }
    // What the step buttons choose in play mode, on rules over the length LEDs.
    rangeLegend(cr, layout, "Patt Len 1", "Patt Len 12", "BASIC PATTERNS");
    rangeLegend(cr, layout, "Patt Len 13", "Patt Len 16", "INTRO / FILL-IN");
    printCaptions(cr, layout, kPanelCaptions, kPanelCaptionCount, kSilkscreen, kPrint);
}

void drawPresetManagerBackground(cairo_t* cr, const Layout& layout, double w, double h) {
    cardWindow(cr, w, h, "PRESET MANAGER");
    for (const LayoutControl& c : layout.controls())
        if (c.name.rfind("Preset Manager Edit ", 0) == 0) field(cr, c);
    // Column rules between the four columns of eight.
    for (int column = 1; column < 4; ++column) {
        const LayoutControl* radio = layout.find("Preset Manager Radio " + std::string(column * 8 < 10 ? "0" : "") +
                                                 std::to_string(column * 8));
        if (!radio) continue;
        cairo_move_to(cr, radio->x - 5.5, 40);
        cairo_line_to(cr, radio->x - 5.5, 206);
        cairo_set_line_width(cr, 1);
        setColor(cr, kInkDim, 0.25);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 8, 212.5);
    cairo_line_to(cr, w - 8, 212.5);
    cairo_set_line_width(cr, 1);
    setColor(cr, kInkDim, 0.35);
    cairo_stroke(cr);
    printCaptions(cr, layout, kWindowCaptions, kWindowCaptionCount, kCardText, kInk, "Preset Manager ");
}

void drawSettingsBackground(cairo_t* cr, const Layout& layout, double w, double h) {
    cardWindow(cr, w, h, "SETTINGS");
    // The groups' rules, over the first row of each (rows start a few pixels into a group).
    const struct {
        const char* first;
        const char* title;
    } groups[] = {{"Window Settings Button Browse Presets", "DEFAULT BANKS"},
                  {"Window Settings Outputs Checkbox Master Present", "OUTPUTS"},
                  {"Window Settings Int Seq Radio Sync With Host By Transport", "SEQUENCER DEFAULTS"}};
    for (const auto& g : groups)
        if (const LayoutControl* c = layout.find(g.first)) cardRule(cr, c->y - 8, w, g.title);
    for (const LayoutControl& c : layout.controls()) {
        if (c.className == "CTextEdit" && c.name.rfind("Window Settings", 0) == 0) field(cr, c);
        if (c.name.rfind("Window Settings Outputs Label Assigns ", 0) == 0) {
            field(cr, c);
            const int index = std::atoi(c.name.c_str() + c.name.size() - 2);
            if (index >= 0 && index < 17)
                drawText(cr, kSmallPrint, kInstrumentText[index].code, c.x + c.width / 2.0, c.y - 4, Align::Center, kInk);
        }
    }
    printCaptions(cr, layout, kWindowCaptions, kWindowCaptionCount, kCardText, kInk, "Window Settings ");
}

void drawAboutBackground(cairo_t* cr, const Layout& layout, double w, double h) {
    cardWindow(cr, w, h, "ABOUT");
    logo(cr, 24, 82, 30, kInk);
    drawText(cr, TextStyle{Face::SansBold, 7, 1.9, 0.95}, "ANALOGUE PERCUSSION SYNTHESIZER", 25, 98, Align::Left,
             kInkDim);
    const TextStyle body{Face::Sans, 7.5, 0.2, 1};
    drawText(cr, body, "Seventeen voices synthesised sample by sample, a step sequencer,", 24, 182, Align::Left, kInk);
    drawText(cr, body, "presets and patterns. A VST 2.4 instrument for Linux.", 24, 193, Align::Left, kInk);
    for (const LayoutControl& c : layout.controls())
        if (c.name.rfind("About Label ", 0) == 0) field(cr, c);
    printCaptions(cr, layout, kWindowCaptions, kWindowCaptionCount, kCardText, kInk, "About ");
}

}  // namespace vorlatek::art
