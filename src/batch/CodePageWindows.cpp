// Code pages and short names through the system, on Windows.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "batch/CodePage.h"
#include "batch/TextWindows.h"
#include "batch/EncoderPaths.h"
#include "batch/Utf8.h"

namespace quorvel {
namespace {

// Bytes of one code page as another's, through UTF-16; false where a character does not convert.
bool Recode(unsigned from, std::string_view text, unsigned to, std::string& out) {
    std::wstring wide;
    return ToUtf16(from, text, wide, Conversion::Strict) && FromUtf16(to, wide, out, Conversion::Strict);
}

class SystemCodePage final : public CodePage {
public:
    explicit SystemCodePage(unsigned number) : number_(number) {}

    unsigned Number() const override { return number_; }

    bool Encode(std::string_view utf8, std::string& bytes) const override {
        bytes.clear();
        if (CopiedAsAscii(utf8, bytes)) return true;
        return Recode(kCodePageUtf8, utf8, number_, bytes);
    }

    bool Decode(std::string_view bytes, std::string& utf8) const override {
        utf8.clear();
        if (CopiedAsAscii(bytes, utf8)) return true;
        return Recode(number_, bytes, kCodePageUtf8, utf8);
    }

private:
    unsigned number_;
};

// What a path opens: its volume, file index and, when asked, its final path. Nothing where it
// opens nothing. Folders open too, and nothing is read, so no access is asked for.
struct Opened {
    DWORD Volume = 0;
    ULONGLONG Index = 0;
    std::wstring Path;
};

std::optional<Opened> Open(std::wstring path, bool withPath) {
    // "C:\" and "\\?\C:\" keep their backslash; a folder given as "C:\Video\" is "C:\Video".
    if (path.size() > 3 && path.back() == L'\\' && path[path.size() - 2] != L':') path.pop_back();
    HANDLE file = CreateFileW(path.c_str(),
                              0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    std::optional<Opened> opened;
    if (GetFileInformationByHandle(file, &information)) {
        opened = Opened{information.dwVolumeSerialNumber,
                        (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow,
                        {}};
    }
    if (opened && withPath) {
        opened->Path.resize(GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED));
        opened->Path.resize(GetFinalPathNameByHandleW(
            file, opened->Path.data(), static_cast<DWORD>(opened->Path.size()), FILE_NAME_NORMALIZED));
        if (opened->Path.starts_with(L"\\\\?\\") && opened->Path.find(L':') == 5) opened->Path.erase(0, 4);
    }
    CloseHandle(file);
    return opened;
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The short names that more than one entry of a folder answers to. Under Wine, names that differ
// only in letter case, and now and then two others, get one short name, which opens only one of
// them; elsewhere short names are unique. Each folder is listed once: a source's folder and the
// folder above it may be asked about in turn for every source.
class SharedShortNames {
public:
    // True also where the folder cannot be listed: only opening the path tells then.
    bool Shared(const std::wstring& folder, const std::wstring& shortName) {
        auto known = folders_.find(folder);
        if (known == folders_.end()) known = folders_.emplace(folder, Read(folder)).first;
        return !known->second || known->second->contains(Upper(shortName));
    }

private:
    using Names = std::unordered_set<std::wstring>;

    static std::optional<Names> Read(const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW(LiteralPath(folder + L"*").c_str(),
                                       FindExInfoStandard,
                                       &data,
                                       FindExSearchNameMatch,
                                       nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) return std::nullopt;
        Names seen;
        Names shared;
        do {
            // A name that is a short name already answers to itself.
            std::wstring name = Upper(data.cAlternateFileName[0] ? data.cAlternateFileName : data.cFileName);
            if (!seen.insert(name).second) shared.insert(std::move(name));
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return shared;
    }

    // Only the shared names are kept, so a folder of any size costs little once listed.
    std::unordered_map<std::wstring, std::optional<Names>> folders_;
};

// Whether the short path may open another file than the long one: a name in it is a short name
// that another entry of its folder answers to as well.
bool MayOpenAnother(const std::wstring& longPath, const std::wstring& shortPath, SharedShortNames& shared) {
    std::size_t longAt = 0;
    std::size_t shortAt = 0;
    for (;;) {
        const std::size_t longEnd = longPath.find(L'\\', longAt);
        const std::size_t shortEnd = shortPath.find(L'\\', shortAt);
        const std::wstring shortName = shortPath.substr(shortAt, shortEnd - shortAt);
        if (longPath.compare(longAt, longEnd - longAt, shortName) != 0 &&
            shared.Shared(longPath.substr(0, longAt), shortName))
            return true;
        if (longEnd == std::wstring::npos || shortEnd == std::wstring::npos) return longEnd != shortEnd;
        longAt = longEnd + 1;
        shortAt = shortEnd + 1;
    }
}

std::optional<ShortForm> ShortFormOf(const std::string& path, SharedShortNames& shared) {
    std::wstring given;
    if (!ToUtf16(kCodePageUtf8, path, given, Conversion::Strict) || given.empty()) return std::nullopt;
    const std::wstring wide = LiteralPath(given);
    std::wstring shortPath(MAX_PATH, L'\0');
    // A size asked for twice and still too small would be asked for without end.
    for (int attempt = 0;; ++attempt) {
        const DWORD length = GetShortPathNameW(wide.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
        if (length == 0 || attempt == 2) return std::nullopt;
        if (length < shortPath.size()) {
            shortPath.resize(length);
            break;
        }
        shortPath.resize(length);
    }
    if (wide.size() != given.size() && shortPath.starts_with(L"\\\\?\\")) shortPath.erase(0, 4);
    std::string utf8;
    if (!FromUtf16(kCodePageUtf8, shortPath, utf8, Conversion::Strict)) return std::nullopt;
    if (shortPath == given || !MayOpenAnother(given, shortPath, shared)) return ShortForm(std::move(utf8));
    // The short path as the encoder will open it, against the long one taken literally.
    const std::optional<Opened> longFile = Open(wide, false);
    if (!longFile) return std::nullopt;
    const std::optional<Opened> shortFile = Open(shortPath, true);
    if (shortFile && shortFile->Volume == longFile->Volume && shortFile->Index == longFile->Index)
        return ShortForm(std::move(utf8));
    ShortForm other(std::move(utf8), false);
    if (shortFile) FromUtf16(kCodePageUtf8, shortFile->Path, other.OpensInstead, Conversion::Lenient);
    return other;
}

}  // namespace

Status OpenCodePage(unsigned number, std::unique_ptr<CodePage>& codePage) {
    if (number == 0 || !IsValidCodePage(number)) {
        return Status::Fail("This system cannot convert text to the code page " + CodePageLabel(number));
    }
    codePage = std::make_unique<SystemCodePage>(number);
    return Status::Ok();
}

unsigned PlatformCodePage() { return GetACP(); }

std::optional<ShortForm> SystemShortPath(const std::string& path) {
    SharedShortNames shared;
    return ShortFormOf(path, shared);
}

ShortPathLookup SystemShortPaths() {
    return
        [shared = std::make_shared<SharedShortNames>()](const std::string& path) { return ShortFormOf(path, *shared); };
}

std::optional<ShortForm> SystemShortPathOfNewFile(const std::string& path) {
    if (std::optional<ShortForm> existing = SystemShortPath(path)) return existing;
    std::wstring wide;
    if (!ToUtf16(kCodePageUtf8, path, wide, Conversion::Strict) || wide.empty()) return std::nullopt;
    // The volume decides whether a new name gets a short form, so a file is made to ask it.
    HANDLE probe = CreateFileW(wide.c_str(),
                               GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr,
                               CREATE_NEW,
                               FILE_FLAG_DELETE_ON_CLOSE,
                               nullptr);
    if (probe == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<ShortForm> shortPath = SystemShortPath(path);
    CloseHandle(probe);
    return shortPath;
}

}  // namespace quorvel
