#pragma once

// quorvel-batch's command line.

#include <optional>
#include <string>
#include <vector>

#include "batch/BatchRequest.h"
#include "batch/Status.h"

namespace quorvel::cli {

inline constexpr const char* kDefaultPattern = "*.avi;*.mpg;*.mpeg;*.mov;*.vob";

struct CliOptions {
    std::string BatchFile;  // "-" is standard output
    std::optional<std::string> SourceDirectory;
    std::optional<std::string> Pattern;
    std::optional<std::string> FilesFrom;  // "-" is standard input
    bool NullSeparated = false;            // --files-from paths end with NUL, not a line end
    bool Recursive = false;
    bool OutputsBesideSources = false;
    std::string TemplateFile;
    std::optional<std::string> OutputDirectory;
    std::optional<std::string> Remaining;  // the old list whose unfinished jobs are copied
    AdvancedOptions Advanced;              // AutoLaunch and TMPGEncPath carry --launch
    unsigned CodePageNumber = 0;           // 0: the code page the encoder uses here
    bool DryRun = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Names;

    bool ToStandardOutput() const { return BatchFile == "-"; }
};

// Parses the arguments after the program name. A failure is a usage error, its message one line.
Status ParseArguments(const std::vector<std::string>& args, CliOptions& options);

std::string UsageText();

}  // namespace quorvel::cli
