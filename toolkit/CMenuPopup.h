#pragma once
// The open list of an option menu, drawn inside the editor window: below the menu, or above
// it when there is no room below, moved and shortened as needed to stay within the window
// (the wheel and the arrow keys scroll a list taller than the window). The pointer or the
// arrow keys highlight an entry; a release over an entry or Enter chooses it; Escape or a
// press outside closes the list (the frame sends such a press nowhere else).

#include "toolkit/COptionMenu.h"

namespace vorlatek::toolkit {

class CMenuPopup : public CView {
public:
    explicit CMenuPopup(COptionMenu& menu);

    int highlighted() const { return highlighted_; }
    int firstVisible() const { return first_; }
    int visibleRows() const { return rows_; }
    int rowHeight() const { return rowHeight_; }

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onMouseWheel(const MouseEvent& event, float notches) override;
    bool onKeyDown(const KeyEvent& key) override;

private:
    int rowAt(Point where) const;
    void highlight(int row);
    void scrollTo(int first);
    void choose(int row);

    Ref<COptionMenu> menu_;
    int rowHeight_;
    int rows_ = 0;
    int first_ = 0;
    int highlighted_ = -1;
    bool armed_ = false;  // a release may choose: the pointer has been over the list
};

}  // namespace vorlatek::toolkit
