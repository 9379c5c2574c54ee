#include "toolkit/Utf8.h"

namespace vorlatek::toolkit::utf8 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the code point at `i`; returns its length, or 0 for an invalid sequence.
std::size_t decode(std::string_view text, std::size_t i, char32_t& out) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (c < 0x80) {
        out = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2, value = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, value = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, value = c & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto d = static_cast<unsigned char>(text[i + k]);
        if (!isContinuation(d)) return 0;
        value = (value << 6) | (d & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    out = value;
    return length;
}

template <class Filter>
std::string rebuild(std::string_view text, Filter filter) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t n = decode(text, i, cp);
        if (n == 0) {
            cp = kReplacement;
            n = 1;
        }
        const char32_t kept = cp == 0 ? 0 : filter(cp);
        if (kept == 0) {
            // left out
        } else if (kept == cp && cp != kReplacement) {
            out.append(text.substr(i, n));
        } else {
            out += encode(kept);
        }
        i += n;
    }
    return out;
}

}  // namespace

std::string encode(char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    std::string out;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string sanitize(std::string_view text) {
    return rebuild(text, [](char32_t cp) { return cp; });
}

std::string singleLine(std::string_view text) {
    return rebuild(text, [](char32_t cp) -> char32_t {
        if (cp == '\n' || cp == '\r' || cp == '\t') return ' ';
        if (cp < 0x20 || cp == 0x7F) return 0;
        return cp;
    });
}

std::u32string codePoints(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = kReplacement;
        const std::size_t n = decode(text, i, cp);
        out += n ? cp : kReplacement;
        i += n ? n : 1;
    }
    return out;
}

std::size_t next(std::string_view text, std::size_t position) {
    if (position >= text.size()) return text.size();
    ++position;
    while (position < text.size() && isContinuation(static_cast<unsigned char>(text[position]))) ++position;
    return position;
}

std::size_t previous(std::string_view text, std::size_t position) {
    if (position == 0) return 0;
    if (position > text.size()) return text.size();
    --position;
    while (position > 0 && isContinuation(static_cast<unsigned char>(text[position]))) --position;
    return position;
}

std::size_t length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i = next(text, i)) ++count;
    return count;
}

std::size_t advance(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    while (count-- > 0 && i < text.size()) i = next(text, i);
    return i;
}

}  // namespace vorlatek::toolkit::utf8
