// The file list pattern: a name and a pattern from one input, split at the first NUL.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "batch/SourceListing.h"

namespace {

char Folded(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Plain dynamic programming over bytes; valid for ASCII, where a byte is a character.
bool ReferencePart(std::string_view name, std::string_view part) {
    std::vector<std::vector<bool>> match(part.size() + 1, std::vector<bool>(name.size() + 1, false));
    match[0][0] = true;
    for (std::size_t p = 1; p <= part.size(); ++p) {
        match[p][0] = match[p - 1][0] && part[p - 1] == '*';
        for (std::size_t n = 1; n <= name.size(); ++n) {
            const char c = part[p - 1];
            if (c == '*') {
                match[p][n] = match[p - 1][n] || match[p][n - 1];
            } else {
                match[p][n] = match[p - 1][n - 1] && (c == '?' || Folded(c) == Folded(name[n - 1]));
            }
        }
    }
    return match[part.size()][name.size()];
}

bool ReferenceMatch(std::string_view name, std::string_view pattern) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = pattern.find(';', start);
        std::string_view part =
            pattern.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (!part.empty() && (part == "*.*" || ReferencePart(name, part))) return true;
        if (end == std::string_view::npos) return false;
        start = end + 1;
    }
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = bytes.find('\0');
    const std::string_view name = bytes.substr(0, nul);
    const std::string_view pattern = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);

    const bool matched = quorvel::MatchesFilePattern(name, pattern);
    if (IsAscii(name) && IsAscii(pattern) && pattern.size() <= 512 && name.size() <= 512) {
        FUZZ_CHECK(matched == ReferenceMatch(name, pattern));
    }
    FUZZ_CHECK(quorvel::MatchesFilePattern(name, "*.*"));

    // The order the matches are listed in must be a strict weak order.
    FUZZ_CHECK(!quorvel::ExplorerNameLess(name, name));
    FUZZ_CHECK(!(quorvel::ExplorerNameLess(name, pattern) && quorvel::ExplorerNameLess(pattern, name)));
    if (name != pattern) {
        FUZZ_CHECK(quorvel::ExplorerNameLess(name, pattern) || quorvel::ExplorerNameLess(pattern, name));
    }
    return 0;
}
