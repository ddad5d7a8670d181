#pragma once

// The sources of a new list: NAMEs or the files of a folder (and its subfolders), or the
// paths of a --files-from list, each with its folder as the encoder names it.

#include <cstdio>
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

// The paths of a --files-from list: one a line (LF or CR LF, blank lines skipped), or ending
// with NUL when nullSeparated. A NUL in a line-separated list is refused.
Status SplitPathList(std::string_view bytes, bool nullSeparated, std::vector<std::string>& paths);

// A source directory ends with a backslash only at a drive root.
std::string SourceDirectoryForm(std::string path);

// The message for a path on a drive this machine cannot see.
std::string Unreachable(const std::string& what, const std::string& given);

}  // namespace quorvel::cli
