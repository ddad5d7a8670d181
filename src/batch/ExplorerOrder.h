#pragma once

// Explorer's order of file names, from the platform: StrCmpLogicalW on Windows (and under
// Wine); elsewhere the C library's collation of the locale (LC_ALL, LC_COLLATE, LANG) with
// numbers by value and letter case ignored. Names are UTF-8; each is turned into a key once.

#include <string>
#include <string_view>

namespace quorvel {

using ExplorerOrderKey = std::wstring;

ExplorerOrderKey ExplorerOrderKeyOf(std::string_view name);

// Negative, zero or positive as a comes before, with or after b; zero for names the order does
// not tell apart (letter case alone, leading zeros).
int CompareExplorerOrderKeys(const ExplorerOrderKey& a, const ExplorerOrderKey& b);

}  // namespace quorvel
