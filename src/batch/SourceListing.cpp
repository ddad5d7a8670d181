#include "SourceListing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Utf8.h"

namespace quorvel {
namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// '*' any run, '?' one character; both texts already folded.
bool WildcardMatch(std::u32string_view name, std::u32string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::u32string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        // The wildcard test comes first: a name may hold a '*' itself.
        if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starPattern != std::u32string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

// Orders two runs of ASCII digits by value, whatever their length and leading zeros.
int CompareNumbers(std::string_view a, std::string_view b) {
    const auto significant = [](std::string_view digits) {
        const std::size_t first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : digits.substr(first);
    };
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int compared = a.compare(b);
    return compared < 0 ? -1 : (compared > 0 ? 1 : 0);
}

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The folded code point at text[pos], advancing pos; ASCII, the usual case, without decoding.
char32_t NextFolded(std::string_view text, std::size_t& pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return FoldCase(byte);
    }
    return FoldCase(NextCodePoint(text, pos));
}

// Names as runs of characters and numbers, compared folded, straight from UTF-8 so that sorting
// a large folder needs no folded copies: a number sorts as a digit would, after the characters
// below '0' and before those above '9'.
int CompareNatural(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsAsciiDigit(a[i]) && IsAsciiDigit(b[j])) {
            std::size_t endA = i;
            while (endA < a.size() && IsAsciiDigit(a[endA])) ++endA;
            std::size_t endB = j;
            while (endB < b.size() && IsAsciiDigit(b[endB])) ++endB;
            const int compared = CompareNumbers(a.substr(i, endA - i), b.substr(j, endB - j));
            if (compared != 0) return compared;
            i = endA;
            j = endB;
            continue;
        }
        char32_t ca = NextFolded(a, i);
        char32_t cb = NextFolded(b, j);
        if (IsDigit(ca)) ca = U'0';
        if (IsDigit(cb)) cb = U'0';
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

Status CannotRead(const std::string& directory, const std::string& reason) {
    return Status::Fail("Cannot read the folder " + directory + ": " + reason);
}

std::string ReasonOf(const std::error_code& error) {
    if (error == std::errc::no_such_file_or_directory) return "folder not found";
    if (error == std::errc::not_a_directory) return "it is not a folder";
    if (error == std::errc::permission_denied) return "access denied";
    return error.message();
}

// The ordinary files of a folder and, when asked for, its subfolders that are not links.
Status ReadFolder(const std::filesystem::path& folder, const std::string& shown, std::vector<std::string>& files,
                  std::vector<std::string>* subfolders) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) return CannotRead(shown, ReasonOf(error));
    for (const std::filesystem::directory_iterator end; entries != end; entries.increment(error)) {
        if (error) return CannotRead(shown, ReasonOf(error));
        std::error_code typeError;
        std::vector<std::string>* into = nullptr;
        if (entries->is_regular_file(typeError)) {
            into = &files;
        } else if (subfolders != nullptr && !entries->is_symlink(typeError) && entries->is_directory(typeError)) {
            into = subfolders;
        }
        if (into == nullptr) continue;
        try {
            const std::u8string name = entries->path().filename().u8string();
            into->emplace_back(name.begin(), name.end());
        } catch (const std::exception&) {
            // A name that has no UTF-8 form cannot be written into a list; leave it out.
        }
    }
    if (error) return CannotRead(shown, ReasonOf(error));
    return Status::Ok();
}

}  // namespace

std::string FilePatternOfItem(std::string_view itemText) { return std::string(itemText.substr(0, itemText.find('('))); }

bool MatchesFilePattern(std::string_view name, std::string_view pattern) {
    const std::u32string foldedName = FoldedCodePoints(name);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = pattern.find(';', start);
        std::string_view part =
            pattern.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (!part.empty()) {
            if (part == "*.*" || WildcardMatch(foldedName, FoldedCodePoints(part))) return true;
        }
        if (end == std::string_view::npos) return false;
        start = end + 1;
    }
}

bool ExplorerNameLess(std::string_view a, std::string_view b) {
    const int compared = CompareNatural(a, b);
    if (compared != 0) return compared < 0;
    return a < b;
}

std::vector<std::string> SelectSourceNames(std::vector<std::string> names, std::string_view pattern) {
    std::erase_if(names, [&](const std::string& name) { return !MatchesFilePattern(name, pattern); });
    std::sort(
        names.begin(), names.end(), [](const std::string& x, const std::string& y) { return ExplorerNameLess(x, y); });
    return names;
}

Status ListSourceFiles(const std::string& directory, std::string_view pattern, std::vector<std::string>& names) {
    names.clear();
    try {
        std::vector<std::string> found;
        Status read = ReadFolder(PathOf(directory), directory, found, nullptr);
        if (!read) return read;
        names = SelectSourceNames(std::move(found), pattern);
        return Status::Ok();
    } catch (const std::exception& failure) {
        return CannotRead(directory, failure.what());
    }
}

Status ListSourceTree(const std::string& directory, std::string_view pattern, std::vector<FolderFiles>& folders) {
    folders.clear();
    struct Pending {
        std::filesystem::path Folder;
        std::vector<std::string> Path;
    };
    try {
        // Depth first without recursion: a deep tree cannot exhaust the stack.
        std::vector<Pending> pending;
        pending.push_back({PathOf(directory), {}});
        while (!pending.empty()) {
            Pending current = std::move(pending.back());
            pending.pop_back();
            std::string shown = directory;
            for (const std::string& name : current.Path) shown += "/" + name;
            std::vector<std::string> files;
            std::vector<std::string> subfolders;
            Status read = ReadFolder(current.Folder, shown, files, &subfolders);
            if (!read) return read;
            files = SelectSourceNames(std::move(files), pattern);
            if (!files.empty()) folders.push_back({current.Path, std::move(files)});
            std::sort(subfolders.begin(), subfolders.end(), [](const std::string& x, const std::string& y) {
                return ExplorerNameLess(x, y);
            });
            for (auto sub = subfolders.rbegin(); sub != subfolders.rend(); ++sub) {
                std::vector<std::string> path = current.Path;
                path.push_back(*sub);
                pending.push_back({current.Folder / PathOf(*sub), std::move(path)});
            }
        }
        return Status::Ok();
    } catch (const std::exception& failure) {
        return CannotRead(directory, failure.what());
    }
}

}  // namespace quorvel
