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

// The whole creation for an encoder on this machine, in its code page: the output directory and
// the sources checked to be there, the paths by EncoderJob, then WriteBatchList. An empty
// OutputDirectory is the batch file's folder. With encoderBatchFile, also the batch file path
// for /batch: checked before writing when options.AutoLaunch is 1, and given after writing.
Status WriteListForEncoder(const BatchJob& job, const AdvancedOptions& options,
                           std::string* encoderBatchFile = nullptr);

// What the list may replace: nothing, an empty file, or an earlier batch list (a file whose first
// text is the list's opening line). Any other file is the user's and is refused.
Status CheckListTarget(const std::string& path);

}  // namespace quorvel
