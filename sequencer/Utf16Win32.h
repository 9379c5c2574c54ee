#pragma once
// Paths and text are UTF-8 inside the program; Windows' file and module functions take and
// give UTF-16. Conversions that fail (unpaired surrogates, bytes that are not UTF-8, a zero
// character, which would cut a path short) give an empty string, which no file operation
// accepts.

#include <string>
#include <string_view>

#include <windows.h>

namespace vorlatek {

inline std::wstring wideFromUtf8(std::string_view text) {
    if (text.empty() || text.size() > 0x7fffffff || text.find('\0') != std::string_view::npos) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

inline std::string utf8FromWide(std::wstring_view text) {
    if (text.empty() || text.size() > 0x7fffffff || text.find(L'\0') != std::wstring_view::npos) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace vorlatek
