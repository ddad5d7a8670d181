// The system ANSI code page for the batch list, on Windows.

#include <windows.h>

#include <string>
#include <string_view>

#include "batch/BatchList.h"
#include "batch/Utf8.h"

namespace quorvel {
namespace {

// Bytes that are not UTF-8 become '?' here already, so every code page shows them alike.
std::wstring ToUtf16(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, pos);
        if (IsInvalidByte(c)) {
            wide += L'?';
        } else if (c >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(c);
        }
    }
    return wide;
}

std::string EncodeSystemAnsi(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const std::wstring wide = ToUtf16(utf8);
    const int wideLength = static_cast<int>(wide.size());
    // Best-fit mapping could turn a look-alike into a quote or a backslash and break the
    // quoted paths, so characters the code page lacks become '?'.
    const bool utf8CodePage = GetACP() == CP_UTF8;
    const UINT codePage = utf8CodePage ? CP_UTF8 : CP_ACP;
    const DWORD flags = utf8CodePage ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* defaultChar = utf8CodePage ? nullptr : "?";
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, defaultChar, nullptr);
    if (size <= 0) return std::string(wide.size(), '?');
    std::string encoded(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), wideLength, encoded.data(), size, defaultChar, nullptr);
    return encoded;
}

}  // namespace

AnsiEncoder PlatformAnsiEncoder() { return &EncodeSystemAnsi; }

}  // namespace quorvel
