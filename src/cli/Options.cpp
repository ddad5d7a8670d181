#include "cli/Options.h"

#include <getopt.h>

#include <algorithm>
#include <string_view>

#include "batch/AdvancedChoices.h"
#include "batch/CodePage.h"
#include "cli/Platform.h"
#include "cli/Shown.h"

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
    std::string_view Value;  // the value's name in --help; empty when it takes none
    // --help's description; {pattern} and {code-page} stand for the defaults known at run time.
    std::string_view Help;
    // Shapes the jobs of a new list, so it has no place beside --remaining, which copies jobs.
    bool ShapesJobs = false;

    bool TakesValue() const { return !Value.empty(); }
};

constexpr KnownOption kOptions[] = {
    {OptionId::BatchFile, 'o', "batch-file", "PATH", "the list to write; \"-\" writes it to standard output"},
    {OptionId::SourceDir, 's', "source-dir", "DIR", "directory of the sources (default: the current directory)", true},
    {OptionId::Pattern,
     'p',
     "pattern",
     "TEXT",
     "without NAMEs: every file of DIR that matches, in file list order (default \"{pattern}\")",
     true},
    {OptionId::Template,
     't',
     "template",
     "PATH",
     "encoder template (.mcf); default: the built-in Super Video CD (PAL) settings",
     true},
    {OptionId::OutputDir,
     'd',
     "output-dir",
     "DIR",
     "where the encoder writes the .mpg files (default: the batch file's directory; the current directory "
     "when the list goes to standard output)",
     true},
    {OptionId::FilesFrom,
     0,
     "files-from",
     "FILE",
     "the sources' paths, one a line (\"-\" reads standard input), in that order; absolute or relative to the "
     "current directory, Linux or Windows form",
     true},
    {OptionId::NullSeparated,
     '0',
     "null",
     "",
     "the --files-from paths end with a NUL character instead of a line end",
     true},
    {OptionId::Recursive,
     'r',
     "recursive",
     "",
     "with the pattern: the matching files of DIR's subfolders too, a folder's files first, then its "
     "subfolders, each in file list order",
     true},
    {OptionId::OutputsBesideSources,
     0,
     "outputs-beside-sources",
     "",
     "each .mpg file goes into its own source's folder instead",
     true},
    {OptionId::Remaining,
     0,
     "remaining",
     "LIST",
     "write the jobs of LIST still to be encoded (their output is missing, empty, unfinished or older than the "
     "source), copied unchanged"},
    {OptionId::AspectRatio,
     0,
     "aspect-ratio",
     "TEXT",
     "one of the nine listed in the manual (default \"4:3 Display\")",
     true},
    {OptionId::SourceType,
     0,
     "source-type",
     "TEXT",
     "\"Non-interlace (progressive)\" (the default) or \"Interlace\"",
     true},
    {OptionId::ClipTop, 0, "clip-top", "N", "lines clipped at the top, a whole number (default 0)", true},
    {OptionId::ClipBottom, 0, "clip-bottom", "N", "lines clipped at the bottom, a whole number (default 0)", true},
    {OptionId::Deinterlace, 0, "deinterlace", "", "de-interlace the sources", true},
    {OptionId::NoiseReduction, 0, "noise-reduction", "", "apply the encoder's noise reduction", true},
    {OptionId::Launch,
     0,
     "launch",
     "ENCODER",
     "start ENCODER with \"/batch\" and the finished list, not waited for",
     true},
    {OptionId::CodePage,
     0,
     "code-page",
     "N",
     "the code page the encoder reads the list in: a number (932, 1251, ...) or utf-8 (default here: "
     "{code-page})"},
    {OptionId::DryRun, 'n', "dry-run", "", "write nothing; print each job as \"SOURCE -> OUTPUT\" and the count"},
    {OptionId::Help, 'h', "help", "", "show this text"},
    {OptionId::Version, 0, "version", "", "show the version"},
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

// getopt_long's code for an option: its letter, or past every char for a long-only one.
int CodeOf(const KnownOption& known) {
    return known.Short != 0 ? static_cast<unsigned char>(known.Short) : 256 + static_cast<int>(&known - kOptions);
}

const KnownOption* FindCode(int code) {
    for (const KnownOption& known : kOptions) {
        if (CodeOf(known) == code) return &known;
    }
    return nullptr;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// What getopt_long refused in a long option: several options it may abbreviate, or none, then
// the nearest name if one is near enough to be a slip.
std::string LongOptionProblem(std::string_view word) {
    if (!word.starts_with("--")) return "unknown option " + Quoted(word);
    const std::string_view name = word.substr(2, word.find('=') == word.npos ? word.npos : word.find('=') - 2);
    std::string candidates;
    int count = 0;
    for (const KnownOption& known : kOptions) {
        if (!known.Long.starts_with(name)) continue;
        candidates.append(" '--").append(known.Long).append("'");
        ++count;
    }
    if (!name.empty() && count > 1) {
        return "option " + Quoted("--" + std::string(name)) + " is ambiguous; possibilities:" + candidates;
    }
    const KnownOption* nearest = nullptr;
    std::size_t best = 3;  // three edits or more make another word, not a slip
    for (const KnownOption& known : kOptions) {
        const std::size_t distance = EditDistance(name, known.Long);
        if (distance < best && distance < known.Long.size() / 2) {
            best = distance;
            nearest = &known;
        }
    }
    std::string message = "unknown option " + Quoted("--" + std::string(name));
    if (nearest != nullptr) message.append("; did you mean '--").append(nearest->Long).append("'?");
    return message;
}

// How the user wrote OPTION in WORD: its long name when WORD is a long option, else its letter.
std::string Written(const KnownOption& known, std::string_view word) {
    if (word.starts_with("--") || known.Short == 0) return "--" + std::string(known.Long);
    return std::string("-") + known.Short;
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

// A choice as the help and the manual write it.
std::string InQuotes(std::string_view text) {
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
            listed += (listed.empty() ? "" : ", ") + InQuotes(choice);
        }
        return Status::Fail(std::string(option) + " takes one of " + listed + "; not " + Quoted(value));
    };
    if (Status known = oneOf("--aspect-ratio", options.Advanced.AspectRatio, kAspectRatios); !known) return known;
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
    std::string shapingOption;  // the first option given that shapes new jobs

    // ':' first: a missing value is told apart from an unknown option, and getopt_long prints nothing.
    std::string shortOptions = ":";
    std::vector<option> longOptions;
    for (const KnownOption& known : kOptions) {
        if (known.Short != 0) shortOptions += std::string(1, known.Short) + (known.TakesValue() ? ":" : "");
        longOptions.push_back(
            {known.Long.data(), known.TakesValue() ? required_argument : no_argument, nullptr, CodeOf(known)});
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    std::vector<std::string> words;
    words.reserve(args.size() + 1);
    words.push_back("quorvel-batch");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    opterr = 0;
    optind = 0;  // 0, not 1: starts afresh, forgetting a previous call's half-read bundle
    while (true) {
        const int code = getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
        if (code == -1) break;
        // The word getopt_long stopped at; for a bundle the letter is in optopt.
        const std::string_view word = optind > 0 && optind <= argc ? argv[optind - 1] : "";
        if (code == '?' || code == ':') {
            const KnownOption* known = optopt != 0 ? FindCode(optopt) : nullptr;
            if (known != nullptr && !known->TakesValue()) {
                return Status::Fail("option '" + Written(*known, word) + "' takes no value");
            }
            if (known != nullptr) return Status::Fail("option '" + Written(*known, word) + "' needs a value");
            if (optopt != 0)
                return Status::Fail("unknown option " + Quoted("-" + std::string(1, static_cast<char>(optopt))));
            return Status::Fail(LongOptionProblem(word));
        }
        const KnownOption* known = FindCode(code);
        if (known == nullptr) return Status::Fail("unknown option");
        std::string value = known->TakesValue() && optarg != nullptr ? optarg : "";
        if (known->Id == OptionId::BatchFile) batchFileGiven = true;
        if (known->ShapesJobs && shapingOption.empty()) shapingOption = "--" + std::string(known->Long);
        if (known->Id == OptionId::CodePage && ParseCodePage(value) == 0) {
            return Status::Fail("option '" + Written(*known, word) +
                                "' takes a code page number (932, 1251, ...) or utf-8, not " + Quoted(value));
        }
        Apply(options, known->Id, std::move(value));
    }
    // getopt_long has moved every NAME behind the options, in the order given.
    for (int i = optind; i < argc; ++i) options.Names.push_back(argv[static_cast<std::size_t>(i)]);

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
            return Status::Fail(Quoted(name) + " is not a file name; NAMEs are names in the source directory (-s DIR)");
        }
    }
    return CheckValues(options);
}

