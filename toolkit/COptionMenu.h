#pragma once
// A button that opens a list of entries. It draws its bitmap (the second bitmap while the list
// is open) and, unless made with the no-text style, the last chosen entry over it. A left or
// right click opens the list as a popup inside the editor window (CMenuPopup); choosing an
// entry sets the last result and the value to its index and reports the control. Escape or a
// click outside closes the list and changes nothing.

#include <string>
#include <vector>

#include "toolkit/CTextLabel.h"

namespace vorlatek::toolkit {

class COptionMenu : public CTextLabel {
public:
    enum Style : unsigned { kNoTextStyle = 1 };

    COptionMenu(const Rect& size, IControlListener* listener, int tag, Ref<CBitmap> bitmap = nullptr,
                Ref<CBitmap> openBitmap = nullptr, unsigned style = 0);

    void addEntry(std::string_view text);
    void removeAllEntries();
    int entryCount() const { return int(entries_.size()); }
    const std::string& entry(int index) const;
    // Index of the entry chosen last, -1 for none.
    int lastResult() const { return lastResult_; }

    // Opens the list (as a click does); false when there is nothing to show.
    bool open();
    bool isOpen() const;
    // What choosing entry `index` in the list does.
    void choose(int index);

    void draw(DrawContext& context) override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    std::vector<std::string> entries_;
    Ref<CBitmap> openBitmap_;
    unsigned style_;
    int lastResult_ = -1;
};

}  // namespace vorlatek::toolkit
