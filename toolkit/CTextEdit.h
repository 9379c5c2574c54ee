#pragma once
// A text label the user can edit in place, drawn by the toolkit itself. A click (or
// CFrame::setFocusView) starts editing with the whole text selected; then the field has a
// caret and a selection (mouse, Shift+arrows, Home/End, Ctrl+A), takes typed text of any
// script, Backspace/Delete, and Ctrl+C/X/V through the clipboard. Enter, Tab or losing the
// focus (a click elsewhere) ends the edit, stores the text and reports the control; Escape
// ends it and restores the text without a report. beginEdit and endEdit bracket every edit,
// whichever way it ends, so the owner can tidy up after either.

#include "toolkit/CTextLabel.h"
#include "toolkit/TextBuffer.h"

namespace vorlatek::toolkit {

class CTextEdit : public CTextLabel {
public:
    CTextEdit(const Rect& size, IControlListener* listener, int tag, std::string_view text = {},
              Ref<CBitmap> background = nullptr);

    // Ends an edit in progress without reporting, then sets the text.
    void setText(std::string_view text) override;
    // Characters the field accepts while editing (1023 unless set).
    void setMaxLength(std::size_t characters) { buffer_.setMaxLength(characters); }

    bool isEditing() const;
    const TextBuffer& buffer() const { return buffer_; }
    // The text being edited, or the stored text when not editing.
    const std::string& editedText() const { return isEditing() ? buffer_.text() : text(); }

    void draw(DrawContext& context) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onKeyDown(const KeyEvent& key) override;
    void onFocusGained() override;
    void onFocusLost() override;
    void onClipboardText(std::string_view text) override;

protected:
    MouseResult mouseDown(const MouseEvent& event) override;

private:
    void finish(bool keep);
    // Left edge of the text while editing, so that the caret stays inside the field.
    double textOrigin();
    std::size_t positionAt(int x);

    TextBuffer buffer_;
    bool editing_ = false;
    bool cancelling_ = false;
    bool selecting_ = false;
    double scroll_ = 0.0;
};

}  // namespace vorlatek::toolkit
