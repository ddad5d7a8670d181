#include "cli/QuorvelBatch.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <new>
#include <string_view>

#include "batch/BatchList.h"
#include "batch/EncoderPaths.h"
#include "batch/FileAccess.h"
#include "batch/JobPaths.h"
#include "batch/TemplateImport.h"
#include "batch/Version.h"
#include "cli/Options.h"
#include "cli/Remaining.h"
#include "cli/Shown.h"
#include "cli/Sources.h"

namespace quorvel::cli {

namespace {

constexpr const char* kSpacesMessage = "The batch file (and path) cannot have any spaces in it to run automatically";
constexpr const char* kNoFilesMessage = "No Files select to add to batch";

int Failed(std::FILE* err, const Status& failure) {
    std::fprintf(err, "quorvel-batch: %s\n", failure.Message().c_str());
    return 1;
}

int UsageError(std::FILE* err, const Status& failure) {
    std::fprintf(
        err, "quorvel-batch: %s\nTry 'quorvel-batch --help' for more information.\n", failure.Message().c_str());
    return 2;
}

std::string OutputDirectoryForm(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

std::string ParentForm(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A path the code page cannot hold would reach the encoder with '?' for letters.
Status ForEncoder(Status refusal, const CodePage& codePage, bool given) {
    if (refusal || !IsCodePageRefusal(refusal)) return refusal;
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
// Files found by the pattern that are their own outputs (the .mpg files of an earlier run beside
// their sources) are left out rather than refused: the user did not name them.
void LeaveOutOwnOutputs(BatchJob& job, std::FILE* err) {
    std::size_t kept = 0;
    std::size_t left = 0;
    std::string first;
    for (std::size_t i = 0; i < job.SourceNames.size(); ++i) {
        if (IsOwnOutput(job, i)) {
            if (left++ == 0) first = SourcePath(job, i);
            continue;
        }
        if (kept != i) {
            job.SourceNames[kept] = std::move(job.SourceNames[i]);
            if (!job.SourceDirectories.empty()) job.SourceDirectories[kept] = std::move(job.SourceDirectories[i]);
        }
        ++kept;
    }
    if (left == 0) return;
    job.SourceNames.resize(kept);
    if (!job.SourceDirectories.empty()) job.SourceDirectories.resize(kept);
    std::fprintf(err,
                 "quorvel-batch: left out %zu %s found by the pattern that would be encoded to %s (the output "
                 "of an earlier run?)%s %s\n",
                 left,
                 left == 1 ? "file" : "files",
                 left == 1 ? "itself" : "themselves",
                 left == 1 ? ":" : ", the first:",
                 Shown(first).c_str());
}

Status NothingSelected(const CliOptions& options, const BatchJob& job) {
    if (options.FilesFrom) {
        return Status::Fail("The list of sources " + Shown(*options.FilesFrom) + " names no file; nothing was written");
    }
    return Status::Fail("No file in " + Shown(options.SourceDirectory.value_or(job.SourceDirectory)) +
                        (options.Recursive ? " or its subfolders" : "") + " matches the pattern \"" +
                        options.Pattern.value_or(std::string(kDefaultPattern)) +
                        "\" (patterns are separated by ';'); nothing was written");
}

Status BuildJob(const CliOptions& options, const PathResolver& resolver, std::FILE* in, std::FILE* err,
                const CodePage& codePage, BatchJob& job, ResolvedPath& batchFile) {
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
        job.BatchFileForEncoder = batchFile.Encoder;
    }
    if (launch) {
        if (Status usable = CheckEncoder(options.Advanced.TMPGEncPath, resolver); !usable) return usable;
    }

    if (Status collected = CollectSources(options, resolver, in, job); !collected) return collected;

    if (!options.TemplateFile.empty()) {
        ResolvedPath templateFile;
        if (Status resolved = resolver.Resolve(options.TemplateFile, templateFile); !resolved) return resolved;
        if (templateFile.Local.empty()) return Status::Fail(Unreachable("The template file", options.TemplateFile));
        job.TemplateFile = templateFile.Local;
    }

    job.OutputsBesideSources = options.OutputsBesideSources;
    if (options.OutputsBesideSources) {
        // Unused: every output goes beside its source.
    } else if (options.OutputDirectory || options.ToStandardOutput()) {
        ResolvedPath outputDir;
        if (Status resolved = resolver.Resolve(options.OutputDirectory.value_or("."), outputDir); !resolved)
            return resolved;
        // On a drive this machine cannot see, the directory is taken on trust: the list may be for another machine.
        if (!outputDir.Local.empty()) {
            if (Status usable = CheckOutputDirectory(outputDir.Local, options.OutputDirectory.value_or(".")); !usable)
                return usable;
        }
        job.OutputDirectory = OutputDirectoryForm(outputDir.Encoder);
    } else {
        job.OutputDirectory = ParentForm(batchFile.Encoder);
    }

    if (!options.FilesFrom && options.Names.empty()) LeaveOutOwnOutputs(job, err);
    if (job.SourceNames.empty()) return launch ? Status::Fail(kNoFilesMessage) : NothingSelected(options, job);
    if (Status held = ForEncoder(EncoderJob(job, codePage, job), codePage, options.CodePageNumber != 0); !held)
        return held;
    if (options.ToStandardOutput()) return Status::Ok();
    return ForEncoder(
        CheckBatchFileForEncoder(batchFile.Encoder, codePage, launch), codePage, options.CodePageNumber != 0);
}

Status DryRun(const CliOptions& options, const BatchJob& job, const ResolvedPath& batchFile, const CodePage& codePage,
              std::FILE* out) {
    if (Status checked = CheckBatchRequest(job, options.Advanced); !checked) return checked;
    if (!options.ToStandardOutput()) {
        if (Status replaceable = CheckListTarget(job.BatchFile); !replaceable) return replaceable;
    }
    if (!job.TemplateFile.empty()) {
        if (Status readable = CheckTemplateFile(job.TemplateFile); !readable) return readable;
    }
    for (std::size_t i = 0; i < job.SourceNames.size(); ++i) {
        std::fprintf(out, "%s -> %s\n", Shown(SourcePath(job, i)).c_str(), Shown(OutputPath(job, i)).c_str());
    }
    std::fprintf(out, "%s (dry run, nothing written)\n", Counted(job.SourceNames.size(), "job").c_str());
    const std::string source = options.CodePageNumber != 0 ? "--code-page" : DefaultCodePageSource();
    std::fprintf(out, "code page %s (%s)\n", CodePageLabel(codePage.Number()).c_str(), source.c_str());
    if (options.Advanced.AutoLaunch == 1) {
        std::string launchPath;
        if (Status held = EncoderBatchFile(batchFile.Encoder, codePage, launchPath, PlatformNewFileShortPaths()); !held)
            return held;
        std::fprintf(out, "would start: %s\n", LaunchCommandText(options.Advanced.TMPGEncPath, launchPath).c_str());
    }
    return Status::Ok();
}

Status WriteNewList(const CliOptions& options, const PathResolver& resolver, const CodePage& codePage, std::FILE* in,
                    std::FILE* out, std::FILE* err) {
    BatchJob job;
    ResolvedPath batchFile;
    if (Status built = BuildJob(options, resolver, in, err, codePage, job, batchFile); !built) return built;
    if (options.DryRun) return DryRun(options, job, batchFile, codePage, out);

    if (options.ToStandardOutput()) {
        if (Status written = WriteBatchListToStream(out, job, options.Advanced, codePage); !written) return written;
        if (std::fflush(out) != 0) return Status::Fail("Cannot write the batch list to standard output");
        std::fprintf(
            err, "Created Batch List on standard output (%s)\n", Counted(job.SourceNames.size(), "job").c_str());
        return Status::Ok();
    }

    if (Status written = WriteBatchList(job, options.Advanced, codePage); !written) return written;
    std::fprintf(out,
                 "Created Batch List to file %s (%s)\n",
                 Shown(options.BatchFile).c_str(),
                 Counted(job.SourceNames.size(), "job").c_str());
    if (options.Advanced.AutoLaunch == 1) {
        std::fflush(out);
        // Now that the list exists it may have a short name of its own.
        std::string launchPath;
        if (Status held = EncoderBatchFile(batchFile.Encoder, codePage, launchPath); !held) return held;
        if (Status started = LaunchEncoder(options.Advanced.TMPGEncPath, launchPath); !started) return started;
        std::fprintf(out,
                     "Started the encoder, not waiting for it: %s\n",
                     Shown(LaunchCommandText(options.Advanced.TMPGEncPath, launchPath)).c_str());
    }
    return Status::Ok();
}

int Run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
        const PathResolver& resolver) {
    CliOptions options;
    if (Status parsed = ParseArguments(args, options); !parsed) return UsageError(err, parsed);
    if (options.Help) {
        std::fputs(UsageText().c_str(), out);
        return 0;
    }
    if (options.Version) {
        std::fprintf(out, "quorvel-batch %s\n", kVersionText);
        return 0;
    }
    // The code page of the encoder here: lists are written in it and read back in it.
    std::unique_ptr<CodePage> codePage;
    const unsigned codePageNumber = options.CodePageNumber != 0 ? options.CodePageNumber : PlatformCodePage();
    if (Status opened = OpenCodePage(codePageNumber, codePage); !opened) {
        // A number given that names no code page is a bad value like any other.
        return options.CodePageNumber != 0 ? UsageError(err, opened) : Failed(err, opened);
    }
    const Status run = options.Remaining ? WriteRemainingJobs(options, resolver, *codePage, out, err)
                                         : WriteNewList(options, resolver, *codePage, in, out, err);
    return run ? 0 : Failed(err, run);
}

}  // namespace

int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return RunQuorvelBatch(args, stdin, out, err, PathResolver());
}

int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
                    const PathResolver& resolver) {
    return RunQuorvelBatch(args, stdin, out, err, resolver);
}

int FinishStandardOutput(std::FILE* out, std::FILE* err, int status, bool close) {
    errno = 0;
    bool lost = std::fflush(out) != 0 || std::ferror(out) != 0;
    int error = errno;
    if (close && std::fclose(out) != 0 && !lost) {
        lost = true;
        error = errno;
    }
    // A run that failed has said so already; one that succeeded must not hide lost output.
    if (status != 0 || !lost) return status;
    std::fprintf(err, "quorvel-batch: write error: %s\n", FileErrorReason(error).c_str());
    return 1;
}

int RunQuorvelBatch(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
                    const PathResolver& resolver) {
    int status = 1;
    // Nothing may end the run by an abort: a memory shortfall is a failure like any other.
    try {
        status = Run(args, in, out, err, resolver);
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "quorvel-batch: out of memory\n");
    } catch (const std::exception& failure) {
        std::fprintf(err, "quorvel-batch: %s\n", failure.what());
    }
    return FinishStandardOutput(out, err, status, false);
}

}  // namespace quorvel::cli
