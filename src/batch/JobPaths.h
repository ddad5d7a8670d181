#pragma once

// The paths and names a job's list lines are made of, as the list names them.

#include <cstddef>
#include <string>
#include <string_view>

#include "BatchRequest.h"

namespace quorvel {

// The folder of job.SourceNames[source] and the folder its output goes to, as the list
// names them; the output folder ends with a separator unless it is empty.
const std::string& SourceDirectoryOf(const BatchJob& job, std::size_t source);
std::string OutputFolderOf(const BatchJob& job, std::size_t source);

// True when the name ends with ".mpg" in any letter case, as outputs do. No letter beyond ASCII
// folds to one of ".MPG", so this settles whether a name can fold to its output's.
bool EndsWithMpg(std::string_view name);

// True when the output of job.SourceNames[source] would be the source itself (an .mpg file
// with its output beside it).
bool IsOwnOutput(const BatchJob& job, std::size_t source);

// The paths a job's list lines hold for job.SourceNames[source] (before the quote escaping).
std::string SourcePath(const BatchJob& job, std::size_t source);
std::string OutputPath(const BatchJob& job, std::size_t source);
// A source as messages name it: its name while all sources share one folder, else its path; the
// long one where the list holds a short form (BatchJob::ShownSources).
std::string ShownSource(const BatchJob& job, std::size_t source);
// The output directory as joined with output names: a backslash is added when it lacks one.
std::string OutputFolder(const BatchJob& job);

// Removes one trailing backslash, if there is one.
std::string StripTrailingBackslash(std::string_view path);
// Removes the last extension of a file name; a leading dot is not an extension.
std::string StripExtension(std::string_view fileName);
// Every single quote becomes the five characters '#39'.
std::string EscapeSingleQuotes(std::string_view text);

// The folder part of a path, without its last separator but at a drive root ("C:\\"); empty
// when the path names no folder.
std::string FolderPart(const std::string& path);

}  // namespace quorvel
