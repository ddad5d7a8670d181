#pragma once

// quorvel-batch: writes a batch list from the command line, or the jobs of one still to do.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Platform.h"

namespace quorvel::cli {

// The whole command: arguments after the program name; returns the exit status (0 written,
// 1 failed with nothing written, 2 usage error). Standard input (for "--files-from -") is in,
// stdin when not given. out is flushed and checked before the status is returned.
int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, const PathResolver& resolver);
int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
                    const PathResolver& resolver);

// Flushes (and with close, closes) out at the end of a run: output that could not be written
// turns a success into exit status 1 with "write error" on err, as GNU tools do.
int FinishStandardOutput(std::FILE* out, std::FILE* err, int status, bool close);

}  // namespace quorvel::cli
