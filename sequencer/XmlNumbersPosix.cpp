// Numbers in XML read in the C locale on POSIX systems, whatever locale the host set: the
// C library's own parsers with a C locale object of their own.
#include "sequencer/XmlDocument.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace vorlatek::xml {

namespace {

locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

std::optional<float> parseFloat(std::string_view text) {
    const std::string copy(text);
    const char* start = copy.c_str();
    char* end = nullptr;
    const float value = strtof_l(start, &end, cLocale());
    if (end == start || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> parseInt(std::string_view text) {
    const std::string copy(text);
    const char* start = copy.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = strtoll_l(start, &end, 10, cLocale());
    if (end == start) return std::nullopt;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace vorlatek::xml
