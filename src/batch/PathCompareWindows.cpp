// Letter case as Windows' file systems fold it: the system's own upper-case table.

#include <windows.h>

#include <algorithm>

#include "batch/PathCompare.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

std::wstring WithBackslashes(std::string_view utf8) {
    std::wstring wide = Widen(utf8);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

}  // namespace

std::u32string PathKey(std::string_view utf8) {
    const std::wstring wide = WithBackslashes(utf8);
    std::wstring upper(wide.size(), L'\0');
    // Without LCMAP_LINGUISTIC_CASING the mapping is the file system's, the one CompareStringOrdinal uses.
    const int length = wide.empty() ? 0
                                    : LCMapStringEx(LOCALE_NAME_INVARIANT,
                                                    LCMAP_UPPERCASE,
                                                    wide.data(),
                                                    static_cast<int>(wide.size()),
                                                    upper.data(),
                                                    static_cast<int>(upper.size()),
                                                    nullptr,
                                                    nullptr,
                                                    0);
    if (length > 0) upper.resize(static_cast<std::size_t>(length));
    const std::wstring& folded = length > 0 ? upper : wide;
    return std::u32string(folded.begin(), folded.end());
}

bool SamePath(std::string_view a, std::string_view b) {
    const std::wstring wideA = WithBackslashes(a);
    const std::wstring wideB = WithBackslashes(b);
    return CompareStringOrdinal(
               wideA.data(), static_cast<int>(wideA.size()), wideB.data(), static_cast<int>(wideB.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace quorvel
