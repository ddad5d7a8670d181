#include "cli/QuorvelBatch.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "batch/BatchList.h"
#include "batch/EncoderPaths.h"
#include "batch/SourceListing.h"
#include "batch/TemplateImport.h"
#include "batch/Version.h"
#include "cli/Options.h"

namespace quorvel::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSpacesMessage = "The batch file (and path) cannot have any spaces in it to run automatically";
constexpr const char* kNoFilesMessage = "No Files select to add to batch";

int Failed(std::FILE* err, const std::string& message) {
    std::fprintf(err, "quorvel-batch: %s\n", message.c_str());
    return 1;
}

int UsageError(std::FILE* err, const std::string& message) {
    std::fprintf(err, "quorvel-batch: %s\nTry 'quorvel-batch --help' for more information.\n", message.c_str());
    return 2;
}

fs::path PathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

bool IsDriveRoot(std::string_view path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }

// A source directory ends with a backslash only at a drive root.
std::string SourceDirectoryForm(std::string path) {
    if (path.size() > 1 && path.back() == '\\' && !IsDriveRoot(path)) path.pop_back();
    return path;
}

std::string OutputDirectoryForm(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

std::string ParentForm(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Unreachable(const std::string& what, const std::string& given) {
#ifdef _WIN32
    return what + " " + given + " cannot be reached";
#else
    return what + " " + given + " cannot be reached here: its drive is not linked in " + WinePrefixDirectory() +
           "/dosdevices";
#endif
}

Status CollectNames(const CliOptions& options, const ResolvedPath& sourceDir, const std::string& shownDir,
                    std::vector<std::string>& names) {
    if (options.Names.empty()) {
        if (sourceDir.Local.empty()) return Status::Fail(Unreachable("The source directory", shownDir));
        if (Status listed = ListSourceFiles(sourceDir.Local, options.Pattern.value_or(kDefaultPattern), names);
            !listed) {
            return listed;
        }
    } else {
        names = options.Names;
        // On a drive this machine cannot see, the names are taken on trust.
        if (!sourceDir.Local.empty()) {
            for (const std::string& name : names) {
                std::error_code ec;
                if (!fs::is_regular_file(PathFromUtf8(sourceDir.Local) / PathFromUtf8(name), ec)) {
                    return Status::Fail("There is no file " + name + " in " + shownDir);
                }
            }
        }
    }
#ifndef _WIN32
    for (const std::string& name : names) {
        if (!IsWindowsFileName(name)) {
            return Status::Fail("The file name " + name + " in " + shownDir +
                                " holds a character Windows does not allow, so the encoder cannot open it");
        }
    }
#endif
    return Status::Ok();
}

// A path the code page cannot hold would reach the encoder with '?' for letters.
Status ForEncoder(Status refusal, const CodePage& codePage, bool given) {
    if (refusal) return refusal;
#ifdef _WIN32
    (void)codePage;
    (void)given;
    return refusal;
#else
    if (given) return Status::Fail(refusal.Message() + "\nIf the encoder reads another code page, give that one.");
    return Status::Fail(refusal.Message() +
                        "\nIf the encoder reads another code page, give it with --code-page N (or utf-8); " +
                        "the default, " + CodePageLabel(codePage.Number()) +
                        ", is the one Wine takes from the locale, so a locale for these names serves too.");
#endif
}

// Everything the list needs, checked before a byte is written.
Status BuildJob(const CliOptions& options, const PathResolver& resolver, const CodePage& codePage, BatchJob& job,
                ResolvedPath& batchFile) {
    const bool launch = options.Advanced.AutoLaunch == 1;
    if (!options.ToStandardOutput()) {
        if (Status resolved = resolver.Resolve(options.BatchFile, batchFile); !resolved) return resolved;
        if (batchFile.Local.empty()) return Status::Fail(Unreachable("The batch file", options.BatchFile));
        // The encoder is handed the full path, so a blank anywhere in it counts.
        if (launch &&
            (options.BatchFile.find(' ') != std::string::npos || batchFile.Encoder.find(' ') != std::string::npos)) {
            return Status::Fail(kSpacesMessage);
        }
        job.BatchFile = batchFile.Local;
    }
    if (launch) {
        if (Status usable = CheckEncoder(options.Advanced.TMPGEncPath, resolver); !usable) return usable;
    }

    ResolvedPath sourceDir;
    if (Status resolved = resolver.Resolve(options.SourceDirectory.value_or("."), sourceDir); !resolved)
        return resolved;
    const std::string shownSourceDir =
        options.SourceDirectory.value_or(sourceDir.Local.empty() ? sourceDir.Encoder : sourceDir.Local);
    job.SourceDirectory = SourceDirectoryForm(sourceDir.Encoder);
    if (Status collected = CollectNames(options, sourceDir, shownSourceDir, job.SourceNames); !collected)
        return collected;

    if (!options.TemplateFile.empty()) {
        ResolvedPath templateFile;
        if (Status resolved = resolver.Resolve(options.TemplateFile, templateFile); !resolved) return resolved;
        if (templateFile.Local.empty()) return Status::Fail(Unreachable("The template file", options.TemplateFile));
        job.TemplateFile = templateFile.Local;
    }

    if (options.OutputDirectory || options.ToStandardOutput()) {
        ResolvedPath outputDir;
        if (Status resolved = resolver.Resolve(options.OutputDirectory.value_or("."), outputDir); !resolved)
            return resolved;
        job.OutputDirectory = OutputDirectoryForm(outputDir.Encoder);
    } else {
        job.OutputDirectory = ParentForm(batchFile.Encoder);
    }

    if (launch && job.SourceNames.empty()) return Status::Fail(kNoFilesMessage);
    if (Status held = ForEncoder(EncoderJob(job, codePage, job), codePage, options.CodePageNumber != 0); !held)
        return held;
    std::string launchPath;
    if (launch) {
        return ForEncoder(EncoderBatchFile(batchFile.Encoder, codePage, launchPath, PlatformNewFileShortPaths()),
                          codePage,
                          options.CodePageNumber != 0);
    }
    return Status::Ok();
}

int DryRun(const CliOptions& options, const BatchJob& job, const ResolvedPath& batchFile, const CodePage& codePage,
           std::FILE* out, std::FILE* err) {
    if (Status checked = CheckBatchRequest(job, options.Advanced); !checked) return Failed(err, checked.Message());
    if (!job.TemplateFile.empty()) {
        if (Status readable = CheckTemplateFile(job.TemplateFile); !readable) return Failed(err, readable.Message());
    }
    for (const std::string& name : job.SourceNames) {
        std::fprintf(out, "%s -> %s\n", SourcePath(job, name).c_str(), OutputPath(job, name).c_str());
    }
    std::fprintf(out, "%zu jobs (dry run, nothing written)\n", job.SourceNames.size());
    const std::string source = options.CodePageNumber != 0 ? "--code-page" : DefaultCodePageSource();
    std::fprintf(out, "code page %s (%s)\n", CodePageLabel(codePage.Number()).c_str(), source.c_str());
    if (options.Advanced.AutoLaunch == 1) {
        std::string launchPath;
        if (Status held = EncoderBatchFile(batchFile.Encoder, codePage, launchPath, PlatformNewFileShortPaths()); !held)
            return Failed(err, held.Message());
        std::fprintf(out, "would start: %s\n", LaunchCommandText(options.Advanced.TMPGEncPath, launchPath).c_str());
    }
    return 0;
}

}  // namespace

int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return RunQuorvelBatch(args, out, err, PathResolver());
}

