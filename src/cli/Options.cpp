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

// A setter for a field the value is copied into, and one for a field the option turns on; the
// field is reached through members in turn (&CliOptions::Advanced, &AdvancedOptions::...).
template <auto... Path>
Status Store(CliOptions& options, std::string value) {
    (options.*....*Path) = std::move(value);
    return Status::Ok();
}

template <auto... Path>
Status TurnOn(CliOptions& options, std::string) {
    (options.*....*Path) = true;
    return Status::Ok();
}

// A row's choices are read from the list itself, not restated.
template <const auto& List>
std::vector<std::string_view> ChoicesIn() {
    return {std::begin(List), std::end(List)};
}

constexpr std::string_view kCodePagesOffered[] = {
    "874", "932", "936", "949", "950", "1250", "1251", "1252", "1253", "1254", "1255", "1256", "1257", "1258", "utf-8"};

// A row names only the fields it uses; the others keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr OptionRow kOptions[] = {
    {.Short = 'o',
     .Long = "batch-file",
     .Value = "PATH",
     .Help = "the list to write; \"-\" writes it to standard output",
     .Brief = "the list to write; - writes it to standard output",
     .Manual = R"(The list to write.
.B \-
writes it to standard output. Required.)",
     .Completion = ValueCompletion::File,
     .Extension = "tbe",
     .Label = "batch file",
     .Required = "no batch file given (-o PATH, or -o - for standard output)",
     .Set = Store<&CliOptions::BatchFile>},
    {.Short = 's',
     .Long = "source-dir",
     .Value = "DIR",
     .Help = "directory of the sources (default: the current directory)",
     .Brief = "directory of the sources",
     .Manual = "The directory of the sources. Default: the current directory.",
     .Completion = ValueCompletion::Directory,
     .Label = "source directory",
     .ShapesJobs = true,
     .Set = Store<&CliOptions::SourceDirectory>},
    {.Short = 'p',
     .Long = "pattern",
     .Value = "TEXT",
     .Help = "without NAMEs: every file of DIR that matches, in file list order (default \"{default}\")",
     .Brief = "files of the source directory that match",
     .Manual = R"(Without
.IR NAME s:
take every file of the source directory that matches one of the wildcard
patterns in
.IR TEXT ,
separated by semicolons. Default:
.IR {default} .)",
     .Label = "pattern",
     .Default = kDefaultPattern,
     .ShapesJobs = true,
     .Set = Store<&CliOptions::Pattern>},
    {.Short = 't',
     .Long = "template",
     .Value = "PATH",
     .Help = "encoder template (.mcf); default: the built-in Super Video CD (PAL) settings",
     .Brief = "encoder template (.mcf)",
     .Manual = R"(The encoder template
.RI ( .mcf )
whose settings every job uses. Default: the built-in Super Video CD (PAL)
settings.)",
     .Completion = ValueCompletion::File,
     .Extension = "mcf",
     .Label = "template",
     .ShapesJobs = true,
     .Set = Store<&CliOptions::TemplateFile>},
    {.Short = 'd',
     .Long = "output-dir",
     .Value = "DIR",
     .Help = "where the encoder writes the .mpg files (default: the batch file's directory; the current directory "
             "when the list goes to standard output)",
     .Brief = "where the encoder writes the .mpg files",
     .Manual = R"(Where the encoder writes the
.I .mpg
files. Default: the batch file's directory, or the current directory when the
list goes to standard output. A directory that does not exist, or names a file,
is refused; a Windows path on a drive this machine cannot see is taken on trust.)",
     .Completion = ValueCompletion::Directory,
     .Label = "output directory",
     .ShapesJobs = true,
     .Set = Store<&CliOptions::OutputDirectory>},
    {.Long = "files-from",
     .Value = "FILE",
     .Help = "the sources' paths, one a line (\"-\" reads standard input), in that order; absolute or relative to "
             "the current directory, Linux or Windows form",
     .Brief = "the sources' paths, one a line",
     .Manual = R"(Take the sources from
.IR FILE ,
one path a line (LF or CR LF; blank lines are skipped), in that order;
.B \-
reads standard input. Paths are absolute or relative to the current directory,
in Linux or Windows form; each must name an existing file, except a Windows path
on a drive this machine cannot see, which is taken on trust, and none may come
twice. Each path is checked as it is read: a list that never ends is refused at
its first bad line, and a line longer than 32 KiB is refused without being read
further.)",
     .Completion = ValueCompletion::File,
     .Label = "list of sources",
     .ShapesJobs = true,
     .Set = Store<&CliOptions::FilesFrom>},
    {.Short = '0',
     .Long = "null",
     .Help = "the --files-from paths end with a NUL character instead of a line end",
     .Brief = "the --files-from paths end with a NUL character",
     .Manual = R"(The
.B \-\-files\-from
paths end with a NUL character instead of a line end; an empty path is refused.)",
     .ShapesJobs = true,
     .Set = TurnOn<&CliOptions::NullSeparated>},
    {.Short = 'r',
     .Long = "recursive",
     .Help = "with the pattern: the matching files of DIR's subfolders too, a folder's files first, then its "
             "subfolders, each in file list order",
     .Brief = "the matching files of subfolders too",
     .Manual = R"(With the pattern: the matching files of the source directory's subfolders too. A
folder's files come first, then its subfolders, each in file list order, depth
first. Symbolic links to folders are not followed.)",
     .ShapesJobs = true,
     .Set = TurnOn<&CliOptions::Recursive>},
    {.Long = "outputs-beside-sources",
     .Help = "each .mpg file goes into its own source's folder instead",
     .Brief = "each .mpg file beside its source",
     .Manual = R"(Each
.I .mpg
file goes into its own source's folder instead of the output directory. A file
found by the pattern that would be encoded to itself (an
.I .mpg
output of an earlier run) is left out, with one line on standard error; a NAME
or a
.B \-\-files\-from
path that would be is refused.)",
     .ShapesJobs = true,
     .Set = TurnOn<&CliOptions::OutputsBesideSources>},
    {.Long = "remaining",
     .Value = "LIST",
     .Help = "write the jobs of LIST still to be encoded (their output is missing, empty, unfinished or older than "
             "the source), copied unchanged",
     .Brief = "write the jobs of LIST still to be encoded",
     .Manual = R"(Write to
.I BATCHFILE
the jobs of the batch list
.I LIST
that are still to be encoded, each copied unchanged: those whose output file is
missing, empty, does not end with an MPEG end code (the encoder stopped writing
it) or is older than its source. Prints
.RI \(dq N " of " M " jobs remain" \(dq.
A job whose paths cannot be found on this machine is kept, with a warning.)",
     .Completion = ValueCompletion::File,
     .Extension = "tbe",
     .Label = "batch list",
     .Set = Store<&CliOptions::Remaining>},
    {.Long = "aspect-ratio",
     .Value = "TEXT",
     .Help = "one of the {count} listed in the manual (default \"{default}\")",
     .Brief = "display aspect ratio",
     .Manual = R"(The display aspect ratio of the sources, one of
{choices} .
Default:
.IR "{default}" .
Any other text is a usage error.)",
     .Completion = ValueCompletion::Choice,
     .Label = "aspect ratio",
     .Default = kDefaultAspectRatio,
     .Choices = ChoicesIn<kAspectRatios>,
     .Rule = ValueRule::Choice,
     .ShapesJobs = true,
     .Set = Store<&CliOptions::Advanced, &AdvancedOptions::AspectRatio>},
    {.Long = "source-type",
     .Value = "TEXT",
     .Help = "{choices}",
     .Brief = "interlaced or progressive sources",
     .Manual = R"(How the sources were scanned:
{choices} .
Default:
.IR "{default}" .)",
     .Completion = ValueCompletion::Choice,
     .Label = "source type",
     .Default = kDefaultVideoSourceType,
     .Choices = ChoicesIn<kVideoSourceTypes>,
     .Rule = ValueRule::Choice,
     .ShapesJobs = true,
     .Set = Store<&CliOptions::Advanced, &AdvancedOptions::VideoSourceType>},
    {.Long = "clip-top",
     .Value = "N",
     .Help = "lines clipped at the top, a whole number (default {default})",
     .Brief = "lines clipped at the top",
     .Manual = "Lines clipped at the top of the picture, a whole number from 0. Default: {default}.",
     .Label = "lines",
     .Default = kDefaultClipping,
     .Rule = ValueRule::Lines,
     .ShapesJobs = true,
     .Set = Store<&CliOptions::Advanced, &AdvancedOptions::TopClipping>},
    {.Long = "clip-bottom",
     .Value = "N",
     .Help = "lines clipped at the bottom, a whole number (default {default})",
     .Brief = "lines clipped at the bottom",
     .Manual = R"(Lines clipped at the bottom of the picture, a whole number from 0. Default: {default}.
Anything but digits is a usage error.)",
     .Label = "lines",
     .Default = kDefaultClipping,
     .Rule = ValueRule::Lines,
     .ShapesJobs = true,
     .Set = Store<&CliOptions::Advanced, &AdvancedOptions::BottomClipping>},
    {.Long = "deinterlace",
     .Help = "de-interlace the sources",
     .Brief = "de-interlace the sources",
     .Manual = "De-interlace the sources.",
     .ShapesJobs = true,
     .Set = TurnOn<&CliOptions::Advanced, &AdvancedOptions::Deinterlace>},
    {.Long = "noise-reduction",
     .Help = "apply the encoder's noise reduction",
     .Brief = "apply the encoder's noise reduction",
     .Manual = "Apply the encoder's noise reduction.",
     .ShapesJobs = true,
     .Set = TurnOn<&CliOptions::Advanced, &AdvancedOptions::NoiseReduction>},
    {.Long = "launch",
     .Value = "ENCODER",
     .Help = "start ENCODER with \"/batch\" and the finished list, not waited for",
     .Brief = "start the encoder on the finished list",
     .Manual = R"(When the list is written, start the encoder program
.I ENCODER
with
.B /batch
and the list, without waiting for it. On Linux it is started through Wine. The
encoder file, the Wine command and a batch file path without blanks are checked
before anything is written.)",
     .Completion = ValueCompletion::File,
     .Extension = "exe",
     .Label = "encoder",
     .ShapesJobs = true,
     .Set =
         [](CliOptions& options, std::string value) {
             options.Advanced.AutoLaunch = 1;
             options.Advanced.TMPGEncPath = std::move(value);
             return Status::Ok();
         }},
    {.Long = "code-page",
     .Value = "N",
     .Help = "the code page the encoder reads the list in: a number (932, 1251, ...) or utf-8 (default here: "
             "{code-page})",
     .Brief = "the code page the encoder reads the list in",
     .Manual = R"(The code page the encoder reads the list in: a number
.RI ( 932 ,
.IR 1251 ,
\&...) or
.IR utf\-8 .
Default: on Linux the code page Wine takes from the locale (see
.BR ENVIRONMENT ),
on Windows the system's ANSI code page. Names the code page cannot hold are
refused before anything is written.)",
     .Completion = ValueCompletion::Choice,
     .Label = "code page",
     .Choices = ChoicesIn<kCodePagesOffered>,
     .Set =
         [](CliOptions& options, std::string value) {
             options.CodePageNumber = ParseCodePage(value);
             if (options.CodePageNumber != 0) return Status::Ok();
             return Status::Fail("takes a code page number (932, 1251, ...) or utf-8, not " + Quoted(value));
         }},
    {.Short = 'n',
     .Long = "dry-run",
     .Help = "write nothing; print each job as \"SOURCE -> OUTPUT\" and the count",
     .Brief = "write nothing; print each job",
     .Manual = R"(Write nothing: print each job as
.RI \(dq SOURCE " -> " OUTPUT \(dq
and the number of jobs.)",
     .Set = TurnOn<&CliOptions::DryRun>},
    {.Short = 'h',
     .Long = "help",
     .Help = "show this text",
     .Brief = "show the options",
     .Manual = "Show a summary of the options and exit.",
     .Alone = true,
     .Set = TurnOn<&CliOptions::Help>},
    {.Long = "version",
     .Help = "show the version",
     .Brief = "show the version",
     .Manual = "Show the version and exit.",
     .Alone = true,
     .Set = TurnOn<&CliOptions::Version>},
};
#pragma GCC diagnostic pop

