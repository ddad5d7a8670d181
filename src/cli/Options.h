#pragma once

// quorvel-batch's command line.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchRequest.h"
#include "batch/SourceListing.h"
#include "batch/Status.h"

namespace quorvel::cli {

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

// What a shell offers for an option's value.
enum class ValueCompletion { Text, File, Directory, Choice };

// What an option's value must be: one of its Choices, or a whole number of lines.
enum class ValueRule { Any, Choice, Lines };

// One option, the only place it is written: the parser, --help, the manual page and the shell
// completions are all made from these rows.
struct OptionRow {
    char Short = 0;  // 0 when there is none
    std::string_view Long;
    std::string_view Value;  // the value's name in --help; empty when it takes none
    // --help's description; {default} stands for Default, {code-page} for the code page used here,
    // {choices} for the Choices quoted, the default marked, {count} for how many there are.
    std::string_view Help;
    std::string_view Brief;   // the completions' description: short, no colon or bracket
    std::string_view Manual;  // the manual page's text (roff); {default} as in Help, {choices} lists Choices
    ValueCompletion Completion = ValueCompletion::Text;
    std::string_view Extension;                       // a File's extension, empty for any file
    std::string_view Label;                           // what the value is, for the zsh completion
    std::string_view Default;                         // the value taken when the option is not given
    std::vector<std::string_view> (*Choices)() = {};  // the values a Choice offers
    ValueRule Rule = ValueRule::Any;                  // checked once the options agree with each other
    // Shapes the jobs of a new list, so it has no place beside --remaining, which copies jobs.
    bool ShapesJobs = false;
    bool Alone = false;         // nothing else is done when it is given (--help, --version)
    std::string_view Required;  // the usage error when it is missing; empty when it may be
    // Stores the value (empty for an option that takes none); a failure says what it takes.
    Status (*Set)(CliOptions& options, std::string value) = {};

    bool TakesValue() const { return !Value.empty(); }
    std::vector<std::string_view> Offered() const {
        return Choices != nullptr ? Choices() : std::vector<std::string_view>();
    }
};

std::span<const OptionRow> OptionTable();

// Whether the two options are never given together: the parser refuses them, and a completion
// offers neither beside the other.
bool Contradict(const OptionRow& a, const OptionRow& b);

// Parses the arguments after the program name. A failure is a usage error, its message one line.
Status ParseArguments(const std::vector<std::string>& args, CliOptions& options);

std::string UsageText();

}  // namespace quorvel::cli
