#include "cli/Options.h"

#include <string_view>

#include "batch/CodePage.h"
#include "batch/JobWriter.h"
#include "cli/Platform.h"

namespace quorvel::cli {

namespace {

enum class OptionId {
    BatchFile,
    SourceDir,
    Pattern,
    Template,
    OutputDir,
    FilesFrom,
    NullSeparated,
    Recursive,
    OutputsBesideSources,
    Remaining,
    AspectRatio,
    SourceType,
    ClipTop,
    ClipBottom,
    Deinterlace,
    NoiseReduction,
    Launch,
    CodePage,
    DryRun,
    Help,
    Version
};

struct KnownOption {
    OptionId Id;
    char Short;  // 0 when there is none
    std::string_view Long;
    bool TakesValue;
    // Shapes the jobs of a new list, so it has no place beside --remaining, which copies jobs.
    bool ShapesJobs = false;
};

constexpr KnownOption kOptions[] = {
    {OptionId::BatchFile, 'o', "batch-file", true},
    {OptionId::SourceDir, 's', "source-dir", true, true},
    {OptionId::Pattern, 'p', "pattern", true, true},
    {OptionId::Template, 't', "template", true, true},
    {OptionId::OutputDir, 'd', "output-dir", true, true},
    {OptionId::FilesFrom, 0, "files-from", true, true},
    {OptionId::NullSeparated, '0', "null", false, true},
    {OptionId::Recursive, 'r', "recursive", false, true},
    {OptionId::OutputsBesideSources, 0, "outputs-beside-sources", false, true},
    {OptionId::Remaining, 0, "remaining", true},
    {OptionId::AspectRatio, 0, "aspect-ratio", true, true},
    {OptionId::SourceType, 0, "source-type", true, true},
    {OptionId::ClipTop, 0, "clip-top", true, true},
    {OptionId::ClipBottom, 0, "clip-bottom", true, true},
    {OptionId::Deinterlace, 0, "deinterlace", false, true},
    {OptionId::NoiseReduction, 0, "noise-reduction", false, true},
    {OptionId::Launch, 0, "launch", true, true},
    {OptionId::CodePage, 0, "code-page", true},
    {OptionId::DryRun, 'n', "dry-run", false},
    {OptionId::Help, 'h', "help", false},
    {OptionId::Version, 0, "version", false},
};

// Pairs of requests that contradict each other; the first one given is named.
struct Conflict {
    bool (*Given)(const CliOptions&);
    bool (*OtherGiven)(const CliOptions&);
    const char* Message;
};

constexpr Conflict kConflicts[] = {
    {[](const CliOptions& o) { return o.Pattern.has_value(); },
     [](const CliOptions& o) { return !o.Names.empty(); },
     "give either --pattern or NAMEs, not both"},
    {[](const CliOptions& o) { return o.FilesFrom.has_value(); },
     [](const CliOptions& o) { return !o.Names.empty(); },
     "give either --files-from or NAMEs, not both"},
    {[](const CliOptions& o) { return o.FilesFrom.has_value(); },
     [](const CliOptions& o) { return o.SourceDirectory.has_value(); },
     "give either --files-from or --source-dir, not both (the paths it holds are relative to the current "
     "directory)"},
    {[](const CliOptions& o) { return o.FilesFrom.has_value(); },
     [](const CliOptions& o) { return o.Pattern.has_value() || o.Recursive; },
     "--files-from names the sources itself; --pattern and --recursive pick files of a folder"},
    {[](const CliOptions& o) { return o.NullSeparated; },
     [](const CliOptions& o) { return !o.FilesFrom.has_value(); },
     "--null tells how --files-from ends its paths; it needs --files-from"},
    {[](const CliOptions& o) { return o.Recursive; },
     [](const CliOptions& o) { return !o.Names.empty(); },
     "--recursive lists folders by --pattern; give no NAMEs with it"},
    {[](const CliOptions& o) { return o.OutputsBesideSources; },
     [](const CliOptions& o) { return o.OutputDirectory.has_value(); },
     "give either --output-dir or --outputs-beside-sources, not both"},
    {[](const CliOptions& o) { return o.Remaining.has_value(); },
     [](const CliOptions& o) { return !o.Names.empty(); },
     "--remaining copies the jobs of a list; give no NAMEs with it"},
};

const KnownOption* FindLong(std::string_view name) {
    for (const KnownOption& known : kOptions) {
        if (known.Long == name) return &known;
    }
    return nullptr;
}

const KnownOption* FindShort(char letter) {
    for (const KnownOption& known : kOptions) {
        if (known.Short != 0 && known.Short == letter) return &known;
    }
    return nullptr;
}

void Apply(CliOptions& options, OptionId id, std::string value) {
    switch (id) {
        case OptionId::BatchFile: options.BatchFile = std::move(value); break;
        case OptionId::SourceDir: options.SourceDirectory = std::move(value); break;
        case OptionId::Pattern: options.Pattern = std::move(value); break;
        case OptionId::Template: options.TemplateFile = std::move(value); break;
        case OptionId::OutputDir: options.OutputDirectory = std::move(value); break;
        case OptionId::FilesFrom: options.FilesFrom = std::move(value); break;
        case OptionId::NullSeparated: options.NullSeparated = true; break;
        case OptionId::Recursive: options.Recursive = true; break;
        case OptionId::OutputsBesideSources: options.OutputsBesideSources = true; break;
        case OptionId::Remaining: options.Remaining = std::move(value); break;
        case OptionId::AspectRatio: options.Advanced.AspectRatio = std::move(value); break;
        case OptionId::SourceType: options.Advanced.VideoSourceType = std::move(value); break;
        case OptionId::ClipTop: options.Advanced.TopClipping = std::move(value); break;
        case OptionId::ClipBottom: options.Advanced.BottomClipping = std::move(value); break;
        case OptionId::Deinterlace: options.Advanced.Deinterlace = 1; break;
        case OptionId::NoiseReduction: options.Advanced.NoiseReduction = 1; break;
        case OptionId::Launch:
            options.Advanced.AutoLaunch = 1;
            options.Advanced.TMPGEncPath = std::move(value);
            break;
        case OptionId::CodePage: options.CodePageNumber = ParseCodePage(value); break;
        case OptionId::DryRun: options.DryRun = true; break;
        case OptionId::Help: options.Help = true; break;
        case OptionId::Version: options.Version = true; break;
    }
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

// The window program takes any typed text; a script gets told at once what the list would misread.
Status CheckValues(const CliOptions& options) {
    const auto oneOf = [](std::string_view option, const std::string& value, const auto& choices) {
        std::string listed;
        for (std::string_view choice : choices) {
            if (choice == value) return Status::Ok();
            listed += (listed.empty() ? "" : ", ") + Quoted(choice);
        }
        return Status::Fail(std::string(option) + " takes one of " + listed + "; not " + Quoted(value));
    };
    if (Status known = oneOf("--aspect-ratio", options.Advanced.AspectRatio, AspectRatioTexts()); !known) return known;
    if (Status known = oneOf("--source-type", options.Advanced.VideoSourceType, kVideoSourceTypes); !known)
        return known;
    const auto wholeNumber = [](std::string_view option, const std::string& value) {
        if (!value.empty() && value.size() <= 5 && value.find_first_not_of("0123456789") == std::string::npos) {
            return Status::Ok();
        }
        return Status::Fail(std::string(option) + " takes a whole number of lines from 0 (such as 8); not " +
                            Quoted(value));
    };
    if (Status number = wholeNumber("--clip-top", options.Advanced.TopClipping); !number) return number;
    return wholeNumber("--clip-bottom", options.Advanced.BottomClipping);
}

}  // namespace

Status ParseArguments(const std::vector<std::string>& args, CliOptions& options) {
    options = CliOptions();
    bool batchFileGiven = false;
    bool optionsEnded = false;
    std::string shapingOption;  // the first option given that shapes new jobs
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.Names.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        const KnownOption* known = nullptr;
        std::optional<std::string> attached;
        std::string shown;
        if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string_view name =
                std::string_view(arg).substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            known = FindLong(name);
            shown = "--" + std::string(name);
            if (equals != std::string::npos) attached = arg.substr(equals + 1);
        } else {
            known = FindShort(arg[1]);
            shown = arg.substr(0, 2);
            if (arg.size() > 2) attached = arg.substr(2);
        }
        if (known == nullptr) return Status::Fail("unknown option '" + shown + "'");

