#pragma once
// The editor's appearance as data: every `control` element of the settings document's `GUI`
// sections, read once into entries keyed by control name. An entry says which widget class
// to build, where (relative to its parent), with which bitmap and tag, and the few fields
// each class needs; the control factory turns entries into widgets.
//
// Reading is forgiving: unknown attributes and elements are skipped, an unknown class drops
// the entry, numbers are the leading decimal integer of the text (0 when there is none), and
// a later entry of the same name replaces the earlier one.

#include <libxml/tree.h>

#include <map>
#include <string>
#include <string_view>

#include "toolkit/Color.h"
#include "toolkit/Geometry.h"

namespace vorlatek {
class ControlRegistry;
}

namespace vorlatek::editor {

// The widget classes a layout may name, with the kind codes the layout format numbers them by.
enum class ControlClass {
    ViewContainer = 1,
    OnOffButton = 2,
    KickButton = 3,
    NStateButton = 4,
    AnimKnob = 5,
    VerticalSwitch = 6,
    HorizontalSwitch = 7,
    MovieBitmap = 8,
    ExMovieBitmap = 9,
    BitmapDisplay = 10,
    TextLabel = 11,
    TextEdit = 12,
};

// The class a layout names, or nothing for any other text (exact, case-sensitive).
bool parseControlClass(std::string_view text, ControlClass& result);

struct LayoutEntry {
    static constexpr std::size_t kMaxName = 255;
    static constexpr std::size_t kMaxText = 255;

    std::string name;
    ControlClass kind = ControlClass::ViewContainer;
    toolkit::Rect rect;  // relative to the parent; offsets of the entry and its GUI section applied
    int tag = -1;        // -1: no listener
    int bitmapId = 0;
    int frames = 0;      // images in a frame strip
    // CNStateButton: states (frames / 2 for a real button, whose states have an up and a
    // pressed image each), real-button flag, and whether a click advances on release.
    int states = 0;
    bool realButton = true;
    bool onRelease = false;
    // CBitmapDisplay: character cells and glyphs in the font bitmap.
    int chars = 0;
    int glyphs = 0;
    // CTextLabel, CTextEdit.
    std::string text;
    int font = 3;  // kNormalFont
    toolkit::Color fontColor = toolkit::kBlack;
    toolkit::Color backColor = toolkit::kTransparent;
    int align = 1;  // centred

    bool drawsBitmap() const { return kind != ControlClass::TextLabel && kind != ControlClass::TextEdit; }
};

class GuiLayout {
public:
    using Entries = std::map<std::string, LayoutEntry, std::less<>>;

    // Reads every `GUI` child of `root` in document order. Controls without `param` take the
    // index of the parameter named like them, or -1.
    void read(const xmlNode* root, const ControlRegistry& registry);
    // The GUI section of the settings document built into the module.
    static GuiLayout builtIn(const ControlRegistry& registry);

    // The entry named exactly `name`, or null.
    const LayoutEntry* find(std::string_view name) const;
    const Entries& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

private:
    void readControl(const xmlNode* control, toolkit::Point sectionOffset, const ControlRegistry& registry);

    Entries entries_;
};

// Layout number and colour readers, exposed for their tests.
// The leading decimal integer of `text` (sign and leading blanks allowed), kept within
// ±kMaxCoordinate so that sums of positions and sizes cannot overflow; 0 when there is none.
inline constexpr int kMaxCoordinate = 1 << 20;
int layoutNumber(std::string_view text);
// "#RRGGBB" as an opaque colour; false (and `color` untouched) for anything else.
bool parseLayoutColor(std::string_view text, toolkit::Color& color);

}  // namespace vorlatek::editor
