// Explorer's order through glibc's collation: the locale's tables order accented and non-Latin
// letters as Explorer does, within their script and the scripts among themselves.

#include <langinfo.h>
#include <locale.h>
#include <wchar.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ExplorerOrder.h"
#include "Utf8.h"

namespace quorvel {
namespace {

// The collation tables of a UTF-8 locale: the user's, or a common one when the user's has none
// (C, POSIX); none at all where no such locale is installed, and then code point order.
class Collation {
public:
    Collation() {
        std::string wanted;
        for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value && *value) {
                wanted = value;
                break;
            }
        }
        const std::string language = wanted.substr(0, wanted.find_first_of(".@"));
        for (const std::string& name : {wanted, language + ".UTF-8", std::string("en_US.UTF-8")}) {
            if (name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("."))
                continue;
            locale_ = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, name.c_str(), nullptr);
            if (locale_ && std::strcmp(nl_langinfo_l(CODESET, locale_), "UTF-8") == 0) return;
            if (locale_) freelocale(locale_);
            locale_ = nullptr;
        }
    }
    ~Collation() {
        if (locale_) freelocale(locale_);
    }
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    std::wstring Key(const std::wstring& text) const {
        if (!locale_) return text;
        const std::size_t size = wcsxfrm_l(nullptr, text.c_str(), 0, locale_);
        std::wstring key(size + 1, L'\0');
        wcsxfrm_l(key.data(), text.c_str(), key.size(), locale_);
        key.resize(size);
        return key;
    }

private:
    locale_t locale_ = nullptr;
};

const Collation& TheCollation() {
    static const Collation collation;
    return collation;
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

ExplorerOrderKey ExplorerOrderKeyOf(std::string_view name) {
    // A run of digits becomes its count of significant digits in three digits, then those
    // digits: numbers order by value in any collation, as digits sort below letters.
    const std::u32string folded = FoldedCodePoints(name);
    std::wstring text;
    text.reserve(folded.size() + 8);
    for (std::size_t i = 0; i < folded.size();) {
        if (!IsDigit(folded[i])) {
            text += static_cast<wchar_t>(folded[i++]);
            continue;
        }
        std::size_t end = i;
        while (end < folded.size() && IsDigit(folded[end])) ++end;
        while (i + 1 < end && folded[i] == U'0') ++i;
        const std::size_t length = end - i;
        const std::string count = std::to_string(length < 999 ? length : 999);
        text.append(3 - count.size(), L'0');
        for (char c : count) text += static_cast<wchar_t>(c);
        for (; i < end; ++i) text += static_cast<wchar_t>(folded[i]);
    }
    return TheCollation().Key(text);
}

int CompareExplorerOrderKeys(const ExplorerOrderKey& a, const ExplorerOrderKey& b) {
    const int compared = wcscmp(a.c_str(), b.c_str());
    return compared < 0 ? -1 : (compared > 0 ? 1 : 0);
}

std::vector<std::u32string> ExplorerOrderHints(const std::vector<std::string>&) { return {}; }

}  // namespace quorvel
