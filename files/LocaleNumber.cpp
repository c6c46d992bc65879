#include "files/LocaleNumber.h"

#include <charconv>
#include <clocale>
#include <cstring>

LocaleNumberFormat::LocaleNumberFormat() {
    const char* mark = std::localeconv()->decimal_point;
    decimalMark_ = mark && *mark ? mark : ".";
}

char* LocaleNumberFormat::write(double value, char* out) const {
    // The general format with 6 digits is printf's "%g" in the C locale.
    char* end = std::to_chars(out, out + MaxChars, value, std::chars_format::general, 6).ptr;
    if (decimalMark_ == ".")
        return end;
    char* point = static_cast<char*>(std::memchr(out, '.', static_cast<std::size_t>(end - out)));
    if (!point)
        return end;
    const std::size_t markBytes = decimalMark_.size();
    std::memmove(point + markBytes, point + 1, static_cast<std::size_t>(end - point - 1));
    std::memcpy(point, decimalMark_.data(), markBytes);
    return end + markBytes - 1;
}
