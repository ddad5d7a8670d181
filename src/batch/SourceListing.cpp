#include "SourceListing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "ExplorerOrder.h"
#include "Utf8.h"

namespace quorvel {
namespace {

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

// The ";"-separated parts of a pattern, folded once for every name they are matched against;
// the blanks that end a part carry no meaning, and an empty part matches nothing.
std::vector<std::u32string> PatternParts(std::string_view pattern) {
    std::vector<std::u32string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = pattern.find(';', start);
        std::string_view part =
            pattern.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (!part.empty()) parts.push_back(FoldedCodePoints(part));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool MatchesAnyPart(const std::u32string& foldedName, const std::vector<std::u32string>& parts) {
    for (const std::u32string& part : parts)
        if (part == U"*.*" || WildcardMatch(foldedName, part)) return true;
    return false;
}

// The names in Explorer's order, each turned into its key once.
void SortInExplorerOrder(std::vector<std::string>& names) {
    std::vector<std::pair<ExplorerOrderKey, std::size_t>> keyed;
    keyed.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) keyed.emplace_back(ExplorerOrderKeyOf(names[i]), i);
    const auto before = [&](const auto& x, const auto& y) {
        const int compared = CompareExplorerOrderKeys(x.first, y.first);
        return compared != 0 ? compared < 0 : names[x.second] < names[y.second];
    };
    // Where the order is slow, the cheap hints sort first and the order itself only checks each
    // name against the next; the full sort runs only where the hints were wrong.
    const std::vector<std::u32string> hints = ExplorerOrderHints(names);
    if (!hints.empty()) {
        std::sort(keyed.begin(), keyed.end(), [&](const auto& x, const auto& y) {
            const std::u32string& a = hints[x.second];
            const std::u32string& b = hints[y.second];
            return a != b ? a < b : names[x.second] < names[y.second];
        });
    }
    if (hints.empty() || !std::is_sorted(keyed.begin(), keyed.end(), before))
        std::sort(keyed.begin(), keyed.end(), before);
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto& entry : keyed) sorted.push_back(std::move(names[entry.second]));
    names = std::move(sorted);
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
    return MatchesAnyPart(FoldedCodePoints(name), PatternParts(pattern));
}

bool ExplorerNameLess(std::string_view a, std::string_view b) {
    const int compared = CompareExplorerOrderKeys(ExplorerOrderKeyOf(a), ExplorerOrderKeyOf(b));
    if (compared != 0) return compared < 0;
    return a < b;
}

std::vector<std::string> SelectSourceNames(std::vector<std::string> names, std::string_view pattern) {
    const std::vector<std::u32string> parts = PatternParts(pattern);
    std::erase_if(names, [&](const std::string& name) { return !MatchesAnyPart(FoldedCodePoints(name), parts); });
    SortInExplorerOrder(names);
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
            SortInExplorerOrder(subfolders);
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
