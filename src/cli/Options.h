#pragma once

// quorvel-batch's command line.

#include <optional>
#include <string>
#include <vector>

#include "batch/BatchRequest.h"

namespace quorvel::cli {

inline constexpr const char* kDefaultPattern = "*.avi;*.mpg;*.mpeg;*.mov;*.vob";

struct CliOptions {
    std::string BatchFile;  // "-" is standard output
    std::optional<std::string> SourceDirectory;
    std::optional<std::string> Pattern;
    std::string TemplateFile;
    std::optional<std::string> OutputDirectory;
    AdvancedOptions Advanced;     // AutoLaunch and TMPGEncPath carry --launch
    unsigned CodePageNumber = 0;  // 0: the code page the encoder uses here
    bool DryRun = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Names;

    bool ToStandardOutput() const { return BatchFile == "-"; }
};

// Parses the arguments after the program name. On a usage error returns nothing and sets
// error to a one-line message.
std::optional<CliOptions> ParseArguments(const std::vector<std::string>& args, std::string& error);

std::string UsageText();

}  // namespace quorvel::cli
