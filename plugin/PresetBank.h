#pragma once
// The 128 presets and their XML forms: `VorlatekPreset` (one slot) and
// `VorlatekPresetBank` (all of them). Program selection lives in the plug-in object, which
// pushes a slot's values through setParameter.

#include "plugin/PresetSlot.h"

#include <libxml/tree.h>

namespace vorlatek {

class BasePlugin;

class PresetBank {
public:
    PresetSlot& slot(int index) { return slots_[static_cast<std::size_t>(index)]; }
    const PresetSlot& slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }
    static bool validIndex(int index) { return index >= 0 && index < kPresetCount; }

    // Reads a `VorlatekPreset` element into a slot: the name (cut to 23 characters) and
    // every `param` whose control name is a preset parameter; others keep their values.
    static void readPreset(const xmlNode* element, PresetSlot& slot, const BasePlugin& names);
    static xmlNodePtr writePreset(const PresetSlot& slot, const BasePlugin& names);

    // Reads a `VorlatekPresetBank`: every slot is first reset to "default" with the declared
    // values, then the presets fill slots from 0; a 129th preset ends the reading.
    void readPresetBank(const xmlNode* element, const BasePlugin& names);
    xmlNodePtr writePresetBank(const BasePlugin& names) const;

    // Swaps two slots (names and values).
    void swap(int a, int b);

private:
    std::array<PresetSlot, kPresetCount> slots_{};
};

}  // namespace vorlatek