        std::string value;
        if (known->TakesValue) {
            if (attached) {
                value = *attached;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return Status::Fail("option '" + shown + "' needs a value");
            }
        } else if (attached) {
            return Status::Fail("option '" + shown + "' takes no value");
        }
        if (known->Id == OptionId::BatchFile) batchFileGiven = true;
        if (known->ShapesJobs && shapingOption.empty()) shapingOption = "--" + std::string(known->Long);
        if (known->Id == OptionId::CodePage && ParseCodePage(value) == 0) {
            return Status::Fail("option '" + shown + "' takes a code page number (932, 1251, ...) or utf-8, not '" +
                                value + "'");
        }
        Apply(options, known->Id, std::move(value));
    }

    if (options.Help || options.Version) return Status::Ok();
    if (!batchFileGiven) return Status::Fail("no batch file given (-o PATH, or -o - for standard output)");
    if (options.BatchFile.empty()) return Status::Fail("the batch file path is empty");
    if (options.Advanced.AutoLaunch == 1 && options.Advanced.TMPGEncPath.empty()) {
        return Status::Fail("--launch needs the encoder program's path");
    }
    if (options.Advanced.AutoLaunch == 1 && options.ToStandardOutput()) {
        return Status::Fail("--launch needs a batch file, not standard output");
    }
    if (options.FilesFrom && options.FilesFrom->empty()) return Status::Fail("the --files-from path is empty");
    if (options.Remaining && options.Remaining->empty()) return Status::Fail("the --remaining list path is empty");
    if (options.Remaining && !shapingOption.empty()) {
        return Status::Fail(shapingOption + " shapes new jobs; --remaining copies the jobs of a list as they are");
    }
    for (const Conflict& conflict : kConflicts) {
        if (conflict.Given(options) && conflict.OtherGiven(options)) return Status::Fail(conflict.Message);
    }
    for (const std::string& name : options.Names) {
        if (name.empty() || name.find_first_of("/\\") != std::string::npos) {
            return Status::Fail("'" + name + "' is not a file name; NAMEs are names in the source directory (-s DIR)");
        }
    }
    return CheckValues(options);
}

