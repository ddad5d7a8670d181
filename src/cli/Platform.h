#pragma once

// What differs between Windows and the Wine setup: how a path is named and how the encoder starts.

#include <optional>
#include <string>
#include <vector>

#include "batch/BatchList.h"
#include "batch/Status.h"
#include "cli/WinePath.h"

namespace quorvel::cli {

struct ResolvedPath {
    std::string Local;    // where this process reaches it; empty when it cannot
    std::string Encoder;  // the full path as the encoder names it
};

class PathResolver {
public:
    // The current directory and, away from Windows, the drive links of the Wine prefix.
    PathResolver();
    // For tests: given links and current directory (POSIX).
    PathResolver(std::vector<DriveLink> links, std::string currentDirectory);

    Status Resolve(const std::string& given, ResolvedPath& resolved) const;

    // Where this process reaches a full path as the encoder names it (a path read from a list):
    // through the drive links reversed, or as it is on Windows. Nothing when it cannot.
    std::optional<std::string> LocalPathOf(const std::string& encoderPath) const;

private:
    std::vector<DriveLink> links_;
    std::string currentDirectory_;
};

// Where the default code page comes from, for the help and the dry run.
std::string DefaultCodePageSource();

// The command line the encoder would be started with, for showing it.
std::string LaunchCommandText(const std::string& encoder, const std::string& batchFile);

// Refuses, before anything is written, an encoder (or Wine) that cannot be started.
Status CheckEncoder(const std::string& encoder, const PathResolver& resolver);

// Starts the encoder on the list (its encoder-form path) and returns without waiting for it.
Status LaunchEncoder(const std::string& encoder, const std::string& batchFile);

}  // namespace quorvel::cli
