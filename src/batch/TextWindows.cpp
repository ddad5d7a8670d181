#include "batch/TextWindows.h"

#include <windows.h>

#include <string>

namespace quorvel::win {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(
        codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string Narrow(std::wstring_view utf16) { return FromWide(CP_UTF8, utf16); }
std::string ToAnsi(std::wstring_view utf16) { return FromWide(CP_ACP, utf16); }
std::wstring FromAnsi(std::string_view ansi) { return ToWide(CP_ACP, ansi); }

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

}  // namespace quorvel::win
