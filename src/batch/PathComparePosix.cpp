// Letter case away from Windows: the C library's simple upper-casing in a UTF-8 locale, which is
// the mapping Wine's and NTFS's case tables are made from.

#include <locale.h>
#include <wctype.h>

#include "PathCompare.h"
#include "Utf8.h"

namespace quorvel {
namespace {

locale_t CaseLocale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return made != static_cast<locale_t>(0) ? made
                                                : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(0));
    }();
    return locale;
}

char32_t Upper(char32_t c, locale_t locale) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 0x20 : (c == U'/' ? U'\\' : c);
    // Windows' case table has one entry per UTF-16 unit, so letters beyond the first plane keep
    // their case there; invalid bytes are no letters either.
    if (c > 0xFFFF || IsInvalidByte(c) || locale == static_cast<locale_t>(0)) return c;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale));
}

}  // namespace

std::u32string PathKey(std::string_view utf8) {
    const locale_t locale = CaseLocale();
    std::u32string key;
    key.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) key.push_back(Upper(NextCodePoint(utf8, pos), locale));
    return key;
}

bool SamePath(std::string_view a, std::string_view b) { return PathKey(a) == PathKey(b); }

}  // namespace quorvel
