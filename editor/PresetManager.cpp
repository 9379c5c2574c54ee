#include "editor/PresetManager.h"

#include <algorithm>
#include <cstdio>

#include "editor/LoadSaveFlows.h"
#include "editor/MainPanel.h"
#include "editor/WindowTags.h"
#include "plugin/DrumPlugin.h"
#include "plugin/PresetSlot.h"

namespace vorlatek::editor {

using namespace toolkit;

namespace {

// The load and save menus sit at the window's bottom left and draw only their pictures.
constexpr Rect kLoadMenu{7, 219, 54, 240};
constexpr Rect kSaveMenu{57, 219, 104, 240};
constexpr int kLoadMenuBitmaps[2] = {804, 805};
constexpr int kSaveMenuBitmaps[2] = {806, 807};

std::string numbered(const char* prefix, int k) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%02d", prefix, k);
    return name;
}

}  // namespace

PresetManager::PresetManager(const WindowContext& context, int& page) : EditorWindow(context, "Preset Manager"), page_(page) {
    page_ = std::clamp(page_, 0, kPages - 1);
    make<CControl>("Preset Manager Close");
    make<CControl>("Preset Manager Prev");
    make<CControl>("Preset Manager Next");
    for (int j = 0; j < kPages; ++j) pageButtons_[j] = make<CNStateButton>("Preset Manager Page" + std::to_string(j + 1));
    for (int k = 0; k < kSlots; ++k) radios_[k] = make<CNStateButton>(numbered("Preset Manager Radio ", k));
    for (int k = 0; k < kSlots; ++k) {
        names_[k] = make<CTextEdit>(numbered("Preset Manager Edit ", k));
        if (names_[k]) names_[k]->setMaxLength(kPresetNameChars);
    }
    buildMenus();
    refresh();
}

void PresetManager::buildMenus() {
    if (!container()) return;
    ImageStore& images = context_.images;
    loadMenu_ = toolkit::make<COptionMenu>(kLoadMenu, this, tag::kPresetLoadMenu, images.bitmap(kLoadMenuBitmaps[0]),
                                  images.bitmap(kLoadMenuBitmaps[1]), COptionMenu::kNoTextStyle);
    loadMenu_->addEntry("Load Vorlatek Preset");
    loadMenu_->addEntry("Load Vorlatek Preset Bank");
    saveMenu_ = toolkit::make<COptionMenu>(kSaveMenu, this, tag::kPresetSaveMenu, images.bitmap(kSaveMenuBitmaps[0]),
                                  images.bitmap(kSaveMenuBitmaps[1]), COptionMenu::kNoTextStyle);
    saveMenu_->addEntry("Save Vorlatek Preset");
    saveMenu_->addEntry("Save Vorlatek Preset Bank");
    add(loadMenu_, "Preset Manager Load Menu");
    add(saveMenu_, "Preset Manager Save Menu");
}

void PresetManager::open() {
    page_ = context_.plugin.currentProgram() / kSlots;
    show();
    refresh();
}

void PresetManager::refresh() {
    const int current = context_.plugin.currentProgram();
    for (int j = 0; j < kPages; ++j)
        if (pageButtons_[j]) pageButtons_[j]->setValue(j == page_ ? 1.0f : 0.0f);
    for (int k = 0; k < kSlots; ++k)
        if (radios_[k]) radios_[k]->setValue(current == page_ * kSlots + k ? 1.0f : 0.0f);
    const auto presets = context_.plugin.presets();
    for (int k = 0; k < kSlots; ++k)
        // A name being typed stays as it is until its edit ends.
        if (names_[k] && !names_[k]->isEditing()) names_[k]->setText(presets->slot(page_ * kSlots + k).name);
}

void PresetManager::handle(CControl& control) {
    const int t = control.tag();
    if (t >= tag::kFirstPresetPage && t < tag::kFirstPresetPage + kPages) {
        page_ = t - tag::kFirstPresetPage;
        refresh();
    } else if (t >= tag::kFirstPresetRadio && t < tag::kFirstPresetRadio + kSlots) {
        context_.plugin.selectProgram(page_ * kSlots + t - tag::kFirstPresetRadio);
        context_.panel.refreshPresetName();
        refresh();
    } else if (t >= tag::kFirstPresetEdit && t < tag::kFirstPresetEdit + kSlots) {
        rename(page_ * kSlots + t - tag::kFirstPresetEdit, static_cast<CTextEdit&>(control).text());
    } else if (t == tag::kPresetPrev || t == tag::kPresetNext) {
        if (pressed(control)) stepProgram(t == tag::kPresetPrev ? -1 : 1, (buttons() & kControl) != 0);
    } else if (t == tag::kPresetManagerClose) {
        if (released(control)) hide();
    } else if (t == tag::kPresetLoadMenu && loadMenu_) {
        context_.files.loadPresets(loadMenu_->lastResult(), this, [this] { afterFileFlow(); });
    } else if (t == tag::kPresetSaveMenu && saveMenu_) {
        context_.files.savePresets(saveMenu_->lastResult(), this, [this] { afterFileFlow(); });
    }
}

void PresetManager::stepProgram(int direction, bool move) {
    DrumPlugin& plugin = context_.plugin;
    if (move) {
        plugin.movePreset(direction);
    } else if (const int program = plugin.currentProgram() + direction; program >= 0 && program < DrumPlugin::kNumPrograms) {
        plugin.selectProgram(program);
    }
    page_ = plugin.currentProgram() / kSlots;
    context_.panel.refreshPresetName();
    refresh();
}

void PresetManager::rename(int slot, const std::string& text) {
    DrumPlugin& plugin = context_.plugin;
    // The name keeps what fits into 23 bytes of whole characters.
    plugin.presets()->slot(slot).setName(text.c_str());
    // Hosts list the programs by name.
    if (PluginHost* host = plugin.host()) host->updateDisplay();
    if (slot == plugin.currentProgram()) context_.panel.refreshPresetName();
    refresh();
}

void PresetManager::afterFileFlow() {
    refresh();
    context_.panel.refreshPresetName();
}

}  // namespace vorlatek::editor
