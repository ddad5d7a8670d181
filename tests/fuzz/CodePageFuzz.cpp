// Text through a code page and back. Input: one byte choosing the code page, then the text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "batch/CodePage.h"

namespace {

const quorvel::CodePage& Page(std::uint8_t choice) {
    static constexpr unsigned kPages[] = {1252, 932, 1251, 936, 950, quorvel::kCodePageUtf8};
    static std::map<unsigned, std::unique_ptr<quorvel::CodePage>> opened;
    const unsigned number = kPages[choice % std::size(kPages)];
    std::unique_ptr<quorvel::CodePage>& page = opened[number];
    if (!page) FUZZ_CHECK(quorvel::OpenCodePage(number, page).IsOk());
    return *page;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const quorvel::CodePage& page = Page(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    // Whatever is encoded reads back as itself, and no '?' stands in for a letter.
    std::string bytes;
    if (page.Encode(text, bytes)) {
        std::string back;
        FUZZ_CHECK(page.Decode(bytes, back));
        FUZZ_CHECK(back == text);
        FUZZ_CHECK(std::count(bytes.begin(), bytes.end(), '?') == std::count(text.begin(), text.end(), '?'));
    }

    // Whatever a list could hold decodes to text that goes back into the code page.
    std::string decoded;
    if (page.Decode(text, decoded)) {
        std::string again;
        FUZZ_CHECK(page.Encode(decoded, again));
        std::string twice;
        FUZZ_CHECK(page.Decode(again, twice) && twice == decoded);
    }
    return 0;
}
