// The shipped editor layout against the shipped bitmaps: what the module carries must fit
// together before any editor draws it.

#include "editor/Editor.h"
#include "editor/GuiLayout.h"
#include "plugin/DrumPlugin.h"
#include "plugin/ModuleServices.h"
#include "toolkit/HeadlessWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

// The layout as the editor reads it, and the names of the declared parameters.
struct ShippedLayout {
    DrumPlugin plugin{nullptr, ""};
    editor::GuiLayout layout = editor::GuiLayout::builtIn(plugin.registry());
    const editor::GuiLayout::Entries& entries = layout.entries();
    std::vector<std::string> parameters;  // by index

    ShippedLayout() {
        for (int i = 0; i < plugin.numParams(); ++i) parameters.push_back(plugin.controlName(i));
    }
};

const ShippedLayout& shipped() {
    static const ShippedLayout layout;
    return layout;
}

using editor::ControlClass;
using editor::LayoutEntry;

struct Rect {
    int x, y, w, h;
    bool overlaps(const Rect& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

Rect rectOf(const LayoutEntry& e) { return {e.rect.left, e.rect.top, e.rect.width(), e.rect.height()}; }

struct PngSize {
    int width = -1, height = -1;
};

// Windows builds have no editor yet, and so no bitmaps.
#ifdef _WIN32
constexpr bool kBuildHasBitmaps = false;
#else
constexpr bool kBuildHasBitmaps = true;
#endif

PngSize pngSize(int id, int scale) {
    const auto png = findBitmap(id, scale);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!png || png->size < 24 || std::memcmp(png->data, signature, 8) != 0) return {};
    const auto be32 = [&](std::size_t at) {
        const unsigned char* p = png->data + at;
        return int((unsigned(p[0]) << 24) | (unsigned(p[1]) << 16) | (unsigned(p[2]) << 8) | unsigned(p[3]));
    };
    return {be32(16), be32(20)};
}

// The window a control belongs to, by the prefix of its name; the main panel otherwise.
std::string windowOf(const std::string& name) {
    for (const char* container : {"Preset Manager", "Window Settings", "About Window"}) {
        if (name == container) return "";
        const std::string prefix = std::string(container == std::string("About Window") ? "About" : container) + " ";
        if (name.rfind(prefix, 0) == 0) return container;
    }
    return "main";
}

// Images a control draws from its bitmap: frames stacked vertically.
int imagesOf(const LayoutEntry& e) {
    if (e.kind == ControlClass::KickButton || e.kind == ControlClass::OnOffButton) return 2;
    if (e.kind == ControlClass::BitmapDisplay) return e.glyphs;
    if (!e.drawsBitmap() || e.kind == ControlClass::ViewContainer) return 0;
    return e.frames;
}

TEST(GuiLayoutTest, EveryBitmapIsShippedAtBothScalesWithTheSizeItsControlsDraw) {
    if (!kBuildHasBitmaps) GTEST_SKIP() << "this build carries no bitmaps: it has no editor";
    ASSERT_FALSE(shipped().entries.empty()) << "no GUI section in the built-in settings";
    EXPECT_EQ(pngSize(100, 1).width * 2, pngSize(100, 2).width);
    for (const auto& [name, e] : shipped().entries) {
        const int images = imagesOf(e);
        if (e.kind == ControlClass::ViewContainer) {
            EXPECT_GT(pngSize(e.bitmapId, 1).width, 0) << name;
            continue;
        }
        if (images == 0) continue;
        EXPECT_GT(images, 0) << name;
        if (e.kind == ControlClass::NStateButton && e.realButton) {
            EXPECT_EQ(e.frames % 2, 0) << name << ": a real button has pairs of images";
        }
        const int cellWidth = e.kind == ControlClass::BitmapDisplay ? e.rect.width() / std::max(1, e.chars) : e.rect.width();
        for (int scale : {1, 2}) {
            const PngSize size = pngSize(e.bitmapId, scale);
            EXPECT_EQ(size.width, cellWidth * scale) << name << ", bitmap " << e.bitmapId << " at scale " << scale;
            EXPECT_EQ(size.height, images * e.rect.height() * scale)
                << name << ", bitmap " << e.bitmapId << " at scale " << scale;
        }
    }
    // The menus the editor makes itself: (31 x 39) on the top bar, (47 x 21) in the preset
    // manager, each with an image for the open menu.
    for (int id = 800; id <= 807; ++id) {
        EXPECT_EQ(pngSize(id, 1).width, id < 804 ? 31 : 47) << id;
        EXPECT_EQ(pngSize(id, 2).height, id < 804 ? 78 : 42) << id;
    }
    EXPECT_FALSE(findBitmap(100, 3));
    EXPECT_FALSE(findBitmap(99, 1));
}

TEST(GuiLayoutTest, ControlsLieInsideTheirWindowsAndWindowsInsideThePanel) {
    if (!kBuildHasBitmaps) GTEST_SKIP() << "this build carries no bitmaps: it has no editor";
    const PngSize panel = pngSize(100, 1);
    std::map<std::string, PngSize> windows{{"main", panel}};
    for (const char* container : {"Preset Manager", "Window Settings", "About Window"}) {
        const auto it = shipped().entries.find(container);
        ASSERT_NE(it, shipped().entries.end()) << container;
        windows[container] = pngSize(it->second.bitmapId, 1);
        EXPECT_LE(windows[container].width, panel.width) << container;
        EXPECT_LE(windows[container].height, panel.height) << container;
    }
    for (const auto& [name, e] : shipped().entries) {
        if (e.kind == ControlClass::ViewContainer) continue;
        const PngSize window = windows[windowOf(name)];
        const Rect r = rectOf(e);
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= window.width && r.y + r.h <= window.height)
            << name << " at (" << r.x << ", " << r.y << ") size " << r.w << " x " << r.h << " leaves "
            << windowOf(name);
    }
}

