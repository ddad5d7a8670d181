#pragma once

// Explorer's order of file names, from the platform: StrCmpLogicalW on Windows (and under
// Wine); elsewhere the C library's collation of the locale (LC_ALL, LC_COLLATE, LANG) with
// numbers by value and letter case ignored. Names are UTF-8; each is turned into a key once.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

using ExplorerOrderKey = std::wstring;

ExplorerOrderKey ExplorerOrderKeyOf(std::string_view name);

// Negative, zero or positive as a comes before, with or after b; zero for names the order does
// not tell apart (letter case alone, leading zeros).
int CompareExplorerOrderKeys(const ExplorerOrderKey& a, const ExplorerOrderKey& b);

// Keys that compare as plain strings and put most lists of names in nearly this order, far
// cheaper than the order itself where that is slow; none (an empty list) where it is cheap.
// Sorting checks the result with the order itself, so a hint may be wrong for some names.
std::vector<std::u32string> ExplorerOrderHints(const std::vector<std::string>& names);

}  // namespace quorvel