// Requests that contradict each other, by long name, empty standing for NAMEs; the first that
// applies is the usage error. The zsh completion reads the pairs of options too.
struct Conflict {
    std::string_view Option;
    std::string_view Other;
    const char* Message;
    bool Needs = false;  // Option is refused without Other rather than beside it
};

constexpr std::string_view kNames;
constexpr const char* kPicksFiles =
    "--files-from names the sources itself; --pattern and --recursive pick files of a folder";

constexpr Conflict kConflicts[] = {
    {"pattern", kNames, "give either --pattern or NAMEs, not both"},
    {"files-from", kNames, "give either --files-from or NAMEs, not both"},
    {"files-from",
     "source-dir",
     "give either --files-from or --source-dir, not both (the paths it holds are relative to the current "
     "directory)"},
    {"files-from", "pattern", kPicksFiles},
    {"files-from", "recursive", kPicksFiles},
    {"null", "files-from", "--null tells how --files-from ends its paths; it needs --files-from", true},
    {"recursive", kNames, "--recursive lists folders by --pattern; give no NAMEs with it"},
    {"outputs-beside-sources", "output-dir", "give either --output-dir or --outputs-beside-sources, not both"},
    {"remaining", kNames, "--remaining copies the jobs of a list; give no NAMEs with it"},
};

