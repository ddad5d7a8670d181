#pragma once

// The batch encode list writer: the public face of the core.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "BatchRequest.h"
#include "CodePage.h"
#include "Status.h"

namespace quorvel {

// Writes the whole list to job.BatchFile in the code page (PlatformCodePage without one): into
// a temporary file beside it, moved over the target only when complete. On failure nothing is
// left behind and an old list is untouched. A path the code page cannot hold is refused.
Status WriteBatchList(const BatchJob& job, const AdvancedOptions& options);
Status WriteBatchList(const BatchJob& job, const AdvancedOptions& options, const CodePage& codePage);

// Writes the whole list to an open stream (quorvel-batch's "-o -"). Checks run first, so a
// refused request writes nothing.
Status WriteBatchListToStream(std::FILE* stream, const BatchJob& job, const AdvancedOptions& options,
                              const CodePage& codePage);

// The checks WriteBatchList makes before writing anything: the clipping texts, and files that
// would be destroyed: two sources with one output, an output that is its own source, a batch
// file that names a source, the template or an output of the list.
Status CheckBatchRequest(const BatchJob& job, const AdvancedOptions& options);
Status CheckOutputConflicts(const BatchJob& job);

// What the list may replace: nothing, an empty file, or an earlier batch list (a file whose first
// text is the list's opening line). Any other file is the user's and is refused.
Status CheckListTarget(const std::string& path);

// The folder of job.SourceNames[source] and the folder its output goes to, as the list
// names them; the output folder ends with a separator unless it is empty.
const std::string& SourceDirectoryOf(const BatchJob& job, std::size_t source);
std::string OutputFolderOf(const BatchJob& job, std::size_t source);

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

// The clipping decision: the joined text is a number when it is optional blanks, an optional
// sign, digits with at most one decimal point (at least one digit), optional blanks.
bool IsClippingNumber(std::string_view joined);
// Refuses clipping texts that do not join into a number, naming both texts.
Status CheckClipping(const AdvancedOptions& options);

}  // namespace quorvel
