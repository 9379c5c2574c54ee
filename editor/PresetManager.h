#pragma once
// The preset manager: the 128 presets in four pages of 32, each slot a radio button that
// selects it and a field that renames it; the previous and next buttons step through the
// programs, or with Ctrl move the current preset one place along; menus load and save a
// preset or the whole bank. The page shown is the editor's and outlives the window.

#include <array>

#include "editor/EditorWindow.h"
#include "toolkit/CNStateButton.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CTextEdit.h"

namespace vorlatek::editor {

class PresetManager : public EditorWindow {
public:
    static constexpr int kPages = 4;
    static constexpr int kSlots = 32;  // per page

    // `page` is where the page shown is kept (0..3).
    PresetManager(const WindowContext& context, int& page);

    // Shows the page of the current preset.
    void open();
    // Page buttons, radios and names as the plug-in has them now.
    void refresh();
    int page() const { return page_; }

private:
    void handle(toolkit::CControl& control) override;
    void buildMenus();
    void stepProgram(int direction, bool move);
    void rename(int slot, const std::string& text);
    void afterFileFlow();

    int& page_;
    std::array<toolkit::Ref<toolkit::CNStateButton>, kPages> pageButtons_;
    std::array<toolkit::Ref<toolkit::CNStateButton>, kSlots> radios_;
    std::array<toolkit::Ref<toolkit::CTextEdit>, kSlots> names_;
    toolkit::Ref<toolkit::COptionMenu> loadMenu_, saveMenu_;
};

}  // namespace vorlatek::editor