constexpr const OptionRow* RowNamed(std::string_view name) {
    for (const OptionRow& row : kOptions) {
        if (row.Long == name) return &row;
    }
    return nullptr;
}

// A misspelt name would drop a check without a word.
static_assert(std::ranges::all_of(kConflicts, [](const Conflict& conflict) {
    return RowNamed(conflict.Option) != nullptr && (conflict.Other.empty() || RowNamed(conflict.Other) != nullptr);
}));

// getopt_long's code for an option: its letter, or past every char for a long-only one.
int CodeOf(const OptionRow& known) {
    return known.Short != 0 ? static_cast<unsigned char>(known.Short) : 256 + static_cast<int>(&known - kOptions);
}

const OptionRow* FindCode(int code) {
    for (const OptionRow& known : kOptions) {
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
    for (const OptionRow& known : kOptions) {
        if (!known.Long.starts_with(name)) continue;
        candidates.append(" '--").append(known.Long).append("'");
        ++count;
    }
    if (!name.empty() && count > 1) {
        return "option " + Quoted("--" + std::string(name)) + " is ambiguous; possibilities:" + candidates;
    }
    const OptionRow* nearest = nullptr;
    std::size_t best = 3;  // three edits or more make another word, not a slip
    for (const OptionRow& known : kOptions) {
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
std::string Written(const OptionRow& known, std::string_view word) {
    if (word.starts_with("--") || known.Short == 0) return "--" + std::string(known.Long);
    return std::string("-") + known.Short;
}

// A choice as the help and the manual write it.
std::string InQuotes(std::string_view text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

// The window program takes any typed text; a script gets told at once what the list would misread.
Status CheckValue(const OptionRow& row, const std::string& value) {
    const std::string option = "--" + std::string(row.Long);
    switch (row.Rule) {
        case ValueRule::Any: break;
        case ValueRule::Choice: {
            std::string listed;
            for (std::string_view choice : row.Offered()) {
                if (choice == value) return Status::Ok();
                listed += (listed.empty() ? "" : ", ") + InQuotes(choice);
            }
            return Status::Fail(option + " takes one of " + listed + "; not " + Quoted(value));
        }
        case ValueRule::Lines:
            if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != std::string::npos) {
                return Status::Fail(option + " takes a whole number of lines from 0 (such as 8); not " + Quoted(value));
            }
            break;
    }
    return Status::Ok();
}

}  // namespace

std::span<const OptionRow> OptionTable() { return kOptions; }

bool Contradict(const OptionRow& a, const OptionRow& b) {
    return std::ranges::any_of(kConflicts, [&](const Conflict& conflict) {
        return !conflict.Needs && ((conflict.Option == a.Long && conflict.Other == b.Long) ||
                                   (conflict.Option == b.Long && conflict.Other == a.Long));
    });
}

Status ParseArguments(const std::vector<std::string>& args, CliOptions& options) {
    options = CliOptions();
    std::vector<std::optional<std::string>> given(std::size(kOptions));  // the last value of each
    std::string shapingOption;                                           // the first option given that shapes new jobs

    // ':' first: a missing value is told apart from an unknown option, and getopt_long prints nothing.
    std::string shortOptions = ":";
    std::vector<option> longOptions;
    for (const OptionRow& known : kOptions) {
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
            const OptionRow* known = optopt != 0 ? FindCode(optopt) : nullptr;
            if (known != nullptr && !known->TakesValue()) {
                return Status::Fail("option '" + Written(*known, word) + "' takes no value");
            }
            if (known != nullptr) return Status::Fail("option '" + Written(*known, word) + "' needs a value");
            if (optopt != 0)
                return Status::Fail("unknown option " + Quoted("-" + std::string(1, static_cast<char>(optopt))));
            return Status::Fail(LongOptionProblem(word));
        }
        const OptionRow* known = FindCode(code);
        if (known == nullptr) return Status::Fail("unknown option");
        std::string value = known->TakesValue() && optarg != nullptr ? optarg : "";
        given[static_cast<std::size_t>(known - kOptions)] = value;
        if (known->ShapesJobs && shapingOption.empty()) shapingOption = "--" + std::string(known->Long);
        if (Status set = known->Set(options, std::move(value)); !set) {
            return Status::Fail("option '" + Written(*known, word) + "' " + set.Message());
        }
    }
    // getopt_long has moved every NAME behind the options, in the order given.
    for (int i = optind; i < argc; ++i) options.Names.push_back(argv[static_cast<std::size_t>(i)]);

    const auto isGiven = [&given](const OptionRow& row) {
        return given[static_cast<std::size_t>(&row - kOptions)].has_value();
    };
    if (std::ranges::any_of(kOptions, [&](const OptionRow& row) { return row.Alone && isGiven(row); }))
        return Status::Ok();
    for (const OptionRow& row : kOptions) {
        if (!row.Required.empty() && !isGiven(row)) return Status::Fail(std::string(row.Required));
    }
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
    const auto isNamed = [&](std::string_view name) {
        return name.empty() ? !options.Names.empty() : isGiven(*RowNamed(name));
    };
    for (const Conflict& conflict : kConflicts) {
        if (isNamed(conflict.Option) && isNamed(conflict.Other) != conflict.Needs)
            return Status::Fail(conflict.Message);
    }
    for (const std::string& name : options.Names) {
        if (name.empty() || name.find_first_of("/\\") != std::string::npos) {
            return Status::Fail(Quoted(name) + " is not a file name; NAMEs are names in the source directory (-s DIR)");
        }
    }
    for (const OptionRow& row : kOptions) {
        if (!isGiven(row)) continue;
        if (Status valid = CheckValue(row, *given[static_cast<std::size_t>(&row - kOptions)]); !valid) return valid;
    }
    return Status::Ok();
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

// The choices as --help lists them: quoted, the default marked, the last after "or".
std::string HelpChoices(const OptionRow& row) {
    const std::vector<std::string_view> choices = row.Offered();
    std::string listed;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) listed += i + 1 == choices.size() ? " or " : ", ";
        listed += InQuotes(choices[i]);
        if (choices[i] == row.Default) listed += " (the default)";
    }
    return listed;
}

// A small count reads as a word in a sentence.
std::string CountInWords(std::size_t count) {
    constexpr std::string_view kWords[] = {
        "no", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven", "twelve"};
    return count < std::size(kWords) ? std::string(kWords[count]) : std::to_string(count);
}

}  // namespace

std::string UsageText() {
    std::string text =
        "Usage: quorvel-batch -o BATCHFILE [options] [NAME...]\n"
        "       quorvel-batch -o BATCHFILE --remaining LIST [-n]\n"
        "Writes an encoder batch list with one job per source file, or the jobs of a\n"
        "list still to do.\n"
        "\n";
    for (const OptionRow& known : kOptions) {
        std::string lead = known.Short != 0 ? std::string("  -") + known.Short + ", " : std::string(6, ' ');
        lead.append("--").append(known.Long);
        if (known.TakesValue()) lead.append(" ").append(known.Value);
        std::string help(known.Help);
        Replace(help, "{default}", std::string(known.Default));
        Replace(help, "{choices}", HelpChoices(known));
        Replace(help, "{count}", CountInWords(known.Offered().size()));
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
