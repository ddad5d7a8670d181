#pragma once

// The file list rules: which names a pattern lets through, and the order they are shown in.

#include <string>
#include <string_view>
#include <vector>

#include "Status.h"

namespace quorvel {

// The patterns a user picks from, each with what it lets through, in list order. The first is
// the default, for the window's pattern box and the command line alike.
inline constexpr std::string_view kPatternItems[] = {
    "*.avi;*.mpg;*.mpeg;*.mov;*.vob   (All video files)",
    "*.avi    (Windows AVI)",
    "*.mpg   (MPEG Video)",
    "*.mpeg (MPEG Video)",
    "*.mov   (Quicktime)",
    "*.vob   (DVD MPEG2)",
    "*.*        (All files)",
};
inline constexpr std::string_view kDefaultPattern = kPatternItems[0].substr(0, kPatternItems[0].find(' '));

// The pattern of a pattern box item: everything before the first "(", blanks included.
// A text without "(" is taken whole.
std::string FilePatternOfItem(std::string_view itemText);

// True when the name matches any ";"-separated part of the pattern: case-insensitive,
// "*" any run, "?" one character, "*.*" every name; trailing blanks of a part are ignored.
bool MatchesFilePattern(std::string_view name, std::string_view pattern);

// Explorer's name order, as the platform gives it (ExplorerOrder.h): letter case ignored, runs
// of digits by value (clip2 before clip10), accented letters with their base letter; ties broken
// by plain character order.
bool ExplorerNameLess(std::string_view a, std::string_view b);

// The names that match, in Explorer's order.
std::vector<std::string> SelectSourceNames(std::vector<std::string> names, std::string_view pattern);

// The ordinary files of a directory (no directories) that match, in Explorer's order.
Status ListSourceFiles(const std::string& directory, std::string_view pattern, std::vector<std::string>& names);

// The matching files of one folder of a tree.
struct FolderFiles {
    std::vector<std::string> Path;  // the subfolder names leading to it; empty for the top folder
    std::vector<std::string> Names;
};

// The matching files of a directory and of its subfolders: a folder's files, then each of its
// subfolders in the same order, depth first. Folders without a match are left out. Links to
// folders are not followed, so a tree with a loop still ends.
Status ListSourceTree(const std::string& directory, std::string_view pattern, std::vector<FolderFiles>& folders);

}  // namespace quorvel
