#pragma once

// Paths compared as the file system that the encoder writes to will compare them: letter case
// folded the way Windows folds it, for every script. Two sources with one output, an output that
// is its own source and a list named like one of its own files are found by these.

#include <string>
#include <string_view>

namespace quorvel {

// The path with every character upper-cased by the platform's simple case mapping and '/' read
// as '\'. Paths that SamePath finds equal have equal keys. On Windows the system's own file
// system casing (LCMapStringEx without linguistic rules); elsewhere towupper_l in C.UTF-8,
// applied to the characters Windows' case table covers.
std::u32string PathKey(std::string_view utf8);

// True when the file system takes both paths for one name. On Windows CompareStringOrdinal,
// ignoring case; elsewhere equal keys.
bool SamePath(std::string_view a, std::string_view b);

}  // namespace quorvel
