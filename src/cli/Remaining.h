#pragma once

// quorvel-batch --remaining: the jobs of a list the encoder has not finished, copied byte for
// byte into a new list.

#include <cstdio>

#include "batch/CodePage.h"
#include "batch/Status.h"
#include "cli/Options.h"
#include "cli/Platform.h"

namespace quorvel::cli {

// Reads options.Remaining, checks each job's output and writes the jobs still to do to
// options.BatchFile (or lists them with -n). Progress and warnings go to out and err.
Status WriteRemainingJobs(const CliOptions& options, const PathResolver& resolver, const CodePage& codePage,
                          std::FILE* out, std::FILE* err);

}  // namespace quorvel::cli
