// Code pages and short names through the system, on Windows.

#include <windows.h>

#include <string>
#include <string_view>

#include "batch/CodePage.h"
#include "batch/TextWindows.h"
#include "batch/EncoderPaths.h"
#include "batch/Utf8.h"

namespace quorvel {
namespace {

bool WideFromUtf8(std::string_view utf8, std::wstring& wide) {
    wide.clear();
    if (utf8.empty()) return true;
    const int length = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (size <= 0) return false;
    wide.resize(static_cast<std::size_t>(size));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), size) == size;
}

bool Utf8FromWide(std::wstring_view wide, std::string& utf8) {
    utf8.clear();
    if (wide.empty()) return true;
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    utf8.resize(static_cast<std::size_t>(size));
    return WideCharToMultiByte(
               CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, utf8.data(), size, nullptr, nullptr) == size;
}

class SystemCodePage final : public CodePage {
public:
    explicit SystemCodePage(unsigned number) : number_(number) {}

    unsigned Number() const override { return number_; }

    bool Encode(std::string_view utf8, std::string& bytes) const override {
        bytes.clear();
        if (CopiedAsAscii(utf8, bytes)) return true;
        std::wstring wide;
        if (!WideFromUtf8(utf8, wide)) return false;
        if (number_ == kCodePageUtf8) return Utf8FromWide(wide, bytes);
        // Best fit could turn a look-alike into a quote or a backslash, or a letter into
        // another; without it every character either has its own bytes or counts as missing.
        const int length = static_cast<int>(wide.size());
        BOOL usedDefault = FALSE;
        const int size =
            WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &usedDefault);
        if (size <= 0 || usedDefault) return false;
        bytes.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(
            number_, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), size, nullptr, &usedDefault);
        return !usedDefault;
    }

    bool Decode(std::string_view bytes, std::string& utf8) const override {
        utf8.clear();
        if (CopiedAsAscii(bytes, utf8)) return true;
        const int length = static_cast<int>(bytes.size());
        const int size = MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
        if (size <= 0) return false;
        std::wstring wide(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), size);
        return Utf8FromWide(wide, utf8);
    }

private:
    unsigned number_;
};

}  // namespace

Status OpenCodePage(unsigned number, std::unique_ptr<CodePage>& codePage) {
    if (number == 0 || !IsValidCodePage(number)) {
        return Status::Fail("This system cannot convert text to the code page " + CodePageLabel(number));
    }
    codePage = std::make_unique<SystemCodePage>(number);
    return Status::Ok();
}

unsigned PlatformCodePage() { return GetACP(); }

std::optional<std::string> SystemShortPath(const std::string& path) {
    std::wstring given;
    if (!WideFromUtf8(path, given) || given.empty()) return std::nullopt;
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
    if (!Utf8FromWide(shortPath, utf8)) return std::nullopt;
    return utf8;
}

std::optional<std::string> SystemShortPathOfNewFile(const std::string& path) {
    if (std::optional<std::string> existing = SystemShortPath(path)) return existing;
    std::wstring wide;
    if (!WideFromUtf8(path, wide) || wide.empty()) return std::nullopt;
    // The volume decides whether a new name gets a short form, so a file is made to ask it.
    HANDLE probe = CreateFileW(wide.c_str(),
                               GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr,
                               CREATE_NEW,
                               FILE_FLAG_DELETE_ON_CLOSE,
                               nullptr);
    if (probe == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> shortPath = SystemShortPath(path);
    CloseHandle(probe);
    return shortPath;
}

}  // namespace quorvel
