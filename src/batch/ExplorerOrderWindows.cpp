// Explorer's order is the shell's own comparison.

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>

#include "batch/ExplorerOrder.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

ExplorerOrderKey ExplorerOrderKeyOf(std::string_view name) { return Widen(name); }

int CompareExplorerOrderKeys(const ExplorerOrderKey& a, const ExplorerOrderKey& b) {
    const int compared = ::StrCmpLogicalW(a.c_str(), b.c_str());
    return compared < 0 ? -1 : (compared > 0 ? 1 : 0);
}

// StrCmpLogicalW as Wine has it, with each letter's place looked up instead of asking the locale
// letter by letter (which made sorting 40,000 names take seconds): digit runs by value before
// any letter, letters as the locale compares them one by one, case ignored.
std::vector<std::u32string> ExplorerOrderHints(const std::vector<std::string>& names) {
    constexpr char32_t kNumber = 1;  // below every letter's place
    std::vector<std::wstring> wide;
    wide.reserve(names.size());
    std::vector<bool> seen(0x10000, false);
    for (const std::string& name : names) {
        wide.push_back(Widen(name));
        for (wchar_t c : wide.back()) seen[c] = true;
    }
    std::vector<wchar_t> letters;
    for (std::size_t c = 0; c < seen.size(); ++c)
        if (seen[c] && !IsDigit(static_cast<wchar_t>(c))) letters.push_back(static_cast<wchar_t>(c));
    const LCID locale = ::GetThreadLocale();
    const auto compare = [&](wchar_t a, wchar_t b) {
        return ::CompareStringW(locale, NORM_IGNORECASE, &a, 1, &b, 1) - CSTR_EQUAL;
    };
    std::stable_sort(letters.begin(), letters.end(), [&](wchar_t a, wchar_t b) { return compare(a, b) < 0; });
    std::vector<char32_t> place(0x10000, 0);
    char32_t next = kNumber + 1;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (i > 0 && compare(letters[i - 1], letters[i]) != 0) ++next;
        place[letters[i]] = next;
    }

    std::vector<std::u32string> hints;
    hints.reserve(wide.size());
    for (const std::wstring& name : wide) {
        std::u32string hint;
        for (std::size_t i = 0; i < name.size();) {
            if (!IsDigit(name[i])) {
                hint += place[name[i++]];
                continue;
            }
            std::size_t end = i;
            while (end < name.size() && IsDigit(name[end])) ++end;
            while (i + 1 < end && name[i] == L'0') ++i;
            hint += kNumber;
            hint += static_cast<char32_t>(end - i);
            hint.append(name.begin() + static_cast<std::ptrdiff_t>(i), name.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
        }
        hints.push_back(std::move(hint));
    }
    return hints;
}

}  // namespace quorvel
