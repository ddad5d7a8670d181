#pragma once

// Window text is UTF-16; the core speaks UTF-8; the common dialog and the registry tool lookups
// speak the system ANSI code page. Built into the core's Windows half, so quorvel-batch and the
// windows convert and describe errors alike.

#include <string>
#include <string_view>

namespace quorvel {

// The one conversion between a code page's bytes and UTF-16. Strict fails, with the output
// emptied, where some of the text does not convert (invalid bytes, an unpaired surrogate, a
// character the code page lacks); lenient puts U+FFFD or the code page's default in its place.
enum class Conversion { Lenient, Strict };
bool ToUtf16(unsigned codePage, std::string_view bytes, std::wstring& wide, Conversion how);
bool FromUtf16(unsigned codePage, std::wstring_view wide, std::string& bytes, Conversion how);

std::wstring Widen(std::string_view utf8);     // invalid bytes become U+FFFD
std::string Narrow(std::wstring_view utf16);   // unpaired surrogates become U+FFFD
std::string ToAnsi(std::wstring_view utf16);   // CP_ACP, '?' for what it cannot hold
std::wstring FromAnsi(std::string_view ansi);  // CP_ACP

// The literal (\\?\\) form of a full drive path, which Windows takes as it is: past MAX_PATH,
// and with a name's closing dot or blank kept. Any other path comes back unchanged.
std::wstring LiteralPath(std::wstring path);

// The system's text for an error code, without the closing full stop and line break.
std::wstring SystemErrorText(unsigned long error);

}  // namespace quorvel
