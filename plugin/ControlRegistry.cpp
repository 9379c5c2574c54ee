#include "plugin/ControlRegistry.h"

#include <cstdio>

namespace vorlatek {

void ControlRegistry::addXMLControl(const std::string& name, int index) {
    if (!nameToIndex_.emplace(name, index).second)
        std::printf("BasePlugin::addXMLControl(%s, %d) - already exists\n", name.c_str(), index);
}

void ControlRegistry::addXMLControlValue(const std::string& name, int index) {
    if (!indexToName_.emplace(index, name).second)
        std::printf("BasePlugin::addXMLControlValue(%s, %d) - already exists\n", name.c_str(), index);
}

int ControlRegistry::controlIndex(std::string_view name) const {
    const auto it = nameToIndex_.find(name);
    return it == nameToIndex_.end() ? -1 : it->second;
}

std::string ControlRegistry::controlName(int index) const {
    const auto it = indexToName_.find(index);
    return it == indexToName_.end() ? std::string() : it->second;
}

}  // namespace vorlatek
