#include "cli/WinePath.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quorvel::cli {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool HasDrive(std::string_view path) { return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':'; }

// The components of a path split at any of the separators; "." and empty ones dropped, ".."
// taking one back (never above the root).
std::vector<std::string_view> Components(std::string_view path, std::string_view separators) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of(separators, start);
        if (end == std::string_view::npos) end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string Join(std::string head, const std::vector<std::string_view>& parts, std::size_t from, char separator) {
    for (std::size_t i = from; i < parts.size(); ++i) {
        if (head.empty() || head.back() != separator) head += separator;
        head += parts[i];
    }
    return head;
}

}  // namespace

bool IsWindowsForm(std::string_view path) { return HasDrive(path) || path.find('\\') != std::string_view::npos; }

bool IsWindowsFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

std::optional<std::string> MapToWinePath(std::string_view posixPath, const std::vector<DriveLink>& links) {
    if (posixPath.empty() || posixPath.front() != '/') return std::nullopt;
    const std::vector<std::string_view> parts = Components(posixPath, "/");

    char letter = 'Z';
    std::size_t matched = 0;
    bool found = false;
    for (const DriveLink& link : links) {
        if (link.Target.empty() || link.Target.front() != '/') continue;
        const std::vector<std::string_view> target = Components(link.Target, "/");
        if (target.size() > parts.size() || !std::equal(target.begin(), target.end(), parts.begin())) continue;
        // Longest link first; between equal ones the first letter, as Wine looks drives up.
        if (!found || target.size() > matched || (target.size() == matched && UpperLetter(link.Letter) < letter)) {
            found = true;
            matched = target.size();
            letter = UpperLetter(link.Letter);
        }
    }
    if (!found) {
        // Z: stands for "/" only while no link gives Z: another meaning.
        for (const DriveLink& link : links) {
            if (UpperLetter(link.Letter) == 'Z' && !link.Target.empty() && link.Target.front() == '/')
                return std::nullopt;
        }
        letter = 'Z';
        matched = 0;
    }
    for (std::size_t i = matched; i < parts.size(); ++i) {
        if (!IsWindowsFileName(parts[i])) return std::nullopt;
    }
    return Join(std::string{letter, ':', '\\'}, parts, matched, '\\');
}

std::optional<std::string> MapFromWinePath(std::string_view windowsPath, const std::vector<DriveLink>& links) {
    if (!HasDrive(windowsPath)) return std::nullopt;
    if (windowsPath.size() > 2 && windowsPath[2] != '\\' && windowsPath[2] != '/') return std::nullopt;
    const char letter = UpperLetter(windowsPath[0]);
    std::optional<std::string> target;
    for (const DriveLink& link : links) {
        if (UpperLetter(link.Letter) == letter && !link.Target.empty() && link.Target.front() == '/') {
            target = Join("/", Components(link.Target, "/"), 0, '/');
            break;
        }
    }
    if (!target && letter == 'Z') target = "/";
    if (!target) return std::nullopt;
    return Join(*target, Components(windowsPath.substr(2), "\\/"), 0, '/');
}

std::optional<std::string> FullWindowsForm(std::string_view path, std::string_view currentDirectory) {
    if (path.empty()) return std::nullopt;
    std::string form(path);
    std::replace(form.begin(), form.end(), '/', '\\');
    if (HasDrive(form)) {
        if (form.size() == 2) return form + '\\';
        if (form[2] == '\\') return form;
        return std::nullopt;
    }
    if (form.starts_with("\\\\")) return form;
    if (form.front() == '\\') {
        if (!HasDrive(currentDirectory)) return std::nullopt;
        return std::string(currentDirectory.substr(0, 2)) + form;
    }
    std::string base(currentDirectory);
    if (base.empty()) return std::nullopt;
    if (base.back() != '\\') base += '\\';
    return base + form;
}

std::string WinePrefixDirectory() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') return prefix;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return std::string(home) + "/.wine";
    return {};
}

std::vector<DriveLink> ReadDosDevices(const std::string& prefix) {
    namespace fs = std::filesystem;
    std::vector<DriveLink> links;
    if (prefix.empty()) return links;
    const fs::path devices = fs::path(prefix) / "dosdevices";
    std::error_code ec;
    for (fs::directory_iterator it(devices, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // Only drives: "c:"; "com1" and the raw devices "d::" are no directories.
        if (!HasDrive(name) || name.size() != 2) continue;
        std::error_code linkError;
        fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError) continue;
        if (target.is_relative()) target = devices / target;
        const fs::path resolved = fs::canonical(target, linkError);
        if (linkError || !fs::is_directory(resolved, linkError)) continue;
        links.push_back({UpperLetter(name[0]), resolved.string()});
    }
    std::sort(links.begin(), links.end(), [](const DriveLink& a, const DriveLink& b) { return a.Letter < b.Letter; });
    return links;
}

}  // namespace quorvel::cli
