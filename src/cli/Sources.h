#pragma once

// The sources of a new list: NAMEs or the files of a folder (and its subfolders), or the
// paths of a --files-from list, each with its folder as the encoder names it.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchRequest.h"
#include "batch/Status.h"
#include "cli/Options.h"
#include "cli/Platform.h"

namespace quorvel::cli {

// Fills job.SourceDirectory, SourceNames and, for sources from more than one folder,
// SourceDirectories. Standard input is in, for "--files-from -".
Status CollectSources(const CliOptions& options, const PathResolver& resolver, std::FILE* in, BatchJob& job);

// The longest line of a --files-from list: far beyond any path the encoder opens (260
// characters), so only a runaway line reaches it.
inline constexpr std::size_t kLongestPathLine = 32 * 1024;

// The paths of a --files-from list, read as they come: one a line (LF or CR LF, blank lines
// skipped), or ending with NUL when nullSeparated. A NUL in a line-separated list, an empty
// NUL-separated name and a line longer than kLongestPathLine are refused.
class PathListReader {
public:
    PathListReader(std::FILE* file, bool nullSeparated);

    // The next path, with got set; got false at the end of the list.
    Status Next(std::string& path, bool& got);

    // "line 7" or "entry 7": where the path last returned stands.
    std::string Where() const;

private:
    std::FILE* file_;
    bool nullSeparated_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::uint64_t number_ = 0;
};

// A source directory ends with a backslash only at a drive root.
std::string SourceDirectoryForm(std::string path);

// The message for a path on a drive this machine cannot see.
std::string Unreachable(const std::string& what, const std::string& given);

}  // namespace quorvel::cli
