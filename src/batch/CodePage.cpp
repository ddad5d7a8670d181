#include "CodePage.h"

#include <clocale>

namespace quorvel {
namespace {

struct LanguageCodePage {
    std::string_view Language;
    std::string_view Modifier;  // empty: any script
    unsigned CodePage;
};

// Languages whose Windows locales have an ANSI code page other than 1252. Chinese is settled by
// the territory, below. Serbian and Uzbek come in two scripts; the glibc default script of each
// is listed without a modifier.
constexpr LanguageCodePage kLanguages[] = {
    {"th", "", 874},  {"ja", "", 932},          {"ko", "", 949},  {"sq", "", 1250},      {"bs", "", 1250},
    {"hr", "", 1250}, {"cs", "", 1250},         {"hu", "", 1250}, {"pl", "", 1250},      {"ro", "", 1250},
    {"sk", "", 1250}, {"sl", "", 1250},         {"tk", "", 1250}, {"sr", "latin", 1250}, {"sr", "", 1251},
    {"ru", "", 1251}, {"uk", "", 1251},         {"be", "", 1251}, {"bg", "", 1251},      {"mk", "", 1251},
    {"kk", "", 1251}, {"ky", "", 1251},         {"tt", "", 1251}, {"mn", "", 1251},      {"ba", "", 1251},
    {"tg", "", 1251}, {"uz", "cyrillic", 1251}, {"el", "", 1253}, {"tr", "", 1254},      {"az", "", 1254},
    {"uz", "", 1254}, {"he", "", 1255},         {"yi", "", 1255}, {"ar", "", 1256},      {"fa", "", 1256},
    {"ur", "", 1256}, {"ug", "", 1256},         {"et", "", 1257}, {"lv", "", 1257},      {"lt", "", 1257},
    {"vi", "", 1258},
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = Lower(c);
    return lower;
}

}  // namespace

std::string CodePageLabel(unsigned number) {
    return number == kCodePageUtf8 ? std::string("UTF-8") : std::to_string(number);
}

unsigned ParseCodePage(std::string_view text) {
    const std::string lower = LowerCase(text);
    if (lower == "utf-8" || lower == "utf8" || lower == "65001") return kCodePageUtf8;
    if (lower.empty() || lower.size() > 5) return 0;
    unsigned number = 0;
    for (char c : lower) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

unsigned CodePageForLocale(std::string_view localeName) {
    // language[_territory][.codeset][@modifier]; the codeset does not matter to Wine.
    std::string_view modifier;
    if (const std::size_t at = localeName.find('@'); at != std::string_view::npos) {
        modifier = localeName.substr(at + 1);
        localeName = localeName.substr(0, at);
    }
    localeName = localeName.substr(0, localeName.find('.'));
    const std::size_t underscore = localeName.find('_');
    const std::string language = LowerCase(localeName.substr(0, underscore));
    const std::string territory =
        underscore == std::string_view::npos ? std::string() : LowerCase(localeName.substr(underscore + 1));
    const std::string script = LowerCase(modifier);

    if (language == "zh") return territory == "tw" || territory == "hk" || territory == "mo" ? 950 : 936;
    for (const LanguageCodePage& entry : kLanguages) {
        if (entry.Language == language && (entry.Modifier.empty() || entry.Modifier == script)) return entry.CodePage;
    }
    return kCodePageWestern;
}

std::string EnvironmentLocaleName() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = current != nullptr ? current : "C";
    const char* chosen = std::setlocale(LC_CTYPE, "");
    // A locale that is not installed leaves the C locale, as it does for Wine.
    const std::string name = chosen != nullptr ? chosen : "C";
    std::setlocale(LC_CTYPE, saved.c_str());
    return name;
}

unsigned LocaleCodePage() { return CodePageForLocale(EnvironmentLocaleName()); }

}  // namespace quorvel
