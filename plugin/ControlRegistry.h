#pragma once
// Control names and parameter indices, both ways. Layouts, presets, CC maps and the state
// chunk refer to parameters by control name ("BD Tone"); the registry is filled once from
// the parameter declarations and never shrinks.

#include <map>
#include <string>
#include <string_view>

namespace vorlatek {

class ControlRegistry {
public:
    // Registers name → index unless the name is known; otherwise prints the
    // "already exists" line and keeps the first entry.
    void addXMLControl(const std::string& name, int index);
    // Registers index → name unless the index is known; otherwise prints the
    // "already exists" line and keeps the first entry.
    void addXMLControlValue(const std::string& name, int index);

    // −1 when the name was never registered.
    int controlIndex(std::string_view name) const;
    // "" when the index has no name.
    std::string controlName(int index) const;

private:
    std::map<std::string, int, std::less<>> nameToIndex_;
    std::map<int, std::string> indexToName_;
};

}  // namespace vorlatek
