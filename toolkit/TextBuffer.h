#pragma once
// The text, caret and selection of a one-line text field, in bytes of valid UTF-8 that never
// split a character. The selection runs between the anchor and the caret.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlatek::toolkit {

class TextBuffer {
public:
    static constexpr std::size_t kDefaultMaxLength = 1023;

    // Any bytes; the text kept is valid, on one line, and at most maxLength() characters.
    void setText(std::string_view text);
    const std::string& text() const { return text_; }
    void setMaxLength(std::size_t characters);
    std::size_t maxLength() const { return maxLength_; }

    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    bool hasSelection() const { return caret_ != anchor_; }
    std::size_t selectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    std::size_t selectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    std::string selectedText() const;

    // Replaces the selection with `text` (made valid and single-line), as much as fits.
    void insert(std::string_view text);
    // Deletes the selection, or the character before (backspace) or after the caret.
    void backspace();
    void deleteForward();
    // The selected text, removed.
    std::string cut();

    // Caret movements; `extend` keeps the anchor and so grows or shrinks the selection.
    void left(bool extend);
    void right(bool extend);
    void home(bool extend);
    void end(bool extend);
    void selectAll();
    // Puts the caret at byte `position` (moved back to a character boundary).
    void setCaret(std::size_t position, bool extend);

private:
    void eraseSelection();

    std::string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    std::size_t maxLength_ = kDefaultMaxLength;
};

}  // namespace vorlatek::toolkit
