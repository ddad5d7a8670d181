#include "cli/Options.h"

#include <string_view>

#include "batch/CodePage.h"
#include "cli/Platform.h"

namespace quorvel::cli {

namespace {

enum class OptionId {
    BatchFile,
    SourceDir,
    Pattern,
    Template,
    OutputDir,
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
};

constexpr KnownOption kOptions[] = {
    {OptionId::BatchFile, 'o', "batch-file", true},
    {OptionId::SourceDir, 's', "source-dir", true},
    {OptionId::Pattern, 'p', "pattern", true},
    {OptionId::Template, 't', "template", true},
    {OptionId::OutputDir, 'd', "output-dir", true},
    {OptionId::AspectRatio, 0, "aspect-ratio", true},
    {OptionId::SourceType, 0, "source-type", true},
    {OptionId::ClipTop, 0, "clip-top", true},
    {OptionId::ClipBottom, 0, "clip-bottom", true},
    {OptionId::Deinterlace, 0, "deinterlace", false},
    {OptionId::NoiseReduction, 0, "noise-reduction", false},
    {OptionId::Launch, 0, "launch", true},
    {OptionId::CodePage, 0, "code-page", true},
    {OptionId::DryRun, 'n', "dry-run", false},
    {OptionId::Help, 'h', "help", false},
    {OptionId::Version, 0, "version", false},
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

}  // namespace

std::optional<CliOptions> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    CliOptions options;
    bool batchFileGiven = false;
    bool optionsEnded = false;
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
        if (known == nullptr) {
            error = "unknown option '" + shown + "'";
            return std::nullopt;
        }

        std::string value;
        if (known->TakesValue) {
            if (attached) {
                value = *attached;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = "option '" + shown + "' needs a value";
                return std::nullopt;
            }
        } else if (attached) {
            error = "option '" + shown + "' takes no value";
            return std::nullopt;
        }
        if (known->Id == OptionId::BatchFile) batchFileGiven = true;
        if (known->Id == OptionId::CodePage && ParseCodePage(value) == 0) {
            error = "option '" + shown + "' takes a code page number (932, 1251, ...) or utf-8, not '" + value + "'";
            return std::nullopt;
        }
        Apply(options, known->Id, std::move(value));
    }

    if (options.Help || options.Version) return options;
    if (!batchFileGiven) {
        error = "no batch file given (-o PATH, or -o - for standard output)";
        return std::nullopt;
    }
    if (options.BatchFile.empty()) {
        error = "the batch file path is empty";
        return std::nullopt;
    }
    if (options.Advanced.AutoLaunch == 1 && options.Advanced.TMPGEncPath.empty()) {
        error = "--launch needs the encoder program's path";
        return std::nullopt;
    }
    if (options.Advanced.AutoLaunch == 1 && options.ToStandardOutput()) {
        error = "--launch needs a batch file, not standard output";
        return std::nullopt;
    }
    if (options.Pattern && !options.Names.empty()) {
        error = "give either --pattern or NAMEs, not both";
        return std::nullopt;
    }
    for (const std::string& name : options.Names) {
        if (name.empty() || name.find_first_of("/\\") != std::string::npos) {
            error = "'" + name + "' is not a file name; NAMEs are names in the source directory (-s DIR)";
            return std::nullopt;
        }
    }
    return options;
}

std::string UsageText() {
    return "Usage: quorvel-batch -o BATCHFILE [options] [NAME...]\n"
           "Writes an encoder batch list with one job per source file.\n"
           "\n"
           "  -o, --batch-file PATH   the list to write; \"-\" writes it to standard output\n"
           "  -s, --source-dir DIR    directory of the sources (default: the current directory)\n"
           "  -p, --pattern TEXT      without NAMEs: every file of DIR that matches, in file list order\n"
           "                          (default \"" +
           std::string(kDefaultPattern) +
           "\")\n"
           "  -t, --template PATH     encoder template (.mcf); default: the built-in Super Video CD (PAL) settings\n"
           "  -d, --output-dir DIR    where the encoder writes the .mpg files (default: the batch file's\n"
           "                          directory; the current directory when the list goes to standard output)\n"
           "      --aspect-ratio TEXT   default \"4:3 Display\"\n"
           "      --source-type TEXT    default \"Non-interlace (progressive)\"\n"
           "      --clip-top TEXT       default \"0\"\n"
           "      --clip-bottom TEXT    default \"0\"\n"
           "      --deinterlace, --noise-reduction\n"
           "      --launch ENCODER    start ENCODER with \"/batch\" and the finished list, not waited for\n"
           "      --code-page N       the code page the encoder reads the list in: a number (932, 1251, ...)\n"
           "                          or utf-8 (default here: " +
           CodePageLabel(PlatformCodePage()) + ", " + DefaultCodePageSource() +
           ")\n"
           "  -n, --dry-run           write nothing; print each job as \"SOURCE -> OUTPUT\" and the count\n"
           "  -h, --help              show this text\n"
           "      --version           show the version\n"
           "\n"
           "NAMEs are file names in DIR, written in the order given. Exit status: 0 when the list was\n"
           "written, 1 when it was not (an existing list is left as it was), 2 for a usage error.\n"
#ifndef _WIN32
           "The encoder runs under Wine ($WINE, default wine); paths are written as Wine names them\n"
           "through the drive links of $WINEPREFIX/dosdevices (default ~/.wine).\n"
#endif
        ;
}

}  // namespace quorvel::cli
