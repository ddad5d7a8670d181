#pragma once

// UTF-8 inside quorvel-batch, UTF-16 at the Windows API.

#include <string>
#include <string_view>

namespace quorvel::cli {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace quorvel::cli
