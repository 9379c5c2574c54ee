// Numbers in XML read in the C locale on Windows. The C runtime there has no C-locale
// strtof, so the same grammar is read with std::from_chars, which knows no locale: blanks,
// a sign, then a decimal or 0x-hexadecimal number. Decimal input rounds to the nearest float
// as strtof does, so a stored file gives the same values on every platform.
#include "sequencer/XmlDocument.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace vorlatek::xml {

namespace {

// What strtof and strtoll see: the text up to its first zero byte.
std::string_view cText(std::string_view text) { return text.substr(0, text.find('\0')); }

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Skips leading blanks and a sign; true when the sign was a minus.
bool takeSign(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    text.remove_prefix(i);
    return negative;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }

// For a number that from_chars found outside the float range: whether it is too large
// (strtof gives infinity) rather than too small (strtof gives 0). Such numbers are far
// from 1, so the place of the first significant digit and the exponent tell.
bool beyondLargest(std::string_view number, bool hex) {
    const std::size_t exponentAt = number.find_first_of(hex ? "pP" : "eE");
    // The place of the first significant digit: n for n digits before the point, -n for n
    // zeros after it.
    long long order = 0;
    bool point = false, significant = false;
    for (const char c : number.substr(0, exponentAt)) {
        if (c == '.') {
            point = true;
            continue;
        }
        significant = significant || c != '0';
        if (!point && significant) ++order;
        if (point && !significant) --order;
    }
    if (exponentAt == std::string_view::npos) return order > 0;
    std::string_view exponent = number.substr(exponentAt + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.remove_prefix(1);
    long long power = 0;
    if (std::from_chars(exponent.data(), exponent.data() + exponent.size(), power).ec != std::errc())
        return !negative;  // an exponent beyond any range decides alone
    return (negative ? -power : power) + order * (hex ? 4 : 1) > 0;
}

}  // namespace

std::optional<float> parseFloat(std::string_view input) {
    std::string_view text = cText(input);
    const bool negative = takeSign(text);
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) return std::nullopt;  // from_chars takes a '-' of its own
    auto format = std::chars_format::general;
    const bool hexDigits = text.size() > 2 && (isHexDigit(text[2]) || (text[2] == '.' && text.size() > 3 && isHexDigit(text[3])));
    if (hexDigits && text[0] == '0' && (text[1] | 0x20) == 'x') {
        text.remove_prefix(2);
        format = std::chars_format::hex;
    }
    float value = 0.0f;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, format);
    if (result.ptr == text.data()) return std::nullopt;
    if (result.ec == std::errc::result_out_of_range) {
        if (beyondLargest(std::string_view(text.data(), static_cast<std::size_t>(result.ptr - text.data())),
                          format == std::chars_format::hex))
            return std::nullopt;
        value = 0.0f;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> parseInt(std::string_view input) {
    std::string_view text = cText(input);
    const bool negative = takeSign(text);
    unsigned long long magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (result.ptr == text.data()) return std::nullopt;
    if (negative) {
        if (result.ec != std::errc() || magnitude > static_cast<unsigned long long>(INT_MAX) + 1) return INT_MIN;
        return static_cast<int>(-static_cast<long long>(magnitude));
    }
    if (result.ec != std::errc() || magnitude > static_cast<unsigned long long>(INT_MAX)) return INT_MAX;
    return static_cast<int>(magnitude);
}

}  // namespace vorlatek::xml
