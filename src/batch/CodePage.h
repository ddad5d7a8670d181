#pragma once

// The code page a batch list is written in: the encoder reads its paths in the ANSI code page
// of the machine it runs on, so a name that page cannot hold names no file for it.

#include <memory>
#include <string>
#include <string_view>

#include "Status.h"

namespace quorvel {

inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageWestern = 1252;

// One code page, both ways: the list writer encodes, a reader of lists decodes. Texts on our
// side are UTF-8.
class CodePage {
public:
    virtual ~CodePage() = default;

    // The number Windows knows the code page by (932, 1252, 65001).
    virtual unsigned Number() const = 0;

    // The bytes of the text in this code page. False, with bytes unspecified, when a character
    // has no form here that reads back as the same character, or the text is not UTF-8.
    virtual bool Encode(std::string_view utf8, std::string& bytes) const = 0;

    // The UTF-8 text of bytes in this code page. False when a byte sequence stands for nothing.
    virtual bool Decode(std::string_view bytes, std::string& utf8) const = 0;

    bool Holds(std::string_view utf8) const {
        std::string bytes;
        return Encode(utf8, bytes);
    }
};

// The converter for a code page number. Fails, naming the number, for a code page this system
// cannot convert.
Status OpenCodePage(unsigned number, std::unique_ptr<CodePage>& codePage);

// The code page the encoder reads lists in here: on Windows the system ANSI code page; elsewhere
// the one Wine derives from the locale (LocaleCodePage).
unsigned PlatformCodePage();

// "932", "1251", "UTF-8": how messages and the help name a code page.
std::string CodePageLabel(unsigned number);

// Reads "932" or "utf-8" (any letter case, "utf8" too); 0 for anything else.
unsigned ParseCodePage(std::string_view text);

// The ANSI code page Wine gives a POSIX locale name such as "ja_JP.UTF-8" or "sr_RS@latin":
// decided by language, territory and script, UTF-8 for the languages Windows writes in Unicode
// only; C, POSIX and every locale Wine does not know give 1252.
unsigned CodePageForLocale(std::string_view localeName);

// The locale name the environment selects for character types (LC_ALL, LC_CTYPE, LANG), as
// setlocale finds it: "C" when that locale is not installed. Leaves the program's locale as it was.
std::string EnvironmentLocaleName();

// CodePageForLocale(EnvironmentLocaleName()).
unsigned LocaleCodePage();

}  // namespace quorvel
