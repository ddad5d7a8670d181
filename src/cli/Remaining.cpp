#include "cli/Remaining.h"

#include <memory>
#include <string>
#include <vector>

#include "batch/BatchList.h"
#include "batch/BatchListReader.h"
#include "batch/EncoderPaths.h"
#include "batch/FileAccess.h"
#include "batch/JobProgress.h"
#include "batch/Utf8.h"
#include "cli/Shown.h"
#include "cli/Sources.h"

namespace quorvel::cli {

namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileClose>;

// What is known about one job after its files were looked at.
struct JobVerdict {
    bool Remains = true;
    std::string State;    // for -n
    std::string Warning;  // why it is kept without being checked
};

JobVerdict Judge(const ListedJob& job, const PathResolver& resolver) {
    const std::string where = "the job on line " + std::to_string(job.Line);
    if (job.OutputFile.empty()) return {true, "no output", where + " names no output file; it is kept"};
    const std::optional<std::string> output = resolver.LocalPathOf(job.OutputFile);
    if (!output) {
        return {true,
                "not checked",
                where + " is kept unchecked: its output " + Shown(job.OutputFile) + " cannot be reached here"};
    }
    std::vector<std::string> sources;
    std::string unreachable;
    for (const std::string& source : job.SourceFiles) {
        if (std::optional<std::string> local = resolver.LocalPathOf(source)) {
            sources.push_back(std::move(*local));
        } else if (unreachable.empty()) {
            unreachable = source;
        }
    }
    const OutputCheck check = CheckOutput(*output, sources);
    if (check.State == OutputState::Unreadable) {
        return {true,
                OutputStateText(check),
                where + " is kept unchecked: its output " + Shown(job.OutputFile) + ": " + check.Reason};
    }
    if (check.State != OutputState::Complete) return {true, OutputStateText(check), ""};
    // Complete, unless a source that cannot be looked at changed since.
    if (!unreachable.empty()) {
        return {true,
                "not checked",
                where + " is kept unchecked: its source " + Shown(unreachable) + " cannot be reached here"};
    }
    return {false, OutputStateText(check), ""};
}

// A job whose names were read in another code page than the list's own points nowhere: its
// output folder or its source is not found. Only names beyond ASCII can be misread like that.
bool NamesPointNowhere(const ListedJob& job, const PathResolver& resolver) {
    bool ascii = IsAscii(job.OutputFile);
    for (const std::string& source : job.SourceFiles) ascii = ascii && IsAscii(source);
    if (ascii) return false;
    const auto missing = [&](const std::string& encoderPath, bool folder) {
        std::optional<std::string> local = resolver.LocalPathOf(encoderPath);
        if (!local) return false;
        if (folder) {
            const std::size_t slash = local->find_last_of("\\/");
            if (slash == std::string::npos) return false;
            local->resize(slash == 0 ? 1 : slash);
        }
        return KindOfPath(*local) == PathKind::Missing;
    };
    if (!job.OutputFile.empty() && missing(job.OutputFile, true)) return true;
    for (const std::string& source : job.SourceFiles) {
        if (missing(source, false)) return true;
    }
    return false;
}

std::string JobText(const ListedJob& job) {
    return (job.SourceFiles.empty() ? std::string("(no source)") : Shown(job.SourceFiles.front())) + " -> " +
           (job.OutputFile.empty() ? std::string("(no output)") : Shown(job.OutputFile));
}

std::string RemainText(std::size_t remaining, std::size_t total) {
    // "1 of 8 jobs remains", "5 of 8 jobs remain", "1 of 1 job remains"
    return std::to_string(remaining) + " of " + Counted(total, "job") + (remaining == 1 ? " remains" : " remain");
}

}  // namespace

Status WriteRemainingJobs(const CliOptions& options, const PathResolver& resolver, const CodePage& codePage,
                          std::FILE* out, std::FILE* err) {
    const std::string& oldGiven = *options.Remaining;
    std::string target;
    if (!options.ToStandardOutput()) {
        ResolvedPath batchFile;
        if (Status resolved = resolver.Resolve(options.BatchFile, batchFile); !resolved) return resolved;
        if (batchFile.Local.empty()) return Status::Fail(Unreachable("The batch file", options.BatchFile));
        if (Status opens = CheckBatchFileForEncoder(batchFile.Encoder, codePage, false); !opens) return opens;
        target = batchFile.Local;
    }
    ResolvedPath oldList;
    if (Status resolved = resolver.Resolve(oldGiven, oldList); !resolved) return resolved;
    if (oldList.Local.empty()) return Status::Fail(Unreachable("The batch list", oldGiven));

    std::string reason;
    FileHandle file(OpenFileForReading(oldList.Local, reason));
    if (!file) return Status::Fail("Cannot read the batch list " + Shown(oldGiven) + ": " + reason);
    BatchListContents contents;
    if (Status read = ReadBatchList(file.get(), Shown(oldGiven), codePage, contents); !read) return read;

    std::vector<bool> keep(contents.Jobs.size());
    std::size_t remaining = 0;
    bool toldOfCodePage = false;
    for (std::size_t i = 0; i < contents.Jobs.size(); ++i) {
        const JobVerdict verdict = Judge(contents.Jobs[i], resolver);
        if (!verdict.Warning.empty()) std::fprintf(err, "quorvel-batch: warning: %s\n", verdict.Warning.c_str());
        if (!toldOfCodePage && verdict.Remains && NamesPointNowhere(contents.Jobs[i], resolver)) {
            toldOfCodePage = true;
            std::fprintf(err,
                         "quorvel-batch: warning: the files of the job on line %llu (%s) are not found here; if the "
                         "list was written in another code page than %s, its names were read wrongly and finished "
                         "jobs are kept: give the list's code page with --code-page\n",
                         static_cast<unsigned long long>(contents.Jobs[i].Line),
                         JobText(contents.Jobs[i]).c_str(),
                         CodePageLabel(codePage.Number()).c_str());
        }
        keep[i] = verdict.Remains;
        if (!verdict.Remains) continue;
        ++remaining;
        if (options.DryRun) {
            std::fprintf(out, "%s (%s)\n", JobText(contents.Jobs[i]).c_str(), verdict.State.c_str());
        }
    }
    const std::string summary = RemainText(remaining, contents.Jobs.size());
    if (options.DryRun) {
        std::fprintf(out, "%s (dry run, nothing written)\n", summary.c_str());
        return Status::Ok();
    }

    if (options.ToStandardOutput()) {
        StreamSink sink(out);
        if (Status copied = CopyJobs(file.get(), contents, keep, sink); !copied) return copied;
        if (Status flushed = sink.FlushStream(); !flushed) return flushed;
        std::fprintf(err, "%s\n", summary.c_str());
        return Status::Ok();
    }
    if (Status replaceable = CheckListTarget(target); !replaceable) return replaceable;
    std::unique_ptr<AtomicFile> list;
    if (Status created = CreateAtomicFile(target, list); !created) return created;
    if (Status copied = CopyJobs(file.get(), contents, keep, *list); !copied) return copied;
    // The old list may be the one being replaced; Windows moves nothing over an open file.
    file.reset();
    if (Status committed = list->Commit(); !committed) return committed;
    std::fprintf(out, "%s\n", summary.c_str());
    return Status::Ok();
}

}  // namespace quorvel::cli
