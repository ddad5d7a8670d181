#include "batch/TextWindows.h"

#include <windows.h>

#include <string>

namespace quorvel {

bool ToUtf16(unsigned codePage, std::string_view bytes, std::wstring& wide, Conversion how) {
    wide.clear();
    if (bytes.empty()) return true;
    const DWORD flags = how == Conversion::Strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(bytes.size());
    const int size = ::MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0) return false;
    wide.resize(static_cast<size_t>(size));
    if (::MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), size) == size) return true;
    wide.clear();
    return false;
}

bool FromUtf16(unsigned codePage, std::wstring_view wide, std::string& bytes, Conversion how) {
    bytes.clear();
    if (wide.empty()) return true;
    // Strict into a code page other than UTF-8 goes without best fit, which could turn a
    // look-alike into a quote or a backslash, or a letter into another: every character either
    // has its own bytes or counts as missing.
    const bool strict = how == Conversion::Strict;
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = !strict ? 0 : utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const noteDefault = strict && !utf8 ? &usedDefault : nullptr;
    const int length = static_cast<int>(wide.size());
    const int size = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, noteDefault);
    if (size <= 0 || usedDefault) return false;
    bytes.resize(static_cast<size_t>(size));
    if (::WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), size, nullptr, noteDefault) == size &&
        !usedDefault)
        return true;
    bytes.clear();
    return false;
}

std::wstring Widen(std::string_view utf8) {
    std::wstring wide;
    ToUtf16(CP_UTF8, utf8, wide, Conversion::Lenient);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    std::string utf8;
    FromUtf16(CP_UTF8, utf16, utf8, Conversion::Lenient);
    return utf8;
}

std::string ToAnsi(std::wstring_view utf16) {
    std::string ansi;
    FromUtf16(CP_ACP, utf16, ansi, Conversion::Lenient);
    return ansi;
}

std::wstring FromAnsi(std::string_view ansi) {
    std::wstring wide;
    ToUtf16(CP_ACP, ansi, wide, Conversion::Lenient);
    return wide;
}

std::wstring SystemErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr,
                         error,
                         0,
                         reinterpret_cast<wchar_t*>(&buffer),
                         0,
                         nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? L"error " + std::to_wstring(error) : text;
}

std::wstring LiteralPath(std::wstring path) {
    const bool full = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    // The literal form skips the clean-up of "." and ".." and of forward slashes, so only a
    // path that needs none is given in it.
    if (!full || path.find(L'/') != std::wstring::npos || path.find(L"\\.") != std::wstring::npos) return path;
    return L"\\\\?\\" + path;
}

}  // namespace quorvel
