#include "CodePage.h"

#include <clocale>

namespace quorvel {
namespace {

// The locales whose ANSI code page under Wine is not 1252, by the names glibc gives them, as
// Wine 8 answers GetACP in each. Wine knows a locale by language, territory and script; a name
// it does not know (sr_RS, ru_UA, az_AZ) falls back to 1252. Languages Windows writes in Unicode
// only get UTF-8.
struct LocalesOfCodePage {
    unsigned CodePage;
    std::string_view Names;  // blank-separated
};

constexpr LocalesOfCodePage kLocales[] = {
    {874, "th_TH"},
    {932, "ja_JP"},
    {936, "zh_CN zh_SG"},
    {949, "ko_KR"},
    {950, "zh_HK zh_TW"},
    {1250, "cs_CZ hr_HR hu_HU pl_PL ro_RO sk_SK sl_SI sq_AL sr_RS@latin tk_TM"},
    {1251, "be_BY bg_BG ky_KG mk_MK mn_MN ru_RU sah_RU tg_TJ tt_RU uk_UA uz_UZ@cyrillic"},
    {1253, "el_GR"},
    {1254, "tr_TR"},
    {1255, "he_IL"},
    {1256,
     "ar_AE ar_BH ar_DZ ar_EG ar_IQ ar_JO ar_KW ar_LB ar_LY ar_MA ar_OM ar_QA ar_SA ar_SY ar_TN ar_YE ckb_IQ fa_IR "
     "ug_CN ur_IN ur_PK"},
    {1257, "et_EE lt_LT lv_LV"},
    {1258, "vi_VN"},
    {kCodePageUtf8,
     "am_ET as_IN bn_BD bn_IN bo_CN chr_US dv_MV dz_BT gu_IN hi_IN hy_AM ka_GE kk_KZ km_KH kn_IN kok_IN "
     "ks_IN@devanagari lo_LA mi_NZ ml_IN mni_IN mr_IN mt_MT my_MM ne_NP om_ET or_IN pa_IN ps_AF sa_IN "
     "sd_IN@devanagari si_LK so_SO st_ZA syr ta_IN ta_LK te_IN ti_ER ti_ET ts_ZA ve_ZA"},
};

// The modifiers Wine reads as a script; it passes over any other (euro, valencia, iqtelif).
constexpr std::string_view kScripts[] = {"latin", "cyrillic", "devanagari"};

bool Listed(std::string_view names, std::string_view name) {
    while (!names.empty()) {
        const std::size_t blank = names.find(' ');
        if (names.substr(0, blank) == name) return true;
        if (blank == std::string_view::npos) break;
        names.remove_prefix(blank + 1);
    }
    return false;
}

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
    std::string modifier;
    if (const std::size_t at = localeName.find('@'); at != std::string_view::npos) {
        modifier = LowerCase(localeName.substr(at + 1));
        localeName = localeName.substr(0, at);
    }
    localeName = localeName.substr(0, localeName.find('.'));
    const std::size_t underscore = localeName.find('_');
    std::string name = LowerCase(localeName.substr(0, underscore));
    if (underscore != std::string_view::npos) {
        name += '_';
        for (char c : localeName.substr(underscore + 1)) name += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    for (std::string_view script : kScripts) {
        if (modifier == script) name += "@" + modifier;
    }
    for (const LocalesOfCodePage& entry : kLocales) {
        if (Listed(entry.Names, name)) return entry.CodePage;
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