namespace {

constexpr std::size_t kHelpWidth = 80;
constexpr std::size_t kDescriptionColumn = 28;

void Replace(std::string& text, std::string_view placeholder, const std::string& value) {
    if (const std::size_t at = text.find(placeholder); at != std::string::npos)
        text.replace(at, placeholder.size(), value);
}

// LEAD and TEXT filled to the width, the text in the description column; a lead too long for
// the column stands on a line of its own.
std::string Wrapped(const std::string& lead, const std::string& text) {
    std::string out;
    std::string line = lead;
    if (line.size() + 2 > kDescriptionColumn) {
        out = line + "\n";
        line.clear();
    }
    line.resize(kDescriptionColumn, ' ');
    bool first = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view word = std::string_view(text).substr(start, end - start);
        if (!first && line.size() + 1 + word.size() > kHelpWidth) {
            out += line + "\n";
            line.assign(kDescriptionColumn, ' ');
            first = true;
        }
        if (!first) line += ' ';
        line += word;
        first = false;
        start = end + 1;
    }
    return out + line + "\n";
}

}  // namespace

std::string UsageText() {
    std::string text =
        "Usage: quorvel-batch -o BATCHFILE [options] [NAME...]\n"
        "       quorvel-batch -o BATCHFILE --remaining LIST [-n]\n"
        "Writes an encoder batch list with one job per source file, or the jobs of a\n"
        "list still to do.\n"
        "\n";
    for (const KnownOption& known : kOptions) {
        std::string lead = known.Short != 0 ? std::string("  -") + known.Short + ", " : std::string(6, ' ');
        lead.append("--").append(known.Long);
        if (known.TakesValue()) lead.append(" ").append(known.Value);
        std::string help(known.Help);
        Replace(help, "{pattern}", kDefaultPattern);
        Replace(help, "{code-page}", CodePageLabel(PlatformCodePage()) + ", " + DefaultCodePageSource());
        text += Wrapped(lead, help);
    }
    text +=
        "\n"
        "NAMEs are file names in DIR, written in the order given. Options may come after\n"
        "NAMEs; \"--\" ends them. A long option may be shortened to any unique prefix.\n"
        "Exit status: 0 when the list was written, 1 when it was not (an existing list\n"
        "is left as it was; with --remaining also when LIST is not a batch list), 2 for\n"
        "a usage error.\n"
#ifndef _WIN32
        "The encoder runs under Wine ($WINE, default wine); paths are written as Wine\n"
        "names them through the drive links of $WINEPREFIX/dosdevices (default ~/.wine).\n"
#endif
        ;
    return text;
}

}  // namespace quorvel::cli
