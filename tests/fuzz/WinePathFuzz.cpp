// Naming a POSIX path through drive links. Input: lines "<letter byte><target>", then the path.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "cli/WinePath.h"

namespace {

std::string Normalised(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string joined;
    for (std::string_view part : parts) joined.append("/").append(part);
    return joined.empty() ? "/" : joined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<quorvel::cli::DriveLink> links;
    bool used[26] = {};
    std::size_t newline;
    while ((newline = bytes.find('\n')) != std::string_view::npos) {
        const std::string_view line = bytes.substr(0, newline);
        bytes.remove_prefix(newline + 1);
        if (line.empty()) continue;
        const unsigned char first = static_cast<unsigned char>(line[0]);
        const int letter = (first >= 'A' && first <= 'Z')   ? first - 'A'
                           : (first >= 'a' && first <= 'z') ? first - 'a'
                                                            : first % 26;
        if (used[letter]) continue;  // one link per drive, as in a prefix
        used[letter] = true;
        links.push_back({static_cast<char>('A' + letter), std::string(line.substr(1))});
    }
    const std::string_view path = bytes;

    const std::optional<std::string> windows = quorvel::cli::MapToWinePath(path, links);
    if (path.empty() || path.front() != '/') FUZZ_CHECK(!windows);
    if (!windows) return 0;

    FUZZ_CHECK(windows->size() >= 3);
    FUZZ_CHECK((*windows)[0] >= 'A' && (*windows)[0] <= 'Z');
    FUZZ_CHECK(windows->compare(1, 2, ":\\") == 0);
    FUZZ_CHECK(windows->find('/') == std::string::npos);
    FUZZ_CHECK(windows->find("\\\\") == std::string::npos);
    FUZZ_CHECK(windows->size() == 3 || windows->back() != '\\');
    FUZZ_CHECK(quorvel::cli::IsWindowsForm(*windows));

    // Back through the same links it must name the same file.
    const std::optional<std::string> back = quorvel::cli::MapFromWinePath(*windows, links);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(Normalised(*back) == Normalised(path));
    return 0;
}