TEST(GuiLayoutTest, NoTwoControlsOfOneWindowOverlapNorTheMenusTheEditorAdds) {
    std::map<std::string, std::vector<std::pair<std::string, Rect>>> byWindow;
    for (const auto& [name, e] : shipped().entries)
        if (e.kind != ControlClass::ViewContainer) byWindow[windowOf(name)].push_back({name, rectOf(e)});
    byWindow["main"].push_back({"load-pattern menu", Rect{369, 20, 31, 39}});
    byWindow["main"].push_back({"save-pattern menu", Rect{401, 20, 31, 39}});
    byWindow["main"].push_back({"pattern name editor", Rect{270, 386, 113, 13}});
    byWindow["Preset Manager"].push_back({"preset load menu", Rect{7, 219, 47, 21}});
    byWindow["Preset Manager"].push_back({"preset save menu", Rect{57, 219, 47, 21}});
    for (const auto& [window, controls] : byWindow) {
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                const auto& [a, ra] = controls[i];
                const auto& [b, rb] = controls[j];
                // The name editor opens over the name display on purpose.
                const bool meant = (a == "Pattern Name" && b == "pattern name editor") ||
                                   (b == "Pattern Name" && a == "pattern name editor");
                EXPECT_TRUE(meant || !ra.overlaps(rb)) << a << " overlaps " << b << " in " << window;
            }
        }
    }
}