int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
                    const PathResolver& resolver) {
    std::string usageError;
    const std::optional<CliOptions> parsed = ParseArguments(args, usageError);
    if (!parsed) return UsageError(err, usageError);
    const CliOptions& options = *parsed;
    if (options.Help) {
        std::fputs(UsageText().c_str(), out);
        return 0;
    }
    if (options.Version) {
        std::fprintf(out, "quorvel-batch %s\n", kVersionText);
        return 0;
    }

    std::unique_ptr<CodePage> codePage;
    const unsigned codePageNumber = options.CodePageNumber != 0 ? options.CodePageNumber : PlatformCodePage();
    if (Status opened = OpenCodePage(codePageNumber, codePage); !opened) return Failed(err, opened.Message());

    BatchJob job;
    ResolvedPath batchFile;
    if (Status built = BuildJob(options, resolver, *codePage, job, batchFile); !built)
        return Failed(err, built.Message());
    if (options.DryRun) return DryRun(options, job, batchFile, *codePage, out, err);

    if (options.ToStandardOutput()) {
        if (Status written = WriteBatchListToStream(out, job, options.Advanced, *codePage); !written)
            return Failed(err, written.Message());
        if (std::fflush(out) != 0) return Failed(err, "Cannot write the batch list to standard output");
        std::fprintf(err, "Created Batch List to file - (%zu jobs)\n", job.SourceNames.size());
        return 0;
    }

    if (Status written = WriteBatchList(job, options.Advanced, *codePage); !written)
        return Failed(err, written.Message());
    std::fprintf(out, "Created Batch List to file %s (%zu jobs)\n", options.BatchFile.c_str(), job.SourceNames.size());
    if (options.Advanced.AutoLaunch == 1) {
        std::fflush(out);
        // Now that the list exists it may have a short name of its own.
        std::string launchPath;
        if (Status held = EncoderBatchFile(batchFile.Encoder, *codePage, launchPath); !held)
            return Failed(err, held.Message());
        if (Status started = LaunchEncoder(options.Advanced.TMPGEncPath, launchPath); !started) {
            return Failed(err, started.Message());
        }
    }
    return 0;
}

}  // namespace quorvel::cli
