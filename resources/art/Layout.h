#pragma once
// The editor's layout as the art needs it: every control of the settings document's GUI
// section with its class, place, size, bitmap and frame count, and the declared parameter
// values (the knobs' factory positions in the previews).

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlatek::art {

struct LayoutControl {
    std::string name;
    std::string className;
    int x = 0, y = 0, width = 0, height = 0;
    int bitmap = 0;
    int frames = 0;
    int chars = 0, fonts = 0;
    bool realButton = true;
    std::string text, font, fontColor, bgColor, align;
};

class Layout {
public:
    // Reads the document; throws with a message when it cannot be read.
    static Layout read(const std::string& settingsPath);

    // Controls in document order, a repeated name only once (at its last place).
    const std::vector<LayoutControl>& controls() const { return controls_; }
    const LayoutControl* find(const std::string& name) const;
    // The declared value of a parameter by name.
    std::optional<double> parameterValue(const std::string& name) const;

    // Images per bitmap: how many frames a control of this class draws from its bitmap
    // (0 for classes without a bitmap of their own).
    static int framesOf(const LayoutControl& c);

private:
    std::vector<LayoutControl> controls_;
    std::map<std::string, std::size_t> byName_;
    std::map<std::string, double> parameters_;
};

}  // namespace vorlatek::art
