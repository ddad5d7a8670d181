#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Platform.h"

namespace quorvel::cli {

// The whole command: arguments after the program name; returns the exit status (0 written,
// 1 failed with nothing written, 2 usage error).
int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, const PathResolver& resolver);

}  // namespace quorvel::cli