// The names Parts of the editor ask the factory for: every one must be in the layout, with
// the class the editor's logic expects of it.
TEST(GuiLayoutTest, EveryControlTheEditorCreatesByNameIsThere) {
    const std::vector<std::string> instruments = {"BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL",
                                                  "RS", "MA", "CP", "CB", "LG", "CY", "OH", "CH"};
    std::map<std::string, std::string> wanted;  // name to class
    for (const std::string& i : instruments) {
        wanted[i + " Mute"] = wanted[i + " Solo"] = "CNStateButton";
        wanted[i + " Out Num"] = "CAnimKnob";
    }
    std::vector<std::string> eighteen = instruments;
    eighteen.push_back("AC");
    for (const std::string& i : eighteen) {
        wanted[i + " Activity"] = wanted[i + " Level Knob Mode"] = "CExMovieBitmap";
        wanted[i + " Select"] = "CNStateButton";
    }
    // The sound knobs and the master volume: parameters 0..58.
    for (std::size_t p = 0; p <= 58 && p < shipped().parameters.size(); ++p) wanted[shipped().parameters[p]] = "CAnimKnob";
    for (int k = 1; k <= 16; ++k) {
        wanted["Step " + std::to_string(k)] = "CNStateButton";
        wanted["Patt Len " + std::to_string(k)] = "CExMovieBitmap";
    }
    for (const char* n : {"Pattern Write Mode", "Pattern Auto Follow", "Pattern Rand Mode", "Pattern Last Step",
                          "Pattern Variation A", "Pattern Variation B", "Pattern Part 1", "Pattern Part 2",
                          "Pattern Prescale 1", "Pattern Prescale 2", "Pattern Prescale 3", "Pattern Prescale 4",
                          "Internal Seq State", "External Sync State", "Free Mode", "Note Off State", "Midi Learn State",
                          "Preset Manager Page1", "Preset Manager Page4"})
        wanted[n] = "CNStateButton";
    for (const char* n : {"Pattern Rand Undo", "Pattern Prev", "Pattern Next", "Pattern Shift Left", "Pattern Shift Right",
                          "Pattern Copy", "Pattern Paste", "Pattern Clear", "Start", "Stop", "Tap", "About", "Prev Preset",
                          "Next Preset", "Browse Preset", "About Close", "About Settings", "Preset Manager Close",
                          "Preset Manager Prev", "Preset Manager Next", "Window Settings Close", "Window Settings Cancel",
                          "Window Settings OK", "Window Settings Button Browse Presets",
                          "Window Settings Button Browse Simple Patterns", "Window Settings Button Browse Extended Patterns",
                          "Window Settings Button Load MidiCC Map", "Window Settings Button Save MidiCC Map",
                          "Window Settings Outputs Button Assigns Set Current", "Window Settings Outputs Button Assigns Reset"})
        wanted[n] = "CKickButton";
    for (const char* n : {"Pattern Num Digit 01", "Pattern Num Digit 1", "Pattern Num Digit 10", "Pattern Num Digit 100",
                          "Pattern Part 1 Led", "Pattern Part 2 Led", "Pattern Variation A Led", "Pattern Variation B Led"})
        wanted[n] = "CExMovieBitmap";
    for (const char* n : {"Tempo Digit 01", "Tempo Digit 1", "Tempo Digit 10", "Tempo Digit 100", "Shuffle", "Tempo",
                          "Master Volume", "Measures Auto Fill In"})
        wanted[n] = "CAnimKnob";
    wanted["Basic Variation"] = wanted["Intro FillIn Variation"] = "CHorizontalSwitch";
    wanted["Pattern Name"] = "CBitmapDisplay";
    wanted["Midi Learn Desc"] = wanted["About Label Version"] = wanted["About Label Plugin Path"] = "CTextLabel";
    wanted["Preset Name"] = "CTextEdit";
    wanted["Preset Manager"] = wanted["Window Settings"] = wanted["About Window"] = "CViewContainer";
    for (int k = 0; k < 32; ++k) {
        char radio[40], edit[40];
        std::snprintf(radio, sizeof radio, "Preset Manager Radio %02d", k);
        std::snprintf(edit, sizeof edit, "Preset Manager Edit %02d", k);
        wanted[radio] = "CNStateButton";
        wanted[edit] = "CTextEdit";
    }
    const std::string s = "Window Settings ";
    for (const char* n : {"Resources Edit Presets", "Resources Edit Simple Patterns", "Resources Edit Extended Patterns"})
        wanted[s + n] = "CTextEdit";
    for (const char* n :
         {"Int Seq Radio Sync With Host By Transport", "Int Seq Radio Sync With Host By Lowest Note",
          "Int Seq Radio Int Seq State On", "Int Seq Radio Int Seq State Off", "Int Seq Radio Int Sync State On",
          "Int Seq Radio Int Sync State Off", "Int Seq Radio Host Mode State On", "Int Seq Radio Host Mode State Off",
          "Int Seq Radio Note Off State On", "Int Seq Radio Note Off State Off", "Outputs Checkbox Master Present",
          "Outputs Radio Master Type Mono", "Outputs Radio Master Type Stereo", "Outputs Radio Instr Type Mono",
          "Outputs Radio Instr Type Stereo", "Outputs Checkbox Trigger Present", "Outputs Radio Trigger CowBell",
          "Outputs Radio Trigger HandClap", "Outputs Radio Trigger Accent"})
        wanted[s + n] = "CNStateButton";
    for (const char* n : {"Master Mono", "Master Stereo", "Trigger CowBell", "Trigger HandClap", "Trigger Accent"})
        wanted[s + "Outputs Bitmap " + n + " Text"] = "CExMovieBitmap";
    for (int k = 0; k <= 16; ++k) {
        char label[64];
        std::snprintf(label, sizeof label, "Window Settings Outputs Label Assigns %02d", k);
        wanted[label] = "CTextLabel";
    }
    ASSERT_EQ(shipped().parameters.size(), 111u);
    // And what the main panel actually asks for when it opens.
    DrumPlugin plugin(nullptr, "");
    editor::Editor editor(
        plugin,
        [](toolkit::CFrame& frame, void*) {
            toolkit::HeadlessWindow::openOn(frame);
            return true;
        },
        [] { return 1.0; });
    ASSERT_TRUE(editor.open(nullptr));
    EXPECT_EQ(editor.mainPanel()->missingControls(), std::vector<std::string>{});
    for (const auto& [name, cls] : wanted) {
        const auto it = shipped().entries.find(name);
        if (it == shipped().entries.end()) {
            ADD_FAILURE() << name << " is missing from the layout";
            continue;
        }
        ControlClass expected{};
        ASSERT_TRUE(editor::parseControlClass(cls, expected)) << cls;
        EXPECT_EQ(it->second.kind, expected) << name;
    }
}

