#pragma once
// UTF-8 helpers for text that may hold any bytes. Texts are stored as given; what is drawn or
// edited is first made valid.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlatek::toolkit::utf8 {

// `text` with every invalid sequence replaced by U+FFFD and NUL bytes left out.
std::string sanitize(std::string_view text);
// `text` made valid and fit for one line: line breaks and tabs become spaces, other control
// characters are left out.
std::string singleLine(std::string_view text);
// The encoding of one code point (U+FFFD for values that are no character).
std::string encode(char32_t codePoint);
// Boundaries of the code point after or before byte `position` of a valid text.
std::size_t next(std::string_view text, std::size_t position);
std::size_t previous(std::string_view text, std::size_t position);
// The code points of a text (invalid sequences as U+FFFD).
std::u32string codePoints(std::string_view text);
// Number of code points of a valid text.
std::size_t length(std::string_view text);
// Byte position after the first `count` code points (the whole text when it has fewer).
std::size_t advance(std::string_view text, std::size_t count);

}  // namespace vorlatek::toolkit::utf8
