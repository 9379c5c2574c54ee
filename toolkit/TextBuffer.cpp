#include "toolkit/TextBuffer.h"

#include "toolkit/Utf8.h"

namespace vorlatek::toolkit {

void TextBuffer::setText(std::string_view text) {
    text_ = utf8::singleLine(text);
    text_.resize(utf8::advance(text_, maxLength_));
    caret_ = anchor_ = text_.size();
}

void TextBuffer::setMaxLength(std::size_t characters) {
    maxLength_ = characters;
    setText(std::string(text_));
}

std::string TextBuffer::selectedText() const { return text_.substr(selectionStart(), selectionEnd() - selectionStart()); }

void TextBuffer::eraseSelection() {
    const std::size_t start = selectionStart();
    text_.erase(start, selectionEnd() - start);
    caret_ = anchor_ = start;
}

void TextBuffer::insert(std::string_view text) {
    std::string clean = utf8::singleLine(text);
    eraseSelection();
    const std::size_t have = utf8::length(text_);
    const std::size_t room = have < maxLength_ ? maxLength_ - have : 0;
    clean.resize(utf8::advance(clean, room));
    text_.insert(caret_, clean);
    caret_ = anchor_ = caret_ + clean.size();
}

void TextBuffer::backspace() {
    if (!hasSelection()) anchor_ = utf8::previous(text_, caret_);
    eraseSelection();
}

void TextBuffer::deleteForward() {
    if (!hasSelection()) anchor_ = utf8::next(text_, caret_);
    eraseSelection();
}

std::string TextBuffer::cut() {
    std::string selected = selectedText();
    eraseSelection();
    return selected;
}

void TextBuffer::left(bool extend) {
    if (hasSelection() && !extend)
        setCaret(selectionStart(), false);
    else
        setCaret(utf8::previous(text_, caret_), extend);
}

void TextBuffer::right(bool extend) {
    if (hasSelection() && !extend)
        setCaret(selectionEnd(), false);
    else
        setCaret(utf8::next(text_, caret_), extend);
}

void TextBuffer::home(bool extend) { setCaret(0, extend); }
void TextBuffer::end(bool extend) { setCaret(text_.size(), extend); }

void TextBuffer::selectAll() {
    anchor_ = 0;
    caret_ = text_.size();
}

void TextBuffer::setCaret(std::size_t position, bool extend) {
    if (position > text_.size()) position = text_.size();
    while (position > 0 && position < text_.size() && (static_cast<unsigned char>(text_[position]) & 0xC0) == 0x80)
        --position;
    caret_ = position;
    if (!extend) anchor_ = caret_;
}

}  // namespace vorlatek::toolkit
