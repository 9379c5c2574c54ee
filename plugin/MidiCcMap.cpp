#include "plugin/MidiCcMap.h"

namespace vorlatek {

MidiCcMap::MidiCcMap() { clear(); }

void MidiCcMap::clear() {
    for (auto& entry : entries_) entry.store(-1, std::memory_order_relaxed);
}

void MidiCcMap::assign(int controller, int parameter) {
    if (controller < 0 || controller >= kControllers) return;
    const int holder = controllerFor(parameter);
    if (holder >= 0) entries_[holder].store(-1, std::memory_order_relaxed);
    entries_[controller].store(parameter, std::memory_order_relaxed);
}

int MidiCcMap::parameterFor(int controller) const {
    if (controller < 0 || controller >= kControllers) return -1;
    return entries_[controller].load(std::memory_order_relaxed);
}

int MidiCcMap::controllerFor(int parameter) const {
    for (int c = 0; c < kControllers; ++c)
        if (entries_[c].load(std::memory_order_relaxed) == parameter) return c;
    return -1;
}

}  // namespace vorlatek