std::string UsageText() {
    return "Usage: quorvel-batch -o BATCHFILE [options] [NAME...]\n"
           "       quorvel-batch -o BATCHFILE --remaining LIST [-n]\n"
           "Writes an encoder batch list with one job per source file, or the jobs of a list still to do.\n"
           "\n"
           "  -o, --batch-file PATH   the list to write; \"-\" writes it to standard output\n"
           "  -s, --source-dir DIR    directory of the sources (default: the current directory)\n"
           "  -p, --pattern TEXT      without NAMEs: every file of DIR that matches, in file list order\n"
           "                          (default \"" +
           std::string(kDefaultPattern) +
           "\")\n"
           "  -t, --template PATH     encoder template (.mcf); default: the built-in Super Video CD (PAL) settings\n"
           "  -r, --recursive         with the pattern: the matching files of DIR's subfolders too, a folder's\n"
           "                          files first, then its subfolders, each in file list order\n"
           "      --files-from FILE   the sources' paths, one a line (\"-\" reads standard input), in that order;\n"
           "                          absolute or relative to the current directory, Linux or Windows form\n"
           "  -0, --null              the --files-from paths end with a NUL character instead of a line end\n"
           "  -d, --output-dir DIR    where the encoder writes the .mpg files (default: the batch file's\n"
           "                          directory; the current directory when the list goes to standard output)\n"
           "      --outputs-beside-sources  each .mpg file goes into its own source's folder instead\n"
           "      --aspect-ratio TEXT   default \"4:3 Display\"; one of the nine listed in the manual\n"
           "      --source-type TEXT    \"Non-interlace (progressive)\" (the default) or \"Interlace\"\n"
           "      --clip-top N          lines clipped at the top, a whole number (default 0)\n"
           "      --clip-bottom N       lines clipped at the bottom, a whole number (default 0)\n"
           "      --deinterlace, --noise-reduction\n"
           "      --launch ENCODER    start ENCODER with \"/batch\" and the finished list, not waited for\n"
           "      --remaining LIST    write the jobs of LIST still to be encoded (their output is missing,\n"
           "                          empty, unfinished or older than the source), copied unchanged\n"
           "      --code-page N       the code page the encoder reads the list in: a number (932, 1251, ...)\n"
           "                          or utf-8 (default here: " +
           CodePageLabel(PlatformCodePage()) + ", " + DefaultCodePageSource() +
           ")\n"
           "  -n, --dry-run           write nothing; print each job as \"SOURCE -> OUTPUT\" and the count\n"
           "  -h, --help              show this text\n"
           "      --version           show the version\n"
           "\n"
           "NAMEs are file names in DIR, written in the order given. Exit status: 0 when the list was\n"
           "written, 1 when it was not (an existing list is left as it was; with --remaining also when LIST\n"
           "is not a batch list), 2 for a usage error.\n"
#ifndef _WIN32
           "The encoder runs under Wine ($WINE, default wine); paths are written as Wine names them\n"
           "through the drive links of $WINEPREFIX/dosdevices (default ~/.wine).\n"
#endif
        ;
}

}  // namespace quorvel::cli