// A tag is what a value change is dispatched on: two controls with one tag would act as one.
// Controls bound by name must name a parameter; radios and checkboxes are two-state LEDs.
TEST(GuiLayoutTest, TagsAreUniqueAndNameBindingsNameParameters) {
    std::map<int, std::string> owner;
    for (const auto& [name, e] : shipped().entries) {
        if (e.tag >= 0) {
            const auto [it, added] = owner.emplace(e.tag, name);
            EXPECT_TRUE(added) << name << " and " << it->second << " share tag " << e.tag;
        }
        const bool tagless = e.kind == ControlClass::TextLabel || e.kind == ControlClass::ViewContainer ||
                             e.kind == ControlClass::ExMovieBitmap;
        EXPECT_TRUE(e.tag >= 0 || tagless) << name << " has no tag";
        // Controls of parameters are bound by their names.
        if (e.tag >= 0 && e.tag <= 110) {
            EXPECT_EQ(shipped().parameters[std::size_t(e.tag)], name);
        }
        if (e.bitmapId == 11030 || e.bitmapId == 11031) {
            EXPECT_EQ(e.frames, 2) << name;
            EXPECT_FALSE(e.realButton) << name;
        }
    }
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The GUI section is what tools/make_gui_layout.py writes from its table: nobody edited it by
// hand, and nobody changed the table without regenerating.
TEST(GuiLayoutTest, CheckedInLayoutMatchesTheGenerator) {
    if (std::system("python3 --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    char folder[] = "/tmp/vorlatek-layout-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string out = std::string(folder) + "/settings.xml";
    const std::string command =
        "python3 -B '" + std::string(VORLATEK_SOURCE_DIR) + "/tools/make_gui_layout.py' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(fileText(out), fileText(std::string(VORLATEK_SOURCE_DIR) + "/resources/settings.xml"))
        << "resources/settings.xml differs from the generator's output";
    std::system(("rm -rf '" + std::string(folder) + "'").c_str());
}

}  // namespace
}  // namespace vorlatek
