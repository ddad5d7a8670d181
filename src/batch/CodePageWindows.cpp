// Code pages and short names through the system, on Windows.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "batch/CodePage.h"
#include "batch/TextWindows.h"
#include "batch/EncoderPaths.h"
#include "batch/Utf8.h"

namespace quorvel {
namespace {

using win::Conversion;

// Bytes of one code page as another's, through UTF-16; false where a character does not convert.
bool Recode(unsigned from, std::string_view text, unsigned to, std::string& out) {
    std::wstring wide;
    return win::ToUtf16(from, text, wide, Conversion::Strict) && win::FromUtf16(to, wide, out, Conversion::Strict);
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

// What a path opens: its volume and file index. Nothing where it opens nothing. Folders open
// too, and nothing is read, so no access is asked for.
std::optional<std::pair<DWORD, ULONGLONG>> Identity(std::wstring path) {
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
    const bool known = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!known) return std::nullopt;
    return std::pair(information.dwVolumeSerialNumber,
                     (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow);
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
    std::wstring given;
    if (!win::ToUtf16(kCodePageUtf8, path, given, Conversion::Strict) || given.empty()) return std::nullopt;
    const std::wstring wide = win::LiteralPath(given);
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
    if (!win::FromUtf16(kCodePageUtf8, shortPath, utf8, Conversion::Strict)) return std::nullopt;
    if (shortPath == given) return ShortForm(std::move(utf8));
    // The short path as the encoder will open it, against the long one taken literally.
    const auto longFile = Identity(wide);
    if (!longFile) return std::nullopt;
    return ShortForm(std::move(utf8), Identity(shortPath) == longFile);
}

std::optional<ShortForm> SystemShortPathOfNewFile(const std::string& path) {
    if (std::optional<ShortForm> existing = SystemShortPath(path)) return existing;
    std::wstring wide;
    if (!win::ToUtf16(kCodePageUtf8, path, wide, Conversion::Strict) || wide.empty()) return std::nullopt;
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
