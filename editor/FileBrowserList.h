#pragma once
// The built-in browser's list of folders and files: one row each, folders marked, the selected
// row lit. A click selects, a double click or Enter opens; the arrow keys, Home/End and the
// page keys move the selection; the wheel and the scroll bar at the right move the view.
// Keys the list has no use for go to its owner.

#include <string>
#include <vector>

#include "editor/FileBrowserFolder.h"
#include "toolkit/CView.h"

namespace vorlatek::editor {

class FileBrowserList : public toolkit::CView {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kScrollBarWidth = 10;

    class Owner {
    public:
        virtual void entrySelected(int index) = 0;
        virtual void entryActivated(int index) = 0;
        virtual bool listKeyDown(const toolkit::KeyEvent& key) = 0;

    protected:
        ~Owner() = default;
    };

    FileBrowserList(const toolkit::Rect& size, Owner& owner);

    // New contents, nothing selected, scrolled to the top. `emptyText` shows when there are none.
    void setEntries(std::vector<FileBrowserEntry> entries, std::string emptyText);
    const std::vector<FileBrowserEntry>& entries() const { return entries_; }
    int selected() const { return selected_; }
    // Selects `index` (-1 for none) and scrolls it into view; the owner is not told.
    void select(int index);
    int firstVisible() const { return first_; }
    int visibleRows() const;
    // Row `index` in the list's parent's coordinates (empty when it is scrolled out of view).
    toolkit::Rect rowRect(int index) const;

    void draw(toolkit::DrawContext& context) override;
    toolkit::MouseResult onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMoved(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    bool onMouseWheel(const toolkit::MouseEvent& event, float notches) override;
    bool onKeyDown(const toolkit::KeyEvent& key) override;
    void onFocusGained() override { setDirty(); }
    void onFocusLost() override { setDirty(); }

private:
    toolkit::Rect rowsArea() const;
    toolkit::Rect scrollTrack() const;
    toolkit::Rect scrollThumb() const;
    bool scrolls() const { return int(entries_.size()) > visibleRows(); }
    int rowAt(toolkit::Point where) const;
    void scrollTo(int first);
    void moveSelection(int index);
    void dragThumb(int y);

    Owner& owner_;
    std::vector<FileBrowserEntry> entries_;
    std::string emptyText_;
    int selected_ = -1;
    int first_ = 0;
    int dragOffset_ = -1;  // where the thumb was taken, while it is dragged
};

}  // namespace vorlatek::editor
