#pragma once

// How Wine names a POSIX path, and back: through the drive links of a prefix.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

// One drive of a Wine prefix: "c:" -> /home/ann/.wine/drive_c.
struct DriveLink {
    char Letter = 'C';   // upper case
    std::string Target;  // absolute POSIX directory
};

// True for a path already written the Windows way: a drive letter and colon, or a backslash.
bool IsWindowsForm(std::string_view path);

// True when a single name can be a Windows file name (no separators, wildcards or controls).
bool IsWindowsFileName(std::string_view name);

// The Windows form of an absolute POSIX path: the longest matching drive link wins, and "/"
// is Z: when nothing else matches (and no link puts Z: elsewhere). Nothing for a relative path,
// for a path no drive reaches, or for a path with a name Windows cannot hold.
std::optional<std::string> MapToWinePath(std::string_view posixPath, const std::vector<DriveLink>& links);

// The POSIX path behind a full Windows path ("D:\Video"), through the same links. Nothing when
// the drive is not linked or the path has no drive (a network share).
std::optional<std::string> MapFromWinePath(std::string_view windowsPath, const std::vector<DriveLink>& links);

// A Windows-form path made full against the current directory's Windows form: "\v" takes the
// current drive, "v\w" the current directory; "X:\..." and shares stay as given. Nothing for a
// drive-relative path ("D:video"), whose base is unknown here.
std::optional<std::string> FullWindowsForm(std::string_view path, std::string_view currentDirectory);

// The prefix quorvel-batch maps through: $WINEPREFIX, else ~/.wine.
std::string WinePrefixDirectory();

// The drive links of PREFIX/dosdevices, letter order; missing prefix or broken links give none.
std::vector<DriveLink> ReadDosDevices(const std::string& prefix);

}  // namespace quorvel::cli
