// Template lines: splitting a byte stream into lines, and the filter applied to each.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "batch/TemplateImport.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != word[i]) return false;
    }
    return true;
}

std::vector<std::string> Lines(std::string_view bytes, std::size_t cut) {
    std::vector<std::string> lines;
    quorvel::TemplateLineSplitter splitter;
    const auto onLine = [&](std::string_view line) { lines.emplace_back(line); };
    splitter.Feed(bytes.substr(0, cut), onLine);
    splitter.Feed(bytes.substr(cut), onLine);
    splitter.Finish(onLine);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Where the reads happen to cut the stream must not change the lines.
    const std::vector<std::string> whole = Lines(bytes, bytes.size());
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    FUZZ_CHECK(Lines(bytes, cut) == whole);

    std::string written;
    for (const std::string& line : whole) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        const std::size_t first = line.find_first_not_of(' ');
        const std::string_view trimmed =
            first == std::string::npos ? std::string_view()
                                       : std::string_view(line).substr(first, line.find_last_not_of(' ') - first + 1);
        const bool dropped = StartsWithNoCase(trimmed, "OBJECT") || StartsWithNoCase(trimmed, "END");
        const bool kept = quorvel::FilterTemplateLine(line, written);
        FUZZ_CHECK(kept != dropped);
        if (!kept) continue;
        const std::string expected = (StartsWithNoCase(trimmed, "MPEG") ? "JOB." : "") + std::string(trimmed);
        FUZZ_CHECK(written == expected);
    }
    return 0;
}
